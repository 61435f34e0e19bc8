#include "util/TypedText.h"

#include "text/TextCodec.h"
#include "text/Utf8.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

// Whether the code page has bytes for the character, by the core's own encoder.
std::function<bool(char32_t)> HeldBy(CodePage page) {
    return [page](char32_t c) {
        std::string utf8;
        AppendUtf8(utf8, c);
        return EncodeFromUtf8(utf8, page).has_value();
    };
}

TEST(TypedTextTest, KeepsWhatTheCodePageHoldsOfWhatWasTypedOrPasted) {
    struct Case {
        const char* name;
        CodePage page;
        std::u32string before;
        std::u32string after;
        std::u32string text;
        std::size_t cursor;
        std::u32string leftOut;
    };
    const Case cases[] = {
        {"paste into German", CodePage::Windows1252, U"", U"Imkerei 日本 Straße", U"Imkerei  Straße", 15, U"日本"},
        {"paste into Japanese", CodePage::ShiftJis, U"", U"Imkerei 日本 Straße", U"Imkerei 日本 Strae", 16, U"ß"},
        {"paste into Polish", CodePage::Windows1250, U"ab", U"a€łø日b", U"a€łb", 3, U"ø日"},
        {"over a selection", CodePage::Windows1252, U"Hello world", U"Hello 日本", U"Hello ", 6, U"日本"},
        {"one key", CodePage::Windows1252, U"Bee", U"Be日e", U"Bee", 2, U"日"},
        {"each character once", CodePage::Windows1252, U"", U"日x日y本", U"xy", 2, U"日本"},
        {"all of it fits", CodePage::Windows1252, U"Caf", U"Café", U"Café", 4, U""},
        // Earlier text that the code page lacks (a stand-in for a byte) is not the person's typing.
        {"earlier text stays", CodePage::Windows1252, U"\U0010FE81k", U"\U0010FE81ke", U"\U0010FE81ke", 3, U""},
        {"deletion", CodePage::Windows1252, U"abc", U"ac", U"ac", 1, U""},
        {"repeated letters", CodePage::Windows1252, U"aa", U"a日a", U"aa", 1, U"日"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TypedText typed = KeepWhatFits(c.before, c.after, HeldBy(c.page));
        EXPECT_TRUE(typed.text == c.text);
        EXPECT_EQ(typed.cursor, c.cursor);
        EXPECT_TRUE(typed.leftOut == c.leftOut);
    }
}

}  // namespace
}  // namespace tw
