#include "util/JsonReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace tw {
namespace {

using namespace std::string_literals;
using Kind = JsonValue::Kind;

// A compact picture of a value: integers bare, other numbers as num(...), integers beyond
// int64 and uint64 as big(...), strings in single quotes, keys bare.
std::string Show(const JsonValue& v) {
    std::string out;
    switch (v.GetKind()) {
        case Kind::Null: return "null";
        case Kind::Boolean: return v.BooleanValue() ? "true" : "false";
        case Kind::Integer:
            return v.IntegerAs<std::int64_t>() || v.IntegerAs<std::uint64_t>() ? v.NumberText() : "big(" + v.NumberText() + ")";
        case Kind::Number: return "num(" + v.NumberText() + ")";
        case Kind::String: return "'" + v.StringValue() + "'";
        case Kind::Array:
            for (const JsonValue& item : v.Items()) out += (out.empty() ? "" : ",") + Show(item);
            return "[" + out + "]";
        case Kind::Object:
            for (const JsonMember& m : v.Members()) out += (out.empty() ? "" : ",") + m.key + ":" + Show(m.value);
            return "{" + out + "}";
    }
    return "?";
}

TEST(JsonReaderTest, ReadsDocumentsAsWritten) {
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"null", "null"},
        {" \t\r\n true \n", "true"},
        {"\xEF\xBB\xBF" "false", "false"},  // a BOM
        {"[]", "[]"},
        {R"([1, -2, 3.5, "x", [null, {}]])", "[1,-2,num(3.5),'x',[null,{}]]"},
        {R"({"a": {"b": [true]}, "c": "d", "a": 0})", "{a:{b:[true]},c:'d',a:0}"},
        {R"(["\"\\\/\b\f\n\r\t", "\u00e4\ud83d\ude00\u0000"])", "['\"\\/\b\f\n\r\t','\xC3\xA4\xF0\x9F\x98\x80\0']"s},
        {"{\"Stra\xC3\x9F" "e\": \"\xE6\x97\xA5\"}", "{Stra\xC3\x9F" "e:'\xE6\x97\xA5'}"},
    };
    for (const auto& c : cases) {
        const Expected<JsonValue> value = ParseJson(c.text);
        ASSERT_TRUE(value) << c.text << ": " << value.Reason();
        EXPECT_EQ(Show(*value), c.shown) << c.text;
    }
}

TEST(JsonReaderTest, IntegersAreExactAndOutOfRangeIsTold) {
    constexpr auto none = std::nullopt;
    constexpr std::int64_t i64Min = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t i64Max = std::numeric_limits<std::int64_t>::max();
    constexpr std::uint64_t u64Max = std::numeric_limits<std::uint64_t>::max();
    const struct {
        const char* text;
        Kind kind;
        std::optional<std::int64_t> i64;
        std::optional<std::uint64_t> u64;
        std::optional<std::int32_t> i32;
        std::optional<std::uint32_t> u32;
    } cases[] = {
        {"-9223372036854775808", Kind::Integer, i64Min, none, none, none},
        {"9223372036854775807", Kind::Integer, i64Max, i64Max, none, none},
        {"18446744073709551615", Kind::Integer, none, u64Max, none, none},
        {"-9223372036854775809", Kind::Integer, none, none, none, none},
        {"18446744073709551616", Kind::Integer, none, none, none, none},
        {"4294967295", Kind::Integer, 4294967295, 4294967295u, none, 4294967295u},
        {"2147483648", Kind::Integer, 2147483648, 2147483648u, none, 2147483648u},
        {"-2147483648", Kind::Integer, -2147483648, none, std::numeric_limits<std::int32_t>::min(), none},
        {"-1", Kind::Integer, -1, none, -1, none},
        {"-0", Kind::Integer, 0, 0u, 0, 0u},
        {"1.0", Kind::Number, none, none, none, none},
        {"1e3", Kind::Number, none, none, none, none},
        {"-0.0", Kind::Number, none, none, none, none},
        {"2E+1", Kind::Number, none, none, none, none},
    };
    for (const auto& c : cases) {
        const Expected<JsonValue> value = ParseJson(c.text);
        ASSERT_TRUE(value) << c.text << ": " << value.Reason();
        EXPECT_EQ(value->GetKind(), c.kind) << c.text;
        EXPECT_EQ(value->IntegerAs<std::int64_t>(), c.i64) << c.text;
        EXPECT_EQ(value->IntegerAs<std::uint64_t>(), c.u64) << c.text;
        EXPECT_EQ(value->IntegerAs<std::int32_t>(), c.i32) << c.text;
        EXPECT_EQ(value->IntegerAs<std::uint32_t>(), c.u32) << c.text;
        if (c.text != "-0"s) {
            EXPECT_EQ(value->NumberText(), c.text);
        }
    }
}

TEST(JsonReaderTest, MalformedDocumentsArePlacedInCharacters) {
    const struct {
        std::string text;
        std::size_t line;
        std::size_t column;
        const char* message;  // a part of it
    } cases[] = {
        {"", 1, 1, "unexpected end of input"},
        {"  \n ", 2, 2, "unexpected end of input"},
        {"[1,]", 1, 4, "unexpected ']'"},
        {"{\"a\" 1}", 1, 6, "expected ':'"},
        {"{\"a\":1,}", 1, 8, "unexpected '}'"},
        {"1 2", 1, 3, "expected end of input"},
        {"[1] x", 1, 5, "invalid literal"},
        {"01", 1, 2, "expected end of input"},
        {"+1", 1, 1, "invalid literal"},
        {"// note\n1", 1, 1, "invalid literal"},
        {"[1e400]", 1, 6, "number too large"},
        {"\"abc", 1, 5, "missing closing quote"},
        {"\"a\tb\"", 1, 3, "control character U+0009"},
        {"[\"a\xFF\"]", 1, 4, "ill-formed UTF-8"},
        {"\"\xC0\xAF\"", 1, 2, "ill-formed UTF-8"},      // an overlong '/'
        {"\"\xED\xA0\x80\"", 1, 3, "ill-formed UTF-8"},  // a surrogate written as UTF-8
        {"\"\\ud800\"", 1, 8, "surrogate"},
        {"{\n  \"\xC3\xA4\xC3\xA4\": x\n}", 2, 9, "invalid literal"},
        {"\xEF\xBB\xBF[1,]", 1, 4, "unexpected ']'"},
        {"[1]\0[2]"s, 1, 4, "unexpected NUL character"},
        {"[\"a\0\"]"s, 1, 4, "unexpected NUL character"},
    };
    for (const auto& c : cases) {
        const Expected<JsonValue> value = ParseJson(c.text);
        EXPECT_FALSE(value) << c.text;
        const std::string place = "line " + std::to_string(c.line) + ", column " + std::to_string(c.column) + ": ";
        EXPECT_TRUE(value.Reason().starts_with(place)) << c.text << ": " << value.Reason();
        EXPECT_NE(value.Reason().find(c.message), std::string::npos) << c.text << ": " << value.Reason();
        // Neither the library's tag, nor its place in bytes, nor the raw text last read.
        for (const char* noise : {"json.exception", " at line ", "last read"}) {
            EXPECT_EQ(value.Reason().find(noise), std::string::npos) << value.Reason();
        }
    }
    EXPECT_EQ(ParseJson("[1,\n]").Reason(), "line 2, column 1: syntax error while parsing value - unexpected ']'; "
                                            "expected '[', '{', or a literal");
}

TEST(JsonReaderTest, DuplicateKeysStayInOrderAndFindTakesTheFirst) {
    const Expected<JsonValue> value = ParseJson(R"({"a": 1, "b": [2], "a": 3})");
    ASSERT_TRUE(value);
    ASSERT_EQ(value->Members().size(), 3u);
    EXPECT_EQ(value->Members()[2].key, "a");
    EXPECT_EQ(value->Find("a")->IntegerAs<int>(), 1);
    EXPECT_EQ(value->Find("b")->Items().size(), 1u);
    EXPECT_EQ(value->Find("c"), nullptr);
    EXPECT_EQ(value->Find("b")->Find("a"), nullptr);  // not an object

    JsonValue copy = *value;
    EXPECT_EQ(copy, *value);
    copy.AddMember("c", JsonValue::Integer(4));
    EXPECT_NE(copy, *value);
    EXPECT_EQ(value->Members().size(), 3u);
}

TEST(JsonReaderTest, NestingBeyondTheLimitIsRefusedAtItsBracket) {
    const auto nested = [](std::size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); };
    EXPECT_TRUE(ParseJson(nested(JsonMaxDepth))) << ParseJson(nested(JsonMaxDepth)).Reason();
    EXPECT_EQ(ParseJson(nested(JsonMaxDepth + 1)).Reason(), "line 1, column 513: arrays and objects nested more than 512 deep");
    const auto column = [](const Expected<JsonValue>& value) {
        const std::string reason = value.Reason();
        const std::size_t at = reason.find(", column ");
        return at == std::string::npos ? 0u : static_cast<unsigned>(std::stoul(reason.substr(at + 9)));
    };

    std::string objects;
    for (std::size_t i = 0; i <= JsonMaxDepth; ++i) objects += "{\"\xC3\xA4\":";
    EXPECT_EQ(column(ParseJson(objects)), 5 * JsonMaxDepth + 1);
    EXPECT_EQ(column(ParseJson(std::string(1'000'000, '['))), 513u);
    EXPECT_EQ(column(ParseJson("{\"a\": []}", 1)), 7u);
}

}  // namespace
}  // namespace tw
