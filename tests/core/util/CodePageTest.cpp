#include "util/CodePage.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(CodePageTest, SlotsMapToTheirLanguagesCodePages) {
    EXPECT_EQ(SlotCodePage(0), CodePage::Windows1252);
    EXPECT_EQ(SlotCodePage(8), CodePage::Windows1252);
    EXPECT_EQ(SlotCodePage(9), CodePage::ShiftJis);
    EXPECT_EQ(SlotCodePage(10), CodePage::Windows1250);
    EXPECT_EQ(SlotCodePage(11), CodePage::Big5);
    EXPECT_EQ(SlotCodePage(12), CodePage::Gbk);
    EXPECT_EQ(SlotCodePage(13), CodePage::Windows874);
    EXPECT_EQ(SlotCodePage(14), CodePage::Windows949);
    EXPECT_EQ(SlotCodePage(15), CodePage::Windows1252);
}

TEST(CodePageTest, DecodesAndEncodesEachFamily) {
    struct Case {
        CodePage page;
        std::string bytes;
        std::string utf8;
    };
    const Case cases[] = {
        {CodePage::Windows1252, "Caf\xE9 \x80", "Caf\xC3\xA9 \xE2\x82\xAC"},
        {CodePage::Windows1250, "\xB3\xF3\xBF", "\xC5\x82\xC3\xB3\xC5\xBC"},          // łóż
        {CodePage::ShiftJis, "\x93\xFA\x96\x7B", "\xE6\x97\xA5\xE6\x9C\xAC"},          // 日本
        {CodePage::Gbk, "\xD6\xD0\xCE\xC4", "\xE4\xB8\xAD\xE6\x96\x87"},               // 中文
        {CodePage::Big5, "\xA4\xA4\xA4\xE5", "\xE4\xB8\xAD\xE6\x96\x87"},              // 中文
        {CodePage::Windows949, "\xC7\xD1\xB1\xB9", "\xED\x95\x9C\xEA\xB5\xAD"},        // 한국
        {CodePage::Windows874, "\xA1", "\xE0\xB8\x81"},                                // ก
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeToUtf8(c.bytes, c.page), c.utf8) << static_cast<int>(c.page);
        EXPECT_EQ(EncodeFromUtf8(c.utf8, c.page), c.bytes) << static_cast<int>(c.page);
    }
}

TEST(CodePageTest, BadBytesBecomeReplacementAndUnencodableTextFails) {
    EXPECT_EQ(DecodeToUtf8("a\x81", CodePage::ShiftJis), "a\xEF\xBF\xBD");
    EXPECT_EQ(EncodeFromUtf8("\xE6\x97\xA5", CodePage::Windows1252), std::nullopt);  // 日 has no 1252 byte
}

// Copying a text between languages: what the person read in one language is what the other
// shows, and what it cannot hold becomes "?".
TEST(CodePageTest, ConvertTextCarriesTheCharactersAcrossCodePages) {
    struct Case {
        CodePage from;
        CodePage to;
        std::string bytes;
        std::string converted;
        bool lost;
    };
    const Case cases[] = {
        {CodePage::Windows1252, CodePage::ShiftJis, "\xA7" "110", "\x81\x98" "110", false},  // § is two bytes there
        {CodePage::Windows1252, CodePage::Windows1250, "Stra\xDF" "e \xD8", "Stra\xDF" "e ?", true},  // no Ø
        {CodePage::Windows1250, CodePage::Windows1252, "\xB3\xF3" "d\x9F", "?\xF3" "d?", true},                  // łódź
        {CodePage::ShiftJis, CodePage::Gbk, "\x93\xFA\x96\x7B", "\xC8\xD5\xB1\xBE", false},                 // 日本
        {CodePage::Windows949, CodePage::Big5, "\xC7\xD1\xB1\xB9", "??", true},                                  // 한국
        {CodePage::Windows874, CodePage::Windows1252, "\xA1" "abc", "?abc", true},                               // ก
        {CodePage::Windows1252, CodePage::Windows1250, "\x80", "\x80", false},                                    // €
        {CodePage::ShiftJis, CodePage::Windows1252, "a\x81", "a?", true},  // a byte that forms no character
        // One code page: the bytes as they are, even those that form no character.
        {CodePage::Windows1252, CodePage::Windows1252, "\x81\xA7", "\x81\xA7", false},
        {CodePage::ShiftJis, CodePage::ShiftJis, "\x81", "\x81", false},
    };
    for (const Case& c : cases) {
        const ConvertedText converted = ConvertText(c.bytes, c.from, c.to);
        EXPECT_EQ(converted.bytes, c.converted) << static_cast<int>(c.from) << " -> " << static_cast<int>(c.to);
        EXPECT_EQ(converted.lost, c.lost) << static_cast<int>(c.from) << " -> " << static_cast<int>(c.to);
    }
    // Invalid UTF-8 gives one replacement per bad byte and goes on after it.
    bool replaced = false;
    EXPECT_EQ(EncodeFromUtf8Replacing("a\xE6\x97" "b\xFF", CodePage::Windows1252, '?', &replaced), "a??b?");
    EXPECT_TRUE(replaced);
}

}  // namespace
}  // namespace tw
