#include "util/StrictJsonReader.h"

#include <cstdio>
#include <utility>

namespace tw {
namespace {

bool IsIdentifier(std::string_view key) {
    if (key.empty() || (key[0] >= '0' && key[0] <= '9')) return false;
    for (char c : key) {
        const bool alphanumeric = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alphanumeric && c != '_' && c != '$') return false;
    }
    return true;
}

}  // namespace

std::string StrictJsonReader::Member(const std::string& path, std::string_view key) {
    if (IsIdentifier(key)) return path.empty() ? std::string(key) : path + "." + std::string(key);
    std::string quoted = path + "[\"";
    for (char c : key) {
        if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
            quoted += escaped;
            continue;
        }
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"]";
}

std::string StrictJsonReader::Item(const std::string& path, std::size_t index) {
    return path + "[" + std::to_string(index) + "]";
}

void StrictJsonReader::Problem(std::string path, std::string reason) {
    problems_.push_back({std::move(path), std::move(reason)});
}

std::optional<std::vector<const JsonValue*>> StrictJsonReader::Fields(const JsonValue* value, const std::string& path,
                                                                      std::initializer_list<Key> keys) {
    if (value == nullptr) return std::nullopt;
    if (value->GetKind() != JsonValue::Kind::Object) {
        Problem(path, "not an object");
        return std::nullopt;
    }
    std::vector<const JsonValue*> found(keys.size(), nullptr);
    for (const JsonMember& member : value->Members()) {
        std::size_t index = 0;
        while (index < keys.size() && member.key != keys.begin()[index].name) ++index;
        if (index == keys.size())
            Problem(Member(path, member.key), "unknown key");
        else if (found[index] != nullptr)
            Problem(Member(path, member.key), "duplicate key");
        else
            found[index] = &member.value;
    }
    for (std::size_t index = 0; index < keys.size(); ++index) {
        const Key& key = keys.begin()[index];
        if (found[index] == nullptr && !key.optional) Problem(Member(path, key.name), "missing");
    }
    return found;
}

const std::vector<JsonValue>* StrictJsonReader::Array(const JsonValue* value, const std::string& path,
                                                      std::optional<std::size_t> size, const std::string& sizeReason) {
    if (value == nullptr) return nullptr;
    if (value->GetKind() != JsonValue::Kind::Array) {
        Problem(path, "not an array");
        return nullptr;
    }
    if (size && value->Items().size() != *size) {
        Problem(path, sizeReason);
        return nullptr;
    }
    return &value->Items();
}

std::optional<std::int64_t> StrictJsonReader::Integer(const JsonValue* value, const std::string& path,
                                                      std::int64_t minimum, std::int64_t maximum,
                                                      const std::string& outside) {
    if (value == nullptr) return std::nullopt;
    if (value->GetKind() != JsonValue::Kind::Integer) {
        Problem(path, "not an integer");
        return std::nullopt;
    }
    const std::optional<std::int64_t> number = value->IntegerAs<std::int64_t>();
    if (!number || *number < minimum || *number > maximum) {
        Problem(path, outside);
        return std::nullopt;
    }
    return number;
}

const std::string* StrictJsonReader::String(const JsonValue* value, const std::string& path) {
    if (value == nullptr) return nullptr;
    if (value->GetKind() != JsonValue::Kind::String) {
        Problem(path, "not a string");
        return nullptr;
    }
    return &value->StringValue();
}

}  // namespace tw
