#include "text/TextCodec.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "text/Utf8.h"
#include "util/Sha256.h"

#ifdef _WIN32
#include "util/Win32.h"
#endif

namespace tw {
namespace {

TEST(TextCodecTest, SlotsMapToTheirLanguagesCodePages) {
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

TEST(TextCodecTest, DecodesAndEncodesEachFamily) {
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

// Copying a text between languages: what the person read in one language is what the other
// shows, and what it cannot hold becomes "?".
TEST(TextCodecTest, ConvertTextCarriesTheCharactersAcrossCodePages) {
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
}

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values) bytes += static_cast<char>(value);
    return bytes;
}

std::string Kept(unsigned char byte) {  // the private-use character that keeps a byte
    std::string utf8;
    AppendUtf8(utf8, RawByteBase + byte);
    return utf8;
}

TEST(TextCodecTest, TextsTheCodePageCannotHoldAreRefused) {
    const struct {
        CodePage page;
        std::string utf8;
    } cases[] = {
        {CodePage::Windows1252, "\u533B"},          // Chinese in a Western slot
        {CodePage::Windows1252, "\u0141"},          // Polish letter outside Windows-1252
        {CodePage::ShiftJis, "caf\u00E9"},          // no e acute in Shift_JIS
        {CodePage::ShiftJis, "\u00A5"},             // the yen sign only by a best-fit mapping
        {CodePage::Windows949, "\u0E41"},           // Thai in the Korean slot
        {CodePage::Windows1252, "\U0001F600"},      // beyond the BMP
        {CodePage::Windows1252, Kept(0x41)},        // the stand-in of a byte that always decodes
        {CodePage::Windows1252, Kept(0xE9)},        // ... and of one Windows-1252 reads as e acute
        {CodePage::Windows1252, std::string("a\0b", 3)},  // a NUL would end the text in the file
        {CodePage::Windows1252, "a\xC3"},           // invalid UTF-8
    };
    for (const auto& c : cases) EXPECT_FALSE(EncodeFromUtf8(c.utf8, c.page).has_value()) << c.utf8;
}

TEST(TextCodecTest, UndecodableBytesSurviveAnEdit) {
    // A double-byte text cut off after its lead byte, and a byte Windows-1252 leaves undefined.
    const std::string damaged = Bytes({'a', 'b', 0x82});
    const std::string shown = DecodeToUtf8(damaged, CodePage::ShiftJis);
    EXPECT_EQ(shown, "ab" + Kept(0x82));
    EXPECT_EQ(EncodeFromUtf8(shown, CodePage::ShiftJis), damaged);
    EXPECT_EQ(EncodeFromUtf8("x" + shown, CodePage::ShiftJis), "x" + damaged);
    // Typing after the kept byte would join the two into another character (0x82 0x61 is a
    // full-width letter).
    EXPECT_FALSE(EncodeFromUtf8(shown + "a", CodePage::ShiftJis).has_value());
    EXPECT_EQ(DecodeToUtf8("\x81", CodePage::Windows1252), "\u0081");  // Windows reads it as C1
    EXPECT_EQ(DecodeToUtf8("a\x81", CodePage::ShiftJis), "a" + Kept(0x81));
}

TEST(TextCodecTest, AnUneditedTextKeepsItsBytes) {
    // Two Shift_JIS forms of the same character; Windows writes only the first.
    const std::string second = Bytes({0x87, 0x90});
    const std::string shown = DecodeToUtf8(second, CodePage::ShiftJis);
    EXPECT_EQ(EncodeFromUtf8(shown, CodePage::ShiftJis), Bytes({0x81, 0xE0}));
    EXPECT_EQ(EncodeEdit(shown, second, CodePage::ShiftJis), second);
    EXPECT_EQ(EncodeEdit(shown + "!", second, CodePage::ShiftJis), Bytes({0x81, 0xE0, '!'}));
}

// Every one- and two-byte sequence of every code page, against the committed reference table.
// The digests pin the whole table, so this system and Windows (where the loop below also asks
// the system's own converter) read every sequence alike; each sequence also comes back from its
// text, as the same bytes or as the form Windows writes for it.
TEST(TextCodecTest, EveryOneAndTwoByteSequenceAgreesWithTheReference) {
    const struct {
        CodePage page;
        const char* digest;
    } pages[] = {
        {CodePage::Windows1252, "3dcd75dc2cec0c2d11b8a26bcd4f8c158a7f5bdcf4cecbfc8be7b32e39da0e47"},
        {CodePage::Windows1250, "8310b202de8c885d674244350875b8f0213700d88acb30bd11f83a113faad34d"},
        {CodePage::Windows874, "346fd3ff1392ad729255f23949b0d21956f1ce7aa8b13a00b0dcf29e24956703"},
        {CodePage::ShiftJis, "8b3f6072bf17360793031f9a6957949ad5652b15e95b9ca25b29e718393e2693"},
        {CodePage::Gbk, "a02d43fa22f34ddb58c653f834b51c1cd05156eaae66b8f7b00ab08e46222c94"},
        {CodePage::Windows949, "37e73363d142447a7f61b3bf8fb535a0d617dd5dbba5ce09e713b2a8f6e1768d"},
        {CodePage::Big5, "fb6164abf9f5390d524cd15c7fcbd5a32029faeb2bda20e5ec7c527d9c5c98dd"},
    };
    for (const auto& p : pages) {
        SCOPED_TRACE(static_cast<int>(p.page));
        Sha256 all;
        int failures = 0;
        for (unsigned first = 0; first < 256 && failures < 10; ++first) {
            for (int second = -1; second < 256 && failures < 10; ++second) {
                std::string bytes(1, static_cast<char>(first));
                if (second >= 0) bytes += static_cast<char>(second);
                const std::string text = DecodeToUtf8(bytes, p.page);
                all.Update(text);
                all.Update(std::string_view("\n", 1));
                if (bytes.find('\0') != std::string::npos) continue;
                const std::optional<std::string> back = EncodeFromUtf8(text, p.page);
                if (!back || (*back != bytes && DecodeToUtf8(*back, p.page) != text)) {
                    ADD_FAILURE() << "bytes " << first << " " << second << " do not come back";
                    ++failures;
                }
#ifdef _WIN32
                wchar_t wide[4];
                const int got = MultiByteToWideChar(static_cast<UINT>(p.page), MB_ERR_INVALID_CHARS, bytes.data(),
                                                    static_cast<int>(bytes.size()), wide, 4);
                std::string windows;
                for (int k = 0; k < got; ++k) AppendUtf8(windows, static_cast<char32_t>(wide[k]));
                const bool keepsAByte = text.find("\xF4\x8F\xB8") != std::string::npos ||
                                        text.find("\xF4\x8F\xB9") != std::string::npos ||
                                        text.find("\xF4\x8F\xBA") != std::string::npos ||
                                        text.find("\xF4\x8F\xBB") != std::string::npos;
                if (got > 0 ? text != windows : !keepsAByte) {
                    ADD_FAILURE() << "bytes " << first << " " << second << " differ from Windows";
                    ++failures;
                }
#endif
            }
        }
        const Sha256::Digest digest = all.Finish();
        std::string hex;
        for (const std::uint8_t b : digest) {
            char two[3];
            std::snprintf(two, sizeof two, "%02x", b);
            hex += two;
        }
        EXPECT_EQ(hex, p.digest);
    }
}

#ifdef _WIN32
// What Windows writes without best fit, and reads back, is what the codec writes, for every
// character of the BMP.
TEST(TextCodecTest, EveryCharacterEncodesAsWindowsWritesIt) {
    for (const CodePage page : AllCodePages) {
        int failures = 0;
        for (char32_t c = 1; c < 0x10000 && failures < 10; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF) continue;
            const wchar_t unit = static_cast<wchar_t>(c);
            char bytes[8];
            BOOL usedDefault = FALSE;
            const int got = WideCharToMultiByte(static_cast<UINT>(page), WC_NO_BEST_FIT_CHARS, &unit, 1, bytes,
                                                sizeof bytes, nullptr, &usedDefault);
            std::string utf8;
            AppendUtf8(utf8, c);
            const std::optional<std::string> ours = EncodeFromUtf8(utf8, page);
            // Only bytes that Windows also reads back as the character count: a few private-use
            // characters it writes as a byte it reads as none.
            wchar_t back[2] = {};
            const bool readsBack = got > 0 && !usedDefault &&
                                   MultiByteToWideChar(static_cast<UINT>(page), MB_ERR_INVALID_CHARS, bytes, got, back, 2) == 1 &&
                                   back[0] == unit;
            const std::optional<std::string> windows =
                readsBack ? std::optional(std::string(bytes, static_cast<std::size_t>(got))) : std::nullopt;
            if (ours != windows) {
                ADD_FAILURE() << "code page " << static_cast<int>(page) << " character " << static_cast<unsigned>(c);
                ++failures;
            }
        }
    }
}
#endif

}  // namespace
}  // namespace tw
