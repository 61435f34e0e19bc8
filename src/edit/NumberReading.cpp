#include "edit/NumberReading.h"

namespace tw {

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

static std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Reads a run of decimal digits, stopping early once the magnitude passes `limit` so that
// long inputs cannot overflow.
static std::optional<std::uint64_t> ParseDigits(std::string_view digits, std::uint64_t limit) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t magnitude = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
        if (magnitude > limit) return std::nullopt;
    }
    return magnitude;
}

std::optional<std::int32_t> ParseSignedDecimal(std::string_view text) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::uint64_t limit = negative ? 2147483648ULL : 2147483647ULL;
    const auto magnitude = ParseDigits(text, limit);
    if (!magnitude) return std::nullopt;
    const auto value = negative ? -static_cast<std::int64_t>(*magnitude) : static_cast<std::int64_t>(*magnitude);
    return static_cast<std::int32_t>(value);
}

std::optional<std::uint32_t> ParseUnsignedDecimal(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto magnitude = ParseDigits(text, 4294967295ULL);
    if (!magnitude) return std::nullopt;
    return static_cast<std::uint32_t>(*magnitude);
}

NumberReading ReadNumber(std::string_view text, NumberKind kind, const std::optional<NumberRange>& range) {
    NumberReading reading;
    if (kind == NumberKind::Unsigned) {
        const auto value = ParseUnsignedDecimal(text);
        if (!value) {
            reading.message = NotPositiveMessage;
            return reading;
        }
        reading.value = *value;
    } else if (kind == NumberKind::SignedOrMinus && text == "-") {
        reading.value = 0;
    } else {
        const auto value = ParseSignedDecimal(text);
        if (!value) {
            reading.message = NotAnIntegerMessage;
            return reading;
        }
        reading.value = *value;
    }
    if (range && (*reading.value < range->minimum || *reading.value > range->maximum)) {
        reading.value.reset();
        reading.message = RangeMessage(*range);
    }
    return reading;
}

std::string RangeMessage(const NumberRange& range) {
    return "Please enter an integer between " + std::to_string(range.minimum) + " and " +
           std::to_string(range.maximum) + ".";
}

}  // namespace tw
