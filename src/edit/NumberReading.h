#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// How the text of a number field is read.
enum class NumberKind {
    // Decimal with an optional sign, within the 32-bit signed range.
    Signed,
    // Decimal without a minus sign, within the 32-bit unsigned range.
    Unsigned,
    // As Signed, but "-" alone reads 0 so that a minus sign can be typed first.
    SignedOrMinus,
};

struct NumberRange {
    std::int64_t minimum = 0;
    std::int64_t maximum = 0;
};

// The outcome of reading one field: the number, or the message to show to the person.
struct NumberReading {
    std::optional<std::int64_t> value;
    std::string message;  // empty when value is set
};

inline constexpr const char* NotAnIntegerMessage = "Please enter an integer.";
inline constexpr const char* NotPositiveMessage = "Please enter a positive integer.";

// Blanks and tabs may surround the number; anything else fails. Returns none for an empty
// text, a lone sign, stray characters or a number outside the 32-bit signed range.
std::optional<std::int32_t> ParseSignedDecimal(std::string_view text);
// As ParseSignedDecimal, but a minus sign fails and the range is that of 32-bit unsigned numbers.
std::optional<std::uint32_t> ParseUnsignedDecimal(std::string_view text);

// Reads a field's text by its kind and, when a range is given, holds the number against it.
NumberReading ReadNumber(std::string_view text, NumberKind kind, const std::optional<NumberRange>& range);

// "Please enter an integer between <minimum> and <maximum>."
std::string RangeMessage(const NumberRange& range);

}  // namespace tw
