#include "ui/EditorApp.h"

#include <optional>
#include <utility>

#include <QCoreApplication>
#include <QEventLoop>
#include <QPixmap>

#include "gamefiles/GameFileFinding.h"
#include "locate/RememberedFolder.h"
#include "store/Installation.h"
#include "ui/LoadWindowRunner.h"
#include "ui/MainWindow.h"
#include "ui/QtUserPort.h"
#include "util/HostPath.h"
#include "util/UserPort.h"

namespace tw {

bool EditorApp::ParseArguments(const QStringList& arguments, Options& options, QString& error) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool game = argument == QStringLiteral("--game");
        const bool screenshot = argument == QStringLiteral("--screenshot");
        if (!game && !screenshot) {
            error = QStringLiteral("unknown option: %1").arg(argument);
            return false;
        }
        if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
            error = QStringLiteral("%1 needs a value").arg(argument);
            return false;
        }
        const QString value = arguments[++i];
        if (game) {
            // The folder as the file system names it: its bytes, as every other source gives it.
            const std::optional<std::string> bytes = BytesFromPath(std::filesystem::path(value.toStdU16String()));
            if (!bytes) {
                error = QStringLiteral("the folder name cannot be used: %1").arg(value);
                return false;
            }
            options.gameFolder = *bytes;
        } else {
            options.screenshotFile = value;
        }
    }
    return true;
}

EditorApp::EditorApp(UserPort& port, Options options) : port_(port), options_(std::move(options)) {}

EditorApp::~EditorApp() = default;

std::string EditorApp::GameNotFoundText(const LocateResult& located) {
    std::string text = "The Sims was not found: no folder that holds its careers file turned up.\n\nWhere it was looked for:\n";
    for (const LocateStep& step : located.trace) {
        text += "- ";
        text += LocateSourceName(step.source);
        if (!step.candidate.empty()) text += ": " + step.candidate;
        if (!step.outcome.empty()) text += " (" + step.outcome + ")";
        text += "\n";
    }
    text += "\nPlease choose the folder in which The Sims is installed.";
    return text;
}

bool EditorApp::HoldsCareersFile(const std::string& folder) const {
    return !folder.empty() && FindCareersFile(PathFromBytes(folder)).Found();
}

GameLocation EditorApp::FindGame() {
    LocateOptions locate;
    locate.gameFolder = options_.gameFolder;
    locate.environment = environment_;
    located_ = locate_ ? locate_(locate) : LocateGame(locate);
    GameLocation location = located_.location;
    if (HoldsCareersFile(location.gameFolder)) return location;

    // Asked once. Cancel leaves the location as found, and the load then says what it misses.
    port_.Tell(GameNotFoundText(located_), "Warning", MessageIcon::Warning);
    const std::optional<std::filesystem::path> chosen = port_.ChooseFolder(ChooseFolderTitle);
    if (!chosen) return location;
    const std::optional<std::string> folder = BytesFromPath(*chosen);
    if (!folder) return location;
    // Only a folder that holds the game is remembered for the next start; any other is still
    // tried, so that the load names what it lacks.
    if (HoldsCareersFile(*folder)) {
        const RememberedFolder remembered = environment_ ? RememberedFolder(environment_) : RememberedFolder();
        (void)remembered.Remember(*folder);  // not kept: the next start asks again
    }
    location.gameFolder = *folder;
    return location;
}

int EditorApp::Run() {
    const GameLocation location = FindGame();
    session_.UseLocation(location);
    session_.Context().chanceCardsDisabled = 0;
    // The editor holds the game from its first load until it ends, so that no other program
    // changes it meanwhile; a picture of the window, or a game that another program changes, is
    // only viewed. Another game opened later is held the same way.
    session_.Context().installationOptions.holder = std::string(EditorHolder);
    if (!session_.TakeGame(port_, !options_.screenshotFile.isEmpty())) return 1;

    LoadRunner runLoad = runLoad_;
    if (!runLoad) runLoad = [this](GameContext& loaded) { return RunLoadInWindow(loaded, port_, qtPort_); };
    int exitCode = 0;
    {
        MainWindow window(session_, port_, std::move(runLoad));
        // A picture of the window is taken at the size it was designed for, and remembers nothing.
        if (options_.screenshotFile.isEmpty()) window.UseSettings(environment_ ? environment_ : ProcessEnvironment());
        if (qtPort_) qtPort_->SetWindow(&window);
        if (!window.Start()) {
            if (!options_.screenshotFile.isEmpty()) exitCode = 1;
        } else if (!options_.screenshotFile.isEmpty()) {
            exitCode = SaveScreenshot(window) ? 0 : 1;
            window.close();
        } else if (runWindow_) {
            runWindow_(window);
        } else {
            RunUntilClosed(window);
        }
        if (qtPort_) qtPort_->SetWindow(nullptr);
        // The window may have opened another game: the session's context is the one to empty.
        session_.Context().EmptyContainers();
    }
    return exitCode;
}

void EditorApp::RunUntilClosed(MainWindow& window) {
    QEventLoop loop;
    QObject::connect(&window, &MainWindow::WindowClosed, &loop, &QEventLoop::quit);
    window.show();
    if (!window.HasClosed()) loop.exec();
}

bool EditorApp::SaveScreenshot(MainWindow& window) {
    window.show();
    // Let the window be laid out and painted once before it is taken.
    for (int round = 0; round < 5; ++round) QCoreApplication::processEvents();
    const QPixmap picture = window.grab();
    return !picture.isNull() && picture.save(options_.screenshotFile, "PNG");
}

}  // namespace tw
