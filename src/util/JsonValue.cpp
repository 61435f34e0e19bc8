#include "util/JsonValue.h"

#include <cassert>

namespace tw {

JsonValue::JsonValue() = default;
JsonValue::JsonValue(Kind kind) : kind_(kind) {}
JsonValue::~JsonValue() = default;
JsonValue::JsonValue(const JsonValue& other) = default;
JsonValue::JsonValue(JsonValue&& other) noexcept = default;
JsonValue& JsonValue::operator=(const JsonValue& other) = default;
JsonValue& JsonValue::operator=(JsonValue&& other) noexcept = default;

JsonValue JsonValue::Boolean(bool value) {
    JsonValue v(Kind::Boolean);
    v.bits_ = value ? 1 : 0;
    return v;
}

JsonValue JsonValue::OutOfRangeInteger(std::string text) {
    JsonValue v(Kind::Integer);
    v.text_ = std::move(text);
    return v;
}

JsonValue JsonValue::Number(std::string text) {
    JsonValue v(Kind::Number);
    v.text_ = std::move(text);
    return v;
}

JsonValue JsonValue::String(std::string text) {
    JsonValue v(Kind::String);
    v.text_ = std::move(text);
    return v;
}

JsonValue JsonValue::Array(std::vector<JsonValue> items) {
    JsonValue v(Kind::Array);
    v.items_ = std::move(items);
    return v;
}

JsonValue JsonValue::Object(std::vector<JsonMember> members) {
    JsonValue v(Kind::Object);
    v.members_ = std::move(members);
    return v;
}

std::string JsonValue::NumberText() const {
    if (kind_ == Kind::Integer && exact_) {
        return negative_ ? std::to_string(static_cast<std::int64_t>(bits_)) : std::to_string(bits_);
    }
    return kind_ == Kind::Integer || kind_ == Kind::Number ? text_ : std::string();
}

const std::string& JsonValue::StringValue() const {
    static const std::string none;
    return kind_ == Kind::String ? text_ : none;
}

// items_ and members_ stay empty in values of the other kinds.
const std::vector<JsonValue>& JsonValue::Items() const { return items_; }
const std::vector<JsonMember>& JsonValue::Members() const { return members_; }

const JsonValue* JsonValue::Find(std::string_view key) const {
    for (const JsonMember& member : members_) {
        if (member.key == key) return &member.value;
    }
    return nullptr;
}

void JsonValue::Append(JsonValue item) {
    assert(kind_ == Kind::Array);
    if (kind_ != Kind::Array) return;
    items_.push_back(std::move(item));
}

void JsonValue::AddMember(std::string key, JsonValue value) {
    assert(kind_ == Kind::Object);
    if (kind_ != Kind::Object) return;
    members_.push_back({std::move(key), std::move(value)});
}

bool JsonValue::operator==(const JsonValue& other) const {
    return kind_ == other.kind_ && negative_ == other.negative_ && exact_ == other.exact_ && bits_ == other.bits_ &&
           text_ == other.text_ && items_ == other.items_ && members_ == other.members_;
}

}  // namespace tw
