// Opening other games from the window, the recent games, the title and the window that grows.
#include "MainWindowTestFixture.h"

#include <map>

#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>

#include "locate/RecentGames.h"
#include "locate/RememberedFolder.h"
#include "store/Installation.h"
#include "ui/CheckGameDialog.h"

#include <QTreeWidget>

namespace tw::test {
namespace {

class MainWindowGamesTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // Where the editor's small files go, on either system.
        settings["XDG_CONFIG_HOME"] = (game.Path() / "config").string();
        settings["APPDATA"] = (game.Path() / "config").string();
        window->UseSettings([this](const std::string& name) -> std::optional<std::string> {
            const auto it = settings.find(name);
            if (it == settings.end()) return std::nullopt;
            return it->second;
        });
        const Status written = WriteSampleInstallation(game.Path() / "Other Game");
        ASSERT_TRUE(written) << written.Reason();
    }
    std::string OtherFolder() const { return (game.Path() / "Other Game").string(); }
    std::string FirstFolder() const { return (game.Path() / "game").string(); }
    EnvironmentLookup Settings() const {
        return [this](const std::string& name) -> std::optional<std::string> {
            const auto it = settings.find(name);
            if (it == settings.end()) return std::nullopt;
            return it->second;
        };
    }
    // An unsaved change to the first career's name.
    void Change() {
        TypeAtEnd(MainWindow::CareerName, QStringLiteral("!"));
        ASSERT_FALSE(window->CareersUnchanged());
    }
    std::map<std::string, std::string> settings;
};

TEST_F(MainWindowGamesTest, TheTitleNamesTheGameFolder) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Trackwright 2.1 - game[*]"));
    EXPECT_EQ(MainWindow::TitleFor("/games/The Sims/", true), QStringLiteral("Trackwright 2.1 - The Sims[*] (read-only)"));
    EXPECT_EQ(window->LanguageIndicator()->text(), QStringLiteral("Language: USEnglish"));
    window->SelectLanguage(3);
    EXPECT_EQ(window->LanguageIndicator()->text(), QStringLiteral("Language: German"));
}

// With unsaved changes Open asks the exit question first: Cancel stays, No lets the changes go.
// The new game replaces the open one only once it has loaded; the open one's hold goes with it.
TEST_F(MainWindowGamesTest, OpenGameFolderAsksFirstAndReplacesTheGameOnlyOnceLoaded) {
    Change();
    port.folders = {std::filesystem::path(OtherFolder())};
    port.answers = {Answer::Cancel};
    window->OpenGameFolder();
    EXPECT_FALSE(window->CareersUnchanged());
    EXPECT_EQ(session.Context().gameFolder, FirstFolder());

    // A folder that holds no game: its load says so and the open game stays, held and changed.
    const std::filesystem::path empty = game.Path() / "empty";
    std::filesystem::create_directories(empty);
    port.calls.clear();
    port.folders = {empty};
    port.answers = {Answer::No};
    window->OpenGameFolder();
    EXPECT_FALSE(port.calls.empty());
    EXPECT_EQ(session.Context().gameFolder, FirstFolder());
    EXPECT_TRUE(window->FilesLoaded());
    EXPECT_FALSE(window->HasClosed());

    port.calls.clear();
    port.folders = {std::filesystem::path(OtherFolder())};
    port.answers = {Answer::No};
    window->OpenGameFolder();
    EXPECT_EQ(session.Context().gameFolder, OtherFolder());
    EXPECT_TRUE(window->CareersUnchanged());
    EXPECT_FALSE(session.CanUndo());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Trackwright 2.1 - Other Game[*]"));
    EXPECT_GT(window->CareerList()->RowCount(), 0);
    // The first game is free again: another program may change it now.
    InstallationOptions options = session.Context().installationOptions;
    options.holder = "another";
    EXPECT_TRUE(Installation::Open(FirstFolder(), options, Installation::Intent::Write));
    // The opened folder is the one remembered, and the first of the recent games.
    EXPECT_EQ(RememberedFolder(Settings()).Recall().ValueOr({}), OtherFolder());
    ASSERT_FALSE(window->RecentGameFolders().empty());
    EXPECT_EQ(window->RecentGameFolders().front(), OtherFolder());
}

TEST_F(MainWindowGamesTest, YesSavesBeforeTheOtherGameOpens) {
    Change();
    const std::string changed = Text(0, 0, 0);
    port.folders = {std::filesystem::path(OtherFolder())};
    port.answers = {Answer::Yes};
    window->OpenGameFolder();
    EXPECT_EQ(session.Context().gameFolder, OtherFolder());
    // The first game's file now holds the change.
    EditSession first;
    first.Context().gameFolder = FirstFolder();
    ASSERT_TRUE(first.TakeGame(port, true));
    ASSERT_EQ(first.Load([this](GameContext& c) { return RunLoad(c, port); }), LoadRequest::Loaded);
    std::string saved;
    ASSERT_TRUE(first.Careers().careers[0].texts.table.GetText(0, 0, StringTable::Value, saved));
    EXPECT_EQ(saved, changed);
}

TEST_F(MainWindowGamesTest, RecentGamesOpenAndAGoneFolderLeavesTheList) {
    ASSERT_TRUE(RecentGames(Settings()).Add(OtherFolder()));
    const std::string gone = (game.Path() / "gone").string();
    ASSERT_TRUE(RecentGames(Settings()).Add(gone));
    std::vector<std::string> expected = {gone, OtherFolder()};
    EXPECT_EQ(window->RecentGameFolders(), expected);

    window->OpenRecentGame(gone);
    ASSERT_EQ(port.calls.size(), 1u);
    EXPECT_NE(port.calls[0].message.text.find("no longer there"), std::string::npos);
    expected = {OtherFolder()};
    EXPECT_EQ(window->RecentGameFolders(), expected);
    EXPECT_EQ(session.Context().gameFolder, FirstFolder());

    window->OpenRecentGame(OtherFolder());
    EXPECT_EQ(session.Context().gameFolder, OtherFolder());
    // At most five, the newest first, each once.
    for (int i = 0; i < 7; ++i) ASSERT_TRUE(RecentGames(Settings()).Add("/games/" + std::to_string(i)));
    ASSERT_TRUE(RecentGames(Settings()).Add("/games/3"));
    expected = {"/games/3", "/games/6", "/games/5", "/games/4", "/games/2"};
    EXPECT_EQ(RecentGames(Settings()).List(), expected);
}

// The first size is the smallest; a larger window gives its room to the lists and the text
// fields, and the next start has the size the window was left at.
TEST_F(MainWindowGamesTest, TheWindowGrowsItsListsAndTextBoxesAndKeepsItsSize) {
    window->show();
    const QSize first = window->size();
    EXPECT_EQ(window->minimumSize(), first);
    QWidget* description = window->FieldWidget(MainWindow::JobDescription);
    QWidget* offer = window->FieldWidget(MainWindow::MaleOffer);
    const QSize descriptionFirst = description->size();
    const QSize offerFirst = offer->size();
    const QSize listFirst = window->CareerList()->size();
    const QRect buttonFirst = window->JobDetailsButton()->geometry();

    window->resize(first + QSize(300, 400));
    QCoreApplication::processEvents();
    EXPECT_GT(description->width(), descriptionFirst.width());
    EXPECT_GT(description->height(), descriptionFirst.height() + 100);
    EXPECT_GT(offer->height(), offerFirst.height() + 50);
    EXPECT_GT(window->CareerList()->width(), listFirst.width());
    EXPECT_GT(window->CareerList()->height(), listFirst.height() + 100);
    // The buttons keep their size and stay below the job's fields.
    EXPECT_EQ(window->JobDetailsButton()->size(), buttonFirst.size());
    EXPECT_GT(window->JobDetailsButton()->y(), description->geometry().bottom());
    // The career list's columns fill its width.
    auto* list = window->CareerList();
    EXPECT_GE(list->columnWidth(0) + list->columnWidth(1), list->viewport()->width() - 2);

    window->resize(first);
    QCoreApplication::processEvents();
    EXPECT_EQ(description->size(), descriptionFirst);
    EXPECT_EQ(window->JobDetailsButton()->geometry(), buttonFirst);

    window->resize(first + QSize(120, 80));
    window->close();
    EditSession again;
    again.Context().gameFolder = FirstFolder();
    MainWindow next(again, port, [this](GameContext& c) { return RunLoad(c, port); });
    next.SetDialogs({});
    next.UseSettings(Settings());
    ASSERT_TRUE(again.TakeGame(port, true));
    ASSERT_TRUE(next.Start());
    EXPECT_EQ(next.size(), first + QSize(120, 80));
}

}  // namespace
}  // namespace tw::test

namespace tw::test {
namespace {

// File > Check Game... lists what a check finds, goes to a career the game would show wrongly,
// and Save asks before a save that would lose what an edit leaves without a way back.
TEST_F(MainWindowTest, CheckGameListsFindingsGoesToThemAndSaveAsksBeforeALoss) {
    // A salary that falls from level 2 to level 3 of the third career.
    JobLevel level3 = context.careerSet.careers[2].track.levels[3];
    level3.values[17] = context.careerSet.careers[2].track.levels[2].values[17] - 1;
    ASSERT_TRUE(session.SetJobLevel(2, 3, level3));
    window->CheckGame();
    CheckGameDialog* check = window->CheckWindow();
    ASSERT_NE(check, nullptr);
    int salaryRow = -1;
    for (int row = 0; row < check->List()->topLevelItemCount(); ++row)
        if (check->List()->topLevelItem(row)->text(CheckGameDialog::KindColumn).contains(QStringLiteral("salary-falls")))
            salaryRow = row;
    ASSERT_GE(salaryRow, 0);
    check->List()->setCurrentItem(check->List()->topLevelItem(salaryRow));
    check->GoToSelected();
    EXPECT_EQ(window->CurrentCareer(), 2u);
    EXPECT_EQ(window->CurrentLevel(), 3u);

    // A card whose text has no effects: a save writes no card for it, so its text is lost.
    const std::optional<std::uint32_t> cardLevel = [&]() -> std::optional<std::uint32_t> {
        for (std::uint32_t level = 0; level < context.careerSet.careers[0].LevelCount(); ++level)
            if (session.ChanceCardEditable(0, level)) return level;
        return std::nullopt;
    }();
    ASSERT_TRUE(cardLevel);
    ASSERT_TRUE(session.SetChanceCard(0, *cardLevel, {}, "A card with nothing to do", 0));
    const auto before = std::filesystem::last_write_time(GameFile("ExpansionShared/ExpansionShared.far"));
    port.calls.clear();
    port.answers = {Answer::No};
    window->Save();
    ASSERT_FALSE(port.calls.empty());
    EXPECT_EQ(port.calls[0].message.title, "Save");
    EXPECT_NE(port.calls[0].message.detail.find("CarPortal.iff"), std::string::npos) << port.calls[0].message.detail;
    EXPECT_FALSE(window->CareersUnchanged());
    EXPECT_FALSE(std::filesystem::exists(GameFile("ExpansionShared/Work.iff")));  // nothing written
    EXPECT_EQ(std::filesystem::last_write_time(GameFile("ExpansionShared/ExpansionShared.far")), before);
}

}  // namespace
}  // namespace tw::test
