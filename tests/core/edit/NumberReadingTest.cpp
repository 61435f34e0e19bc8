#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "edit/NumberReading.h"

namespace tw {
namespace {

struct NumberCase {
    const char* text;
    NumberKind kind;
    std::optional<std::int64_t> value;
    const char* message;  // when value is none
};

TEST(NumberFieldTest, ReadsTextsByKindWithoutRange) {
    const NumberCase cases[] = {
        {"42", NumberKind::Signed, 42, ""},
        {" \t-17\t ", NumberKind::Signed, -17, ""},
        {"+7", NumberKind::Signed, 7, ""},
        {"-0", NumberKind::Signed, 0, ""},
        {"2147483647", NumberKind::Signed, 2147483647, ""},
        {"-2147483648", NumberKind::Signed, -2147483648LL, ""},
        {"2147483648", NumberKind::Signed, std::nullopt, "Please enter an integer."},
        {"99999999999999999999999999", NumberKind::Signed, std::nullopt, "Please enter an integer."},
        {"", NumberKind::Signed, std::nullopt, "Please enter an integer."},
        {"  ", NumberKind::Signed, std::nullopt, "Please enter an integer."},
        {"-", NumberKind::Signed, std::nullopt, "Please enter an integer."},
        {"--1", NumberKind::Signed, std::nullopt, "Please enter an integer."},
        {"1 2", NumberKind::Signed, std::nullopt, "Please enter an integer."},
        {"12a", NumberKind::Signed, std::nullopt, "Please enter an integer."},
        {"1,000", NumberKind::Signed, std::nullopt, "Please enter an integer."},
        {"\n5", NumberKind::Signed, std::nullopt, "Please enter an integer."},
        {"4294967295", NumberKind::Unsigned, 4294967295LL, ""},
        {" 25 ", NumberKind::Unsigned, 25, ""},
        {"4294967296", NumberKind::Unsigned, std::nullopt, "Please enter a positive integer."},
        {"-5", NumberKind::Unsigned, std::nullopt, "Please enter a positive integer."},
        {"-0", NumberKind::Unsigned, std::nullopt, "Please enter a positive integer."},
        {"", NumberKind::Unsigned, std::nullopt, "Please enter a positive integer."},
        {"-", NumberKind::SignedOrMinus, 0, ""},
        {"-12", NumberKind::SignedOrMinus, -12, ""},
        {" -", NumberKind::SignedOrMinus, std::nullopt, "Please enter an integer."},
        {"", NumberKind::SignedOrMinus, std::nullopt, "Please enter an integer."},
    };
    for (const auto& c : cases) {
        const NumberReading reading = ReadNumber(c.text, c.kind, std::nullopt);
        EXPECT_EQ(reading.value, c.value) << '"' << c.text << '"';
        EXPECT_EQ(reading.message, c.message) << '"' << c.text << '"';
    }
}

TEST(NumberFieldTest, RangeIsInclusiveAndNamedInTheMessage) {
    const NumberRange range{300, 1000};
    EXPECT_EQ(ReadNumber("300", NumberKind::Signed, range).value, 300);
    EXPECT_EQ(ReadNumber("1000", NumberKind::Signed, range).value, 1000);
    EXPECT_EQ(ReadNumber("299", NumberKind::Signed, range).message, "Please enter an integer between 300 and 1000.");
    EXPECT_EQ(ReadNumber("1001", NumberKind::Signed, range).message, "Please enter an integer between 300 and 1000.");
    EXPECT_EQ(ReadNumber("-", NumberKind::SignedOrMinus, NumberRange{-100, 100}).value, 0);
    EXPECT_EQ(ReadNumber("-101", NumberKind::SignedOrMinus, NumberRange{-100, 100}).message,
              "Please enter an integer between -100 and 100.");
    // A format fault is reported before any range.
    EXPECT_EQ(ReadNumber("x", NumberKind::Unsigned, range).message, "Please enter a positive integer.");
}

}  // namespace
}  // namespace tw
