#include "ui/AboutBox.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "ui/DialogUnits.h"

namespace tw {
namespace {

TEST(AboutBoxTest, NamesTheProgramItsVersionAndItsLicenceButNoAddress) {
    AboutBox box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About Trackwright 2.1"));
    EXPECT_EQ(box.VersionLine()->text(), QStringLiteral("Trackwright Version 2.1"));
    EXPECT_EQ(box.CreditsLine()->text(), QString::fromUtf8("\u00A9 2026 The Trackwright developers"));
    EXPECT_EQ(box.LicenceLine()->text(), QStringLiteral("Released under the MIT License"));
    EXPECT_TRUE(box.OkButton()->isDefault());
    EXPECT_EQ(box.size(), DialogUnits(box.font()).Size(235, 55));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    for (const QLabel* line : box.findChildren<QLabel*>()) {
        // Each line fits its place, so nothing of it is cut off.
        EXPECT_LE(line->sizeHint().width(), line->width()) << line->text().toStdString();
        // The program has no web address: none, not even a placeholder, is named.
        for (const char* address : {"://", "www.", ".example", "@"})
            EXPECT_FALSE(line->text().contains(QLatin1String(address))) << line->text().toStdString();
    }
}

TEST(AboutBoxTest, OkEnterAndEscapeEndIt) {
    const struct {
        int key;  // 0: click OK
        int result;
    } cases[] = {{0, QDialog::Accepted}, {Qt::Key_Return, QDialog::Accepted}, {Qt::Key_Escape, QDialog::Rejected}};
    for (const auto& c : cases) {
        AboutBox box;
        box.show();
        if (c.key == 0)
            QTest::mouseClick(box.OkButton(), Qt::LeftButton);
        else
            QTest::keyClick(&box, static_cast<Qt::Key>(c.key));
        EXPECT_FALSE(box.isVisible()) << c.key;
        EXPECT_EQ(box.result(), c.result) << c.key;
    }
}

}  // namespace
}  // namespace tw
