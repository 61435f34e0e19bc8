#include "ui/Screenshot.h"

#include <algorithm>

#include <QAction>
#include <QCoreApplication>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include "MainWindowTestFixture.h"
#include "support/ScriptedPort.h"
#include "ui/AboutBox.h"
#include "ui/ChanceCardDialog.h"
#include "ui/EditorImages.h"
#include "ui/JobDetailsDialog.h"
#include "ui/LevelTableDialog.h"
#include "ui/LoadingDialog.h"
#include "ui/ReplaceCareerDialog.h"
#include "ui/ReviewChangesDialog.h"
#include "ui/TranslationsDialog.h"

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
    // The room of a larger window goes to the lists and the texts.
    const QSize first = window->size();
    window->resize(first.width() * 3 / 2, first.height() * 3 / 2);
    Shoot(*window, QStringLiteral("main-window-large"));
    window->resize(first);

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

    // The views of one career, at a size that shows a good part of them.
    window->OpenLevelTable();
    ASSERT_NE(window->LevelTableWindow(), nullptr);
    window->LevelTableWindow()->resize(1100, 360);
    Shoot(*window->LevelTableWindow(), QStringLiteral("level-table"));
    window->OpenTranslations();
    ASSERT_NE(window->TranslationsWindow(), nullptr);
    window->TranslationsWindow()->resize(1100, 480);
    Shoot(*window->TranslationsWindow(), QStringLiteral("translations"));

    EXPECT_TRUE(port.calls.empty());
}

TEST_F(ScreenshotOfSampleTest, ReviewWindowAndEditMenuRenderIntoTheBuildFolder) {
    // A few changes to show: a text in French, a salary, an icon.
    MainWindow::Dialogs dialogs;
    dialogs.jobDetails = [](QWidget*, const JobLevel& job, const Requirements&) {
        JobLevel changed = job;
        changed.values[17] += 250;
        return std::optional<JobLevel>(changed);
    };
    dialogs.modifyIcons = [this](QWidget*, std::uint16_t number) {
        MainWindow::Icons icons;
        EXPECT_TRUE(context.iconStrips.GetPopupIcon(number, icons.popup));
        EXPECT_TRUE(context.iconStrips.GetButtonIcon(number, icons.button));
        for (std::int32_t y = 0; y < icons.popup.height; y += 2)
            for (std::int32_t x = 0; x < icons.popup.width; ++x) icons.popup.SetPixel(x, y, 0xF0C020);
        return std::optional<MainWindow::Icons>(icons);
    };
    window->SetDialogs(dialogs);
    window->CareerList()->SelectRow(2);
    window->JobList()->SelectRow(4);
    window->OpenJobDetails();
    window->ModifyIcons();
    window->SelectLanguage(2);
    TypeInto(MainWindow::CareerName, QString::fromUtf8("Cin\u00E9ma et th\u00E9\u00E2tre"));

    window->ReviewChanges();
    ASSERT_NE(window->ReviewWindow(), nullptr);
    Shoot(*window->ReviewWindow(), QStringLiteral("review-changes"));

    // The Edit menu open below its title, drawn over the window.
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QMenuBar* bar = window->menuBar();
    QAction* editTitle = bar->actions().at(1);
    ASSERT_EQ(editTitle->text(), QStringLiteral("&Edit"));
    QMenu* edit = editTitle->menu();
    const QPoint below = bar->mapTo(window.get(), bar->actionGeometry(editTitle).bottomLeft());
    edit->popup(window->mapToGlobal(below));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(edit));
    QPixmap shot = window->grab();
    {
        QPainter painter(&shot);
        painter.drawPixmap(below, edit->grab());
    }
    edit->hide();
    window->hide();
    EXPECT_TRUE(shot.save(ScreenshotFolder() + QStringLiteral("/edit-menu.png")));
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
