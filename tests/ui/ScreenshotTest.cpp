#include "ui/Screenshot.h"

#include <algorithm>

#include <QCoreApplication>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include "MainWindowTestFixture.h"
#include "support/ScriptedPort.h"
#include "ui/AboutBox.h"
#include "ui/ChanceCardDialog.h"
#include "ui/EditorImages.h"
#include "ui/JobDetailsDialog.h"
#include "ui/LoadingDialog.h"
#include "ui/ReplaceCareerDialog.h"

namespace tw {
namespace {

// Where the pictures go: next to the test program, in the build folder.
QString ScreenshotFolder() { return QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots"); }

void Shoot(QWidget& widget, const QString& name) {
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget)) << name.toStdString();
    const QString path = SaveScreenshot(widget, ScreenshotFolder(), name);
    ASSERT_FALSE(path.isEmpty()) << name.toStdString();
    EXPECT_EQ(QImage(path).size(), widget.size()) << name.toStdString();
    widget.hide();
}

TEST(ScreenshotTest, DialogsRenderIntoTheBuildFolder) {
    test::ScriptedPort port;
    ReplaceCareerDialog replace(port);
    replace.SetCareers({{1, "Business"}, {2, "Entertainment"}, {3, "Law Enforcement"}, {4, "Medicine"}});
    AboutBox about;
    LoadRequest request("");
    LoadingDialog loading(request, [](LoadRequest&) {});

    const std::pair<QWidget*, QString> shots[] = {
        {&replace, QStringLiteral("replace-career")}, {&about, QStringLiteral("about")}, {&loading, QStringLiteral("loading")}};
    for (const auto& [widget, name] : shots) Shoot(*widget, name);
}

// The main window and the dialogs it opens, on the sample installation.
class ScreenshotOfSampleTest : public test::MainWindowTest {};

TEST_F(ScreenshotOfSampleTest, MainWindowAndItsDialogsRenderIntoTheBuildFolder) {
    window->JobList()->SelectRow(3);
    Shoot(*window, QStringLiteral("main-window"));

    const CareerSet& careers = context.careerSet;
    const std::vector<JobLevel>& levels = careers.careers[0].track.levels;
    std::array<std::int32_t, 7> previous{};
    for (std::size_t i = 0; i < previous.size(); ++i) previous[i] = levels[2].values[i];
    JobDetailsDialog jobDetails(levels[3], previous, port, window.get());
    Shoot(jobDetails, QStringLiteral("job-details"));

    // The first card of the first career that has a text and items.
    const auto card = std::find_if(careers.careers[0].cards.begin(), careers.careers[0].cards.end(),
                                   [](const ChanceCard& c) { return c.textRow != 0 && !c.items.empty(); });
    ASSERT_NE(card, careers.careers[0].cards.end());
    ChanceCardDialog chanceCard(card->textRow, card->items, 0, careers.cardTexts, {}, port, window.get());
    Shoot(chanceCard, QStringLiteral("chance-cards"));

    EXPECT_TRUE(port.calls.empty());
}

TEST(EditorImagesTest, PlaceholderIsDarkBlueAndIconHasItsSizes) {
    const QImage& placeholder = popupPlaceholder();
    ASSERT_EQ(placeholder.size(), QSize(63, 63));
    EXPECT_EQ(placeholder.pixelColor(0, 0), QColor(0, 0, 128));
    EXPECT_EQ(placeholder.pixelColor(62, 62), QColor(0, 0, 128));
    const QIcon icon = ApplicationIcon();
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
    EXPECT_TRUE(ApplicationIconImage(48).save(ScreenshotFolder() + QStringLiteral("/icon.png")));
}

}  // namespace
}  // namespace tw
