#include <gtest/gtest.h>

#include "ui/TextConversion.h"

namespace tw {
namespace {

TEST(TextConversionTest, EachLanguageUsesItsCodePage) {
    const struct {
        std::uint16_t slot;
        std::string bytes;
        QString text;
    } cases[] = {
        {0, "caf\xE9 \x80", QStringLiteral("caf\u00E9 \u20AC")},
        {15, "\x9F", QStringLiteral("\u0178")},
        {9, "\x93\xFA\x96\x7B", QStringLiteral("\u65E5\u672C")},
        {10, "\xB3\xF3" "d\x9F", QStringLiteral("\u0142\u00F3d\u017A")},
        {11, "\xA4\xA4", QStringLiteral("\u4E2D")},
        {12, "\xD6\xD0", QStringLiteral("\u4E2D")},
        {13, "\xA1", QStringLiteral("\u0E01")},
        {14, "\xC7\xD1", QStringLiteral("\uD55C")},
    };
    for (const auto& c : cases) {
        const TextConversion conversion = TextConversion::ForLanguageSlot(c.slot);
        EXPECT_EQ(conversion.toText(c.bytes), c.text) << "slot " << c.slot;
        EXPECT_EQ(conversion.toBytes(c.text), c.bytes) << "slot " << c.slot;
    }
}

TEST(TextConversionTest, EveryWesternByteComesBackUnchanged) {
    const TextConversion conversion = TextConversion::ForLanguageSlot(0);
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(conversion.toBytes(conversion.toText(all)), all);
}

TEST(TextConversionTest, LineBreaksFollowTheStoredText) {
    EXPECT_EQ(ToFieldLineBreaks(QStringLiteral("a\r\nb\nc")), QStringLiteral("a\nb\nc"));
    EXPECT_EQ(ToStoredLineBreaks(QStringLiteral("a\nb"), ""), QStringLiteral("a\r\nb"));
    EXPECT_EQ(ToStoredLineBreaks(QStringLiteral("a\nb"), "x\r\ny"), QStringLiteral("a\r\nb"));
    EXPECT_EQ(ToStoredLineBreaks(QStringLiteral("a\nb"), "x\ny"), QStringLiteral("a\nb"));
}

}  // namespace
}  // namespace tw
