#pragma once

#include <functional>
#include <string>

#include <QString>
#include <QStringList>

#include "edit/EditSession.h"
#include "gamefiles/GameContext.h"
#include "gamefiles/GameLoad.h"
#include "locate/GameLocation.h"
#include "ui/MainWindow.h"
#include "util/EnvironmentLookup.h"

namespace tw {

class QtUserPort;
class UserPort;

// The editor's start-up and tear-down: finds the game, asks the person for its folder once when
// no source yields one with a careers file, runs the main window (whose first act is the load)
// until it closes, and then empties both containers.
class EditorApp {
public:
    struct Options {
        // --game DIR: the game folder, tried before every other source.
        std::string gameFolder;
        // --screenshot FILE: save a picture of the main window after the load, then end without
        // waiting for anyone.
        QString screenshotFile;
    };

    // Reads the command line (without the program's name). False with the reason in `error`
    // for an unknown option or an option without its value.
    static bool ParseArguments(const QStringList& arguments, Options& options, QString& error);

    EditorApp(UserPort& port, Options options);
    ~EditorApp();
    EditorApp(const EditorApp&) = delete;
    EditorApp& operator=(const EditorApp&) = delete;

    // What the editor uses of its surroundings, replaceable for tests.
    // The environment of the game's location and of the remembered folder.
    void SetEnvironment(EnvironmentLookup environment) { environment_ = std::move(environment); }
    void SetLocator(std::function<LocateResult(const LocateOptions&)> locate) { locate_ = std::move(locate); }
    // Runs one load; by default behind the loading window.
    void SetLoadRunner(LoadRunner runLoad) { runLoad_ = std::move(runLoad); }
    // Runs the opened window until it has closed; by default shows it and waits.
    void SetWindowRunner(std::function<void(MainWindow&)> runWindow) { runWindow_ = std::move(runWindow); }
    // Where the messages of the window's dialogs appear, when the port is the editor's own.
    void SetQtPort(QtUserPort* port) { qtPort_ = port; }

    // The whole run: returns the process's exit code (0; with --screenshot, 1 when the load
    // failed or the picture could not be saved).
    int Run();

    GameContext& Context() { return session_.Context(); }
    EditSession& Session() { return session_; }
    const LocateResult& Located() const { return located_; }

    // The message that says where the game was looked for, from the locator's trace.
    static std::string GameNotFoundText(const LocateResult& located);
    static constexpr const char* ChooseFolderTitle = MainWindow::ChooseFolderTitle;

private:
    GameLocation FindGame();
    bool HoldsCareersFile(const std::string& folder) const;
    void RunUntilClosed(MainWindow& window);
    bool SaveScreenshot(MainWindow& window);

    UserPort& port_;
    Options options_;
    EnvironmentLookup environment_;
    std::function<LocateResult(const LocateOptions&)> locate_;
    LoadRunner runLoad_;
    std::function<void(MainWindow&)> runWindow_;
    QtUserPort* qtPort_ = nullptr;
    LocateResult located_;
    EditSession session_;
};

}  // namespace tw
