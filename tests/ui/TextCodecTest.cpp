#include "ui/TextCodec.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values) bytes += static_cast<char>(value);
    return bytes;
}

TEST(TextCodecTest, EverySlotHasAConverterOnThisPlatform) {
    for (int slot = 0; slot < 16; ++slot) EXPECT_TRUE(TextCodec::HasConverter(TextCodec::CodePageName(static_cast<std::uint16_t>(slot)))) << slot;
    EXPECT_STREQ(TextCodec::CodePageName(16), "windows-1252");
}

TEST(TextCodecTest, TextsRoundTripInTheirSlotsCodePage) {
    const struct {
        std::uint16_t slot;
        const char* text;  // UTF-8
        std::string bytes;
    } cases[] = {
        {0, "\u20AC \u2013 \u2122", Bytes({0x80, 0x20, 0x96, 0x20, 0x99})},
        {2, "M\u00E9decin", Bytes({'M', 0xE9, 'd', 'e', 'c', 'i', 'n'})},
        {3, "Gr\u00F6\u00DFe", Bytes({'G', 'r', 0xF6, 0xDF, 'e'})},
        {8, "M\u00E9dico", Bytes({'M', 0xE9, 'd', 'i', 'c', 'o'})},
        {9, "\u533B\u8005", Bytes({0x88, 0xE3, 0x8E, 0xD2})},
        {10, "\u0141\u00F3d\u017A", Bytes({0xA3, 0xF3, 0x64, 0x9F})},
        {11, "\u91AB\u751F", Bytes({0xC2, 0xE5, 0xA5, 0xCD})},
        {12, "\u533B\u751F", Bytes({0xD2, 0xBD, 0xC9, 0xFA})},
        {13, "\u0E41\u0E1E\u0E17\u0E22\u0E4C", Bytes({0xE1, 0xBE, 0xB7, 0xC2, 0xEC})},
        {14, "\uC758\uC0AC \uAC02", Bytes({0xC0, 0xC7, 0xBB, 0xE7, 0x20, 0x81, 0x41})},
        {15, "Caf\u00E9", Bytes({'C', 'a', 'f', 0xE9})},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(TextCodec::Decode(c.bytes, c.slot), text) << c.slot;
        EXPECT_EQ(TextCodec::Encode(text, c.slot), c.bytes) << c.slot;
    }
}

TEST(TextCodecTest, EveryByteOfTheSingleByteCodePagesRoundTrips) {
    for (const std::uint16_t slot : {std::uint16_t{0}, std::uint16_t{10}, std::uint16_t{13}}) {
        for (int byte = 1; byte < 256; ++byte) {
            const std::string one(1, static_cast<char>(byte));
            EXPECT_EQ(TextCodec::Encode(TextCodec::Decode(one, slot), slot), one) << slot << " " << byte;
        }
    }
}

TEST(TextCodecTest, OwnWindows1252TableAgreesWithThePlatform) {
    std::string all;
    for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
    const QString decoded = TextCodec::DecodeWith(all, "windows-1252");
    EXPECT_EQ(TextCodec::DecodeWith(all, "windows-1252", false), decoded);
    EXPECT_EQ(TextCodec::EncodeWith(decoded, "windows-1252", false), all);
}

TEST(TextCodecTest, TextsTheCodePageCannotHoldAreRefused) {
    const struct {
        std::uint16_t slot;
        const char* text;
    } cases[] = {
        {0, "\u533B"},              // Chinese in a Western slot
        {2, "\u0141"},              // Polish letter outside Windows-1252
        {9, "caf\u00E9"},           // no e acute in Shift_JIS
        {9, "\u00A5"},              // the yen sign only by a one-way mapping
        {14, "\u0E41"},             // Thai in the Korean slot
        {0, "\xF4\x8F\xB8\x81"},    // the stand-in of byte 0x01, which always decodes
    };
    for (const auto& c : cases) EXPECT_FALSE(TextCodec::Encode(QString::fromUtf8(c.text), c.slot).has_value()) << c.slot;
    // A NUL would end the text in the game's file.
    EXPECT_FALSE(TextCodec::Encode(QStringLiteral("a") + QChar(0) + QStringLiteral("b"), 0).has_value());
}

TEST(TextCodecTest, UndecodableBytesSurviveAnEdit) {
    // A double-byte text cut off after its lead byte.
    const std::string damaged = Bytes({'a', 'b', 0x82});
    const QString shown = TextCodec::Decode(damaged, 9);
    ASSERT_EQ(shown.size(), 4);  // "ab" and one surrogate pair
    EXPECT_EQ(TextCodec::Encode(shown, 9), damaged);
    EXPECT_EQ(TextCodec::Encode(QStringLiteral("x") + shown, 9), "x" + damaged);
    // Typing after the kept byte would join the two into another character (0x82 0x61 is a
    // full-width letter).
    EXPECT_FALSE(TextCodec::Encode(shown + QStringLiteral("a"), 9).has_value());
}

TEST(TextCodecTest, AnUneditedTextKeepsItsBytes) {
    // Two Shift_JIS forms of the same character; the encoder writes only the second.
    const std::string second = Bytes({0x87, 0x90});
    const QString shown = TextCodec::Decode(second, 9);
    EXPECT_EQ(TextCodec::Encode(shown, 9), Bytes({0x81, 0xE0}));
    EXPECT_EQ(TextCodec::EncodeEdit(shown, second, 9), second);
    EXPECT_EQ(TextCodec::EncodeEdit(shown + QStringLiteral("!"), second, 9), Bytes({0x81, 0xE0, '!'}));
}

TEST(TextCodecTest, UnknownCodePageKeepsEveryByte) {
    const std::string bytes = Bytes({'O', 'K', 0xE9, 0x80});
    const QString shown = TextCodec::DecodeWith(bytes, "no-such-code-page");
    EXPECT_TRUE(shown.startsWith(QStringLiteral("OK")));
    EXPECT_EQ(TextCodec::EncodeWith(shown, "no-such-code-page"), bytes);
    EXPECT_FALSE(TextCodec::EncodeWith(QString::fromUtf8("\u00E9"), "no-such-code-page").has_value());
}

TEST(TextCodecTest, InternalNamesUseWindows1252) {
    EXPECT_EQ(TextCodec::DecodeInternal(Bytes({'C', 'a', 'f', 0xE9})), QString::fromUtf8("Caf\u00E9"));
    EXPECT_EQ(TextCodec::EncodeInternal(QString::fromUtf8("\u0160ef")), Bytes({0x8A, 'e', 'f'}));
}

}  // namespace
}  // namespace tw
