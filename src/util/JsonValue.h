#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tw {

struct JsonMember;

// One value of a JSON document, as written: objects keep their members in document order,
// duplicate keys included, and numbers keep what a strict reader needs to tell "not an integer"
// from "out of range". A plain value type: copies are deep, a default one is null.
class JsonValue {
public:
    enum class Kind { Null, Boolean, Integer, Number, String, Array, Object };

    JsonValue();
    // Defined where JsonMember is complete.
    ~JsonValue();
    JsonValue(const JsonValue& other);
    JsonValue(JsonValue&& other) noexcept;
    JsonValue& operator=(const JsonValue& other);
    JsonValue& operator=(JsonValue&& other) noexcept;

    static JsonValue Boolean(bool value);
    // Any integer of the machine's integer types is kept exactly.
    template <std::integral T>
        requires(!std::same_as<T, bool>)
    static JsonValue Integer(T value) {
        JsonValue v(Kind::Integer);
        v.negative_ = value < 0;
        v.bits_ = static_cast<std::uint64_t>(value);  // two's complement for negative ones
        v.exact_ = true;
        return v;
    }
    // An integer written without fraction or exponent that lies beyond int64 and uint64.
    static JsonValue OutOfRangeInteger(std::string text);
    // A number with a fraction or an exponent ("1.0", "1e3"), kept as written.
    static JsonValue Number(std::string text);
    // UTF-8.
    static JsonValue String(std::string text);
    static JsonValue Array(std::vector<JsonValue> items);
    static JsonValue Object(std::vector<JsonMember> members);

    Kind GetKind() const { return kind_; }
    bool IsNull() const { return kind_ == Kind::Null; }

    // The accessors below return an empty value (false, "", no items) for a value of another kind.
    bool BooleanValue() const { return kind_ == Kind::Boolean && bits_ != 0; }

    // An Integer's value when it lies in T's range; none when it does not, or for any other kind
    // (a Number such as 1.0 is no integer). "-0" reads as the integer 0.
    template <std::integral T>
        requires(!std::same_as<T, bool>)
    std::optional<T> IntegerAs() const {
        if (kind_ != Kind::Integer || !exact_) return std::nullopt;
        if (negative_) {
            const auto value = static_cast<std::int64_t>(bits_);
            if (std::in_range<T>(value)) return static_cast<T>(value);
        } else if (std::in_range<T>(bits_)) {
            return static_cast<T>(bits_);
        }
        return std::nullopt;
    }
    // An Integer or Number as decimal text: as written, except that an integer within int64 or
    // uint64 is written in its shortest form ("-0" becomes "0").
    std::string NumberText() const;

    const std::string& StringValue() const;
    const std::vector<JsonValue>& Items() const;
    const std::vector<JsonMember>& Members() const;
    // The first member with this key, or none (also for a value that is no object).
    const JsonValue* Find(std::string_view key) const;

    // For building: an Array takes one more item, an Object one more member (duplicates too).
    void Append(JsonValue item);
    void AddMember(std::string key, JsonValue value);

    // Same kind and same value as written (1.0 and 1.00 differ; members compared in order).
    bool operator==(const JsonValue& other) const;

private:
    explicit JsonValue(Kind kind);

    Kind kind_ = Kind::Null;
    bool negative_ = false;  // Integer: bits_ holds an int64 rather than a uint64
    bool exact_ = false;     // Integer: bits_ holds its value; otherwise only text_ does
    std::uint64_t bits_ = 0;  // Boolean: 0 or 1
    std::string text_;        // String: the text; Number and an inexact Integer: the number as written
    std::vector<JsonValue> items_;
    std::vector<JsonMember> members_;
};

struct JsonMember {
    std::string key;
    JsonValue value;

    bool operator==(const JsonMember& other) const = default;
};

}  // namespace tw
