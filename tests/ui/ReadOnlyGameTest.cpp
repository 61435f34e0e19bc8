// A game the editor may only view: another program changes it, or this user cannot write its
// files. The window says so once, carries "(read-only)" in its title, and offers nothing that
// would write the game.
#include "MainWindowTestFixture.h"

#include <cstdlib>

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace tw {
namespace {

// Starts a window on the game in `folder`, as the editor does; the port records what it says.
struct ViewedGame {
    explicit ViewedGame(const std::filesystem::path& folder) {
        session.Context().gameFolder = folder.string();
        window = std::make_unique<MainWindow>(session, port, [this](GameContext& c) { return RunLoad(c, port); });
        window->SetDialogs({});
    }

    // Whether every command that would write the game is off, each saying why.
    void ExpectNothingWrites() const {
        EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral(" (read-only)"))) << window->windowTitle().toStdString();
        const std::pair<const char*, const char*> commands[] = {
            {"&File", "&Save"},
            {"&Career", "&Import"},
            {"&Career", "Import Tr&anslations..."},
            {"&File", "Restore Original &Files..."}};
        for (const auto& [menu, item] : commands) {
            QAction* action = window->MenuAction(QString::fromLatin1(menu), QString::fromLatin1(item));
            ASSERT_NE(action, nullptr) << item;
            for (QAction* top : window->menuBar()->actions())
                if (top->menu() != nullptr) emit top->menu()->aboutToShow();
            EXPECT_FALSE(action->isEnabled()) << item;
            EXPECT_TRUE(action->statusTip().startsWith(QStringLiteral("The game is open read-only"))) << item;
        }
    }

    EditSession session;
    test::ScriptedPort port;
    std::unique_ptr<MainWindow> window;
};

TEST(ReadOnlyGameTest, AGameAnotherProgramChangesIsOnlyViewedAndTheHolderNamed) {
    test::TempFolder temp{"tw-ui"};
    const Status written = WriteSampleInstallation(temp.Path() / "game");
    ASSERT_TRUE(written) << written.Reason();
    GameContext holder;
    holder.gameFolder = (temp.Path() / "game").string();
    holder.installationOptions.holder = "trackwright-cli import";
    ASSERT_TRUE(holder.TakeInstallation(Installation::Intent::Write));

    ViewedGame viewed(temp.Path() / "game");
    ASSERT_TRUE(viewed.session.TakeGame(viewed.port, false));
    ASSERT_TRUE(viewed.window->Start());
    ASSERT_EQ(viewed.port.calls.size(), 1u);
    EXPECT_NE(viewed.port.calls[0].message.text.find("is open read-only: it is being changed by trackwright-cli import"),
              std::string::npos)
        << viewed.port.Shown()[0];
    EXPECT_EQ(viewed.window->CareerList()->RowCount(), 10);
    viewed.ExpectNothingWrites();

    // Changes can still be made (and exported); closing asks before they go, No by default.
    viewed.session.SetInternalName(0, "Viewed");
    viewed.port.calls.clear();
    viewed.port.answers = {Answer::No};
    viewed.window->close();
    EXPECT_FALSE(viewed.window->HasClosed());
    ASSERT_EQ(viewed.port.calls.size(), 1u);
    EXPECT_EQ(viewed.port.calls[0].message.defaultAnswer, Answer::No);
    viewed.port.answers = {Answer::Yes};
    viewed.window->close();
    EXPECT_TRUE(viewed.window->HasClosed());
}

// Run by tests/scripts/read-only-game-test.sh as a user who may read the game in
// TW_READ_ONLY_GAME but not write it.
TEST(ReadOnlyGameTest, AGameThisUserCannotWriteIsOnlyViewedAndTheReasonNamed) {
    const char* folder = std::getenv("TW_READ_ONLY_GAME");
    if (folder == nullptr) GTEST_SKIP() << "TW_READ_ONLY_GAME names no game this user cannot write";
    ViewedGame viewed(folder);
    ASSERT_TRUE(viewed.session.TakeGame(viewed.port, false));
    ASSERT_TRUE(viewed.window->Start());
    ASSERT_EQ(viewed.port.calls.size(), 1u) << testing::PrintToString(viewed.port.Shown());
    const std::string& text = viewed.port.calls[0].message.text;
    EXPECT_NE(text.find("is open read-only: " + std::string(folder)), std::string::npos) << text;
    const char* reason = std::getenv("TW_READ_ONLY_REASON");
    EXPECT_NE(text.find(reason != nullptr ? reason : "Permission denied"), std::string::npos) << text;
    viewed.ExpectNothingWrites();
}

}  // namespace
}  // namespace tw
