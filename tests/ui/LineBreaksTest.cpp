#include <gtest/gtest.h>

#include "ui/LineBreaks.h"

namespace tw {
namespace {

TEST(LineBreaksTest, LineBreaksFollowTheStoredText) {
    EXPECT_EQ(ToFieldLineBreaks(QStringLiteral("a\r\nb\nc")), QStringLiteral("a\nb\nc"));
    EXPECT_EQ(ToStoredLineBreaks(QStringLiteral("a\nb"), ""), QStringLiteral("a\r\nb"));
    EXPECT_EQ(ToStoredLineBreaks(QStringLiteral("a\nb"), "x\r\ny"), QStringLiteral("a\r\nb"));
    EXPECT_EQ(ToStoredLineBreaks(QStringLiteral("a\nb"), "x\ny"), QStringLiteral("a\nb"));
}

}  // namespace
}  // namespace tw
