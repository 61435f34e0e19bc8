#include "util/JsonReader.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <iterator>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace tw {
namespace {

using Json = nlohmann::json;

// A pointer into the text that also records how far the parser has read. The parser reports a
// position only with its own errors; this one places a refusal of ours (nesting too deep).
class TrackingIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    TrackingIterator(const char* at, const char** readTo) : at_(at), readTo_(readTo) {}

    reference operator*() const { return *at_; }
    TrackingIterator& operator++() {
        *readTo_ = ++at_;
        return *this;
    }
    TrackingIterator operator++(int) {
        TrackingIterator old = *this;
        ++*this;
        return old;
    }
    bool operator==(const TrackingIterator& other) const { return at_ == other.at_; }

private:
    const char* at_;
    const char** readTo_;
};

struct Fault {
    std::size_t offset;
    std::string message;
};

// "[json.exception.parse_error.101] parse error at line 1, column 4: syntax error while parsing
// value - invalid literal; last read: 'tru'" without the tag, the library's place (ours counts
// characters) and the text last read, which can be long and need not be valid UTF-8.
std::string ReadableMessage(const nlohmann::detail::exception& e, const std::string& lastToken) {
    // The only error that is not a parse error: a number that would become infinite as a double.
    if (e.id == 406) return "number too large";
    std::string message = e.what();
    if (message.starts_with("[json.exception.")) {
        if (const std::size_t tagEnd = message.find("] "); tagEnd != std::string::npos) message.erase(0, tagEnd + 2);
    }
    if (message.starts_with("parse error")) {
        if (const std::size_t placeEnd = message.find(": "); placeEnd != std::string::npos) message.erase(0, placeEnd + 2);
    }
    const std::string lastRead = "; last read: '" + lastToken + "'";
    if (const std::size_t at = message.find(lastRead); at != std::string::npos) message.erase(at, lastRead.size());
    return message;
}

// Builds the JsonValue from the parser's events, with a stack of the open arrays and objects.
class DocumentBuilder final : public nlohmann::json_sax<Json> {
public:
    DocumentBuilder(std::size_t maxDepth, const char* begin, const char* const* readTo)
        : maxDepth_(maxDepth), begin_(begin), readTo_(readTo) {}

    bool null() override { return Add(JsonValue()); }
    bool boolean(bool value) override { return Add(JsonValue::Boolean(value)); }
    bool number_integer(number_integer_t value) override { return Add(JsonValue::Integer(value)); }
    bool number_unsigned(number_unsigned_t value) override { return Add(JsonValue::Integer(value)); }
    bool number_float(number_float_t /*value*/, const string_t& text) override {
        // An integer beyond int64 and uint64 comes here too, as a double; its text tells.
        const bool integral = text.find_first_of(".eE") == std::string::npos;
        return Add(integral ? JsonValue::OutOfRangeInteger(text) : JsonValue::Number(text));
    }
    bool string(string_t& text) override { return Add(JsonValue::String(std::move(text))); }
    bool binary(binary_t& /*value*/) override { return false; }  // binary formats only

    bool start_object(std::size_t /*elements*/) override { return Open(JsonValue::Object({})); }
    bool key(string_t& key) override {
        open_.back().key = std::move(key);
        return true;
    }
    bool end_object() override { return Close(); }
    bool start_array(std::size_t /*elements*/) override { return Open(JsonValue::Array({})); }
    bool end_array() override { return Close(); }

    // `position` counts the characters read, the faulty one included.
    bool parse_error(std::size_t position, const std::string& lastToken, const nlohmann::detail::exception& e) override {
        fault_ = Fault{position > 0 ? position - 1 : 0, ReadableMessage(e, lastToken)};
        return false;
    }

    JsonValue TakeRoot() { return std::move(root_); }
    const std::optional<Fault>& GetFault() const { return fault_; }

private:
    struct OpenValue {
        JsonValue value;
        std::string key;  // of the member whose value comes next
    };

    bool Add(JsonValue value) {
        if (open_.empty()) {
            root_ = std::move(value);
        } else if (OpenValue& parent = open_.back(); parent.value.GetKind() == JsonValue::Kind::Array) {
            parent.value.Append(std::move(value));
        } else {
            parent.value.AddMember(std::move(parent.key), std::move(value));
        }
        return true;
    }
    bool Open(JsonValue container) {
        if (open_.size() >= maxDepth_) {
            // The bracket just read is the last character the parser took.
            fault_ = Fault{static_cast<std::size_t>(*readTo_ - begin_) - 1,
                           "arrays and objects nested more than " + std::to_string(maxDepth_) + " deep"};
            return false;
        }
        open_.push_back({std::move(container), {}});
        return true;
    }
    bool Close() {
        JsonValue done = std::move(open_.back().value);
        open_.pop_back();
        return Add(std::move(done));
    }

    std::size_t maxDepth_;
    const char* begin_;
    const char* const* readTo_;
    std::vector<OpenValue> open_;
    JsonValue root_;
    std::optional<Fault> fault_;
};

Error Fail(std::string_view text, Fault fault) {
    const std::size_t offset = std::min(fault.offset, text.size());
    const std::string_view before = text.substr(0, offset);
    const std::size_t lastBreak = before.rfind('\n');
    std::size_t lineStart = lastBreak == std::string_view::npos ? 0 : lastBreak + 1;
    if (lineStart == 0 && before.starts_with("\xEF\xBB\xBF")) lineStart = 3;
    const std::string_view line = before.substr(std::min(lineStart, offset));
    const auto lineNumber = 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    // Continuation bytes (10xxxxxx) do not start a character.
    const auto column = 1 + static_cast<std::size_t>(std::count_if(line.begin(), line.end(), [](char c) {
                            return (static_cast<std::uint8_t>(c) & 0xC0) != 0x80;
                        }));
    return Failure("line " + std::to_string(lineNumber) + ", column " + std::to_string(column) + ": " + fault.message,
                   ErrorKind::Damaged);
}

}  // namespace

Expected<JsonValue> ParseJson(std::string_view text, std::size_t maxDepth) {
    // The parser takes a NUL byte for the end of the input. JSON holds none outside strings and
    // none unescaped inside them, so the parser reads up to the first one, which is then the fault.
    const std::size_t end = std::min(text.find('\0'), text.size());
    const char* begin = text.data();
    const char* readTo = begin;
    DocumentBuilder builder(maxDepth, begin, &readTo);
    bool parsed = false;
    try {
        parsed = Json::sax_parse(TrackingIterator(begin, &readTo), TrackingIterator(begin + end, &readTo), &builder);
    } catch (const std::exception&) {  // std::bad_alloc and its kin from a huge document
        return Fail(text, {static_cast<std::size_t>(readTo - begin), "not enough memory to read the document"});
    }
    const Fault nul{end, "unexpected NUL character"};
    if (parsed) {
        if (end < text.size()) return Fail(text, nul);
        return builder.TakeRoot();
    }
    const std::optional<Fault>& fault = builder.GetFault();
    if (!fault) return Fail(text, {static_cast<std::size_t>(readTo - begin), "syntax error"});
    // A fault at the end of what the parser read is the NUL's, when there is one.
    if (end < text.size() && fault->offset >= end) return Fail(text, nul);
    return Fail(text, *fault);
}

}  // namespace tw
