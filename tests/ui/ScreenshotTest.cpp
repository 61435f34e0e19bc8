#include "ui/Screenshot.h"

#include <QCoreApplication>
#include <QImage>

#include <gtest/gtest.h>

#include "support/ScriptedPort.h"
#include "ui/AboutBox.h"
#include "ui/EditorImages.h"
#include "ui/LoadingDialog.h"
#include "ui/ReplaceCareerDialog.h"

namespace tw {
namespace {

TEST(ScreenshotTest, DialogsRenderIntoTheBuildFolder) {
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    test::ScriptedPort port;
    ReplaceCareerDialog replace(port);
    replace.SetCareers({{1, "Business"}, {2, "Entertainment"}, {3, "Law Enforcement"}, {4, "Medicine"}});
    AboutBox about;
    LoadingDialog loading([](LoadControl&) {});

    const std::pair<QWidget*, QString> shots[] = {
        {&replace, QStringLiteral("replace-career")}, {&about, QStringLiteral("about")}, {&loading, QStringLiteral("loading")}};
    for (const auto& [widget, name] : shots) {
        const QString path = SaveScreenshot(*widget, folder, name);
        ASSERT_FALSE(path.isEmpty()) << name.toStdString();
        EXPECT_EQ(QImage(path).size(), widget->size()) << name.toStdString();
    }
}

TEST(EditorImagesTest, PlaceholderIsDarkBlueAndIconHasItsSizes) {
    const QImage& placeholder = popupPlaceholder();
    ASSERT_EQ(placeholder.size(), QSize(63, 63));
    EXPECT_EQ(placeholder.pixelColor(0, 0), QColor(0, 0, 128));
    EXPECT_EQ(placeholder.pixelColor(62, 62), QColor(0, 0, 128));
    const QIcon icon = ApplicationIcon();
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
    EXPECT_TRUE(ApplicationIconImage(48).save(QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots/icon.png")));
}

}  // namespace
}  // namespace tw
