#include "ui/EditorApp.h"

#include <map>

#include <QApplication>
#include <QPushButton>

#include "MainWindowTestFixture.h"
#include "iff/ResourceType.h"
#include "locate/RememberedFolder.h"
#include "ui/LoadWindowRunner.h"
#include "ui/LoadingDialog.h"

namespace tw {
namespace {

using test::ScriptedPort;
using test::TempFolder;

constexpr const char* CareersMissing = "Error: Can't locate/open/load the Careers or Careers.iff file!";

// A sample installation, and surroundings in which no other source finds a game: a home and a
// configuration folder of their own and nothing else in the environment.
class EditorAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        const Status written = WriteSampleInstallation(GameFolder());
        ASSERT_TRUE(written) << written.Reason();
        environmentValues["HOME"] = (root.Path() / "home").string();
        environmentValues["XDG_CONFIG_HOME"] = (root.Path() / "config").string();
        environmentValues["APPDATA"] = (root.Path() / "config").string();  // Windows' place for it
    }

    std::filesystem::path GameFolder() const { return root.Path() / "game"; }

    EnvironmentLookup Environment() const {
        return [values = environmentValues](const std::string& name) -> std::optional<std::string> {
            const auto it = values.find(name);
            if (it == values.end()) return std::nullopt;
            return it->second;
        };
    }

    // Runs the editor; `inWindow` sees the window after its load and then closes it.
    int Run(EditorApp::Options options, const std::function<void(MainWindow&)>& inWindow = {}) {
        EditorApp app(port, std::move(options));
        app.SetEnvironment(Environment());
        app.SetLoadRunner([this](GameContext& context) { return RunLoad(context, port); });
        app.SetWindowRunner([&](MainWindow& window) {
            ++windowsShown;
            if (inWindow) inWindow(window);
            window.close();
            EXPECT_TRUE(window.HasClosed());
        });
        const int exitCode = app.Run();
        // Both containers are emptied once the window has gone.
        containersEmptied = app.Context().careersIFF.CountChunksOfType(TypeCARR, false) == 0 &&
                            app.Context().chanceCardsIFF.CountChunksOfType(TypeBHAV, false) == 0;
        location = app.Located();
        return exitCode;
    }

    static EditorApp::Options WithGame(const std::filesystem::path& folder) {
        EditorApp::Options options;
        options.gameFolder = folder.string();
        return options;
    }

    TempFolder root;
    std::map<std::string, std::string> environmentValues;
    ScriptedPort port;
    int windowsShown = 0;
    bool containersEmptied = false;
    LocateResult location;
};

TEST_F(EditorAppTest, AGoodInstallationOpensTheWindowWithTheFirstCareer) {
    const int exitCode = Run(WithGame(GameFolder()), [](MainWindow& window) {
        EXPECT_EQ(window.CareerList()->SelectedRow(), 0);
        EXPECT_TRUE(window.LanguageAction(0)->isChecked());
        EXPECT_TRUE(window.ChanceCardsButton()->isEnabled());
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(windowsShown, 1);
    EXPECT_TRUE(port.calls.empty()) << port.Shown().front();
    EXPECT_TRUE(containersEmptied);
    EXPECT_EQ(location.location.source, LocateSource::GameOption);
}

TEST_F(EditorAppTest, WithoutACareersFileTheProgramEndsAfterTheMessages) {
    std::filesystem::remove_all(GameFolder() / "ExpansionShared");
    port.folders = {std::nullopt};
    EXPECT_EQ(Run(WithGame(GameFolder())), 0);
    EXPECT_EQ(windowsShown, 0);
    const std::vector<std::string> shown = port.Shown();
    ASSERT_EQ(shown.size(), 2u);
    // First where the game was looked for, with the folder given on the command line.
    EXPECT_EQ(shown[0].rfind("Warning: The Sims was not found", 0), 0u) << shown[0];
    EXPECT_NE(shown[0].find(GameFolder().string()), std::string::npos) << shown[0];
    EXPECT_EQ(port.calls[1].kind, "folder");
    EXPECT_EQ(port.calls[1].message.title, EditorApp::ChooseFolderTitle);
    EXPECT_EQ(shown[1], CareersMissing);
    EXPECT_TRUE(containersEmptied);
}

TEST_F(EditorAppTest, AChosenFolderWithTheGameIsRememberedAndLoaded) {
    port.folders = {GameFolder()};
    EXPECT_EQ(Run({}), 0);
    EXPECT_EQ(windowsShown, 1);
    EXPECT_EQ(port.calls.size(), 2u);
    EXPECT_EQ(location.location.source, LocateSource::None);
    EXPECT_EQ(RememberedFolder(Environment()).Recall().ValueOr({}), GameFolder().string());

    // The next start finds it without asking.
    port.calls.clear();
    EXPECT_EQ(Run({}), 0);
    EXPECT_EQ(windowsShown, 2);
    EXPECT_TRUE(port.calls.empty());
    EXPECT_EQ(location.location.source, LocateSource::Remembered);
}

TEST_F(EditorAppTest, AChosenFolderWithoutTheGameIsNotRemembered) {
    const std::filesystem::path empty = root.Path() / "empty";
    std::filesystem::create_directories(empty);
    port.folders = {empty};
    EXPECT_EQ(Run({}), 0);
    EXPECT_EQ(windowsShown, 0);
    EXPECT_EQ(port.Shown().back(), CareersMissing);
    EXPECT_FALSE(RememberedFolder(Environment()).Recall());
}

TEST_F(EditorAppTest, AMissingChanceCardFileWarnsOnceAndKeepsChanceCardsOff) {
    std::filesystem::remove(GameFolder() / "GameData" / "Objects" / "CarPortal.iff");
    const int exitCode = Run(WithGame(GameFolder()), [](MainWindow& window) {
        window.JobList()->SelectRow(2);
        EXPECT_TRUE(window.JobDetailsButton()->isEnabled());
        EXPECT_FALSE(window.ChanceCardsButton()->isEnabled());
        window.Reload();
        window.JobList()->SelectRow(2);
        EXPECT_FALSE(window.ChanceCardsButton()->isEnabled());
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(windowsShown, 1);
    EXPECT_EQ(port.Shown(), std::vector<std::string>{
                                "Warning: Cannot load the CarPortal.iff file!\n\nChance Card editing has been disabled."});
}

// Presses Cancel in the loading window as soon as the first file is shown in its status line.
class CancellingPort : public ScriptedPort {
public:
    void ShowStatus(const std::string& text) override {
        ScriptedPort::ShowStatus(text);
        if (statuses.size() != 1) return;
        QMetaObject::invokeMethod(
            qApp,
            [] {
                auto* loading = qobject_cast<LoadingDialog*>(QApplication::activeModalWidget());
                ASSERT_NE(loading, nullptr);
                loading->CancelButton()->click();
            },
            Qt::BlockingQueuedConnection);
    }
};

TEST_F(EditorAppTest, CancelInTheLoadingWindowEndsTheProgram) {
    CancellingPort cancelling;
    EditorApp app(cancelling, WithGame(GameFolder()));
    app.SetEnvironment(Environment());
    app.SetLoadRunner([&cancelling](GameContext& context) { return RunLoadInWindow(context, cancelling); });
    app.SetWindowRunner([this](MainWindow&) { ++windowsShown; });
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(windowsShown, 0);
    EXPECT_TRUE(cancelling.calls.empty());
    // The worker stopped at its next check, before the careers.
    EXPECT_EQ(cancelling.statuses, std::vector<std::string>{"CarPortal.iff"});
}

TEST(EditorAppArgumentsTest, ReadsTheGameFolderAndTheScreenshotFile) {
    struct Case {
        QStringList arguments;
        bool valid;
        std::string gameFolder;
        QString screenshot;
    };
    const Case cases[] = {
        {{}, true, "", ""},
        {{"--game", "/games/The Sims"}, true, "/games/The Sims", ""},
        {{"--screenshot", "shot.png", "--game", "g"}, true, "g", "shot.png"},
        {{"--game"}, false, "", ""},
        {{"--game", ""}, false, "", ""},
        {{"--verbose"}, false, "", ""},
        {{"/games/The Sims"}, false, "", ""},
    };
    for (const Case& c : cases) {
        EditorApp::Options options;
        QString error;
        EXPECT_EQ(EditorApp::ParseArguments(c.arguments, options, error), c.valid) << c.arguments.join(' ').toStdString();
        if (!c.valid) {
            EXPECT_FALSE(error.isEmpty());
            continue;
        }
        EXPECT_EQ(options.gameFolder, c.gameFolder);
        EXPECT_EQ(options.screenshotFile, c.screenshot);
    }
}

}  // namespace
}  // namespace tw
