#include <gtest/gtest.h>

#include <QDir>
#include <QPixmap>
#include <QTest>

#include "support/FakeCardTexts.h"
#include "support/ScriptedPort.h"
#include "ui/CardItemDialog.h"
#include "ui/ChanceCardDialog.h"
#include "ui/JobDetailsDialog.h"

namespace tw {
namespace {

// Draws each dialog into a picture next to the tests, so that a person can look at the layout.
void SavePicture(QDialog& dialog, const char* fileName) {
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QPixmap picture = dialog.grab();
    EXPECT_EQ(picture.size(), dialog.size());
    const QString path = QDir::current().filePath(QString::fromLatin1(fileName));
    EXPECT_TRUE(picture.save(path, "PNG")) << path.toStdString();
}

TEST(DialogPicturesTest, EveryDialogRendersAtItsFixedSize) {
    test::ScriptedPort port;

    JobLevel level;
    level.texts = {"Clerk", "b001mafit_01", "b001fafit_01", "lgt", "acc"};
    level.values = {1, 200, 0, 100, 0, 0, 0, 0, 0, 0, -3, 0, -2, 0, -5, 0, 0, 340, 9, 17, 3};
    JobDetailsDialog jobDetails(level, {0, 100, 0, 0, 0, 0, 0}, port);
    SavePicture(jobDetails, "JobDetailsDialog.png");

    test::FakeCardTexts texts;
    texts.SetText(1, 0, "Your boss noticed your hard work and gave you a bonus.");
    ChanceCardDialog chanceCard(1, {{4, 2, 312}, {1, 0, 1000}, {2, 0, 10u * 65536 + 100}, {3, 2, 57u * 65536 + 3}}, 0,
                                texts.store, {}, port);
    SavePicture(chanceCard, "ChanceCardDialog.png");

    CardItemDialog cardItem({2, 1, 12u * 65536 + 2}, port);
    SavePicture(cardItem, "CardItemDialog.png");

    EXPECT_TRUE(port.calls.empty());
}

}  // namespace
}  // namespace tw
