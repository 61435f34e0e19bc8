// The main window's game: which one is open, opening another, and what is kept of the window for
// the next start.
#include "ui/MainWindow.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include <QStatusBar>

#include "edit/EditSession.h"
#include "locate/RecentGames.h"
#include "locate/RememberedFolder.h"
#include "ui/CheckGameDialog.h"
#include "ui/QuietScope.h"
#include "ui/FullRowListView.h"
#include "ui/SideWindows.h"
#include "util/HostPath.h"
#include "util/UserPort.h"

namespace tw {
namespace {

constexpr const char* WindowSizeFile = "window-size";

}  // namespace

QString MainWindow::TitleFor(const std::string& gameFolder, bool readOnly) {
    std::filesystem::path folder = PathFromBytes(gameFolder);
    // "C:\Games\The Sims\" names the folder "The Sims" too.
    if (!folder.has_filename()) folder = folder.parent_path();
    QString title = QStringLiteral("Trackwright 2.1");
    const std::string name = PathText(folder.filename());
    if (!name.empty()) title += QStringLiteral(" - ") + QString::fromStdString(name);
    title += QStringLiteral("[*]");
    if (readOnly) title += QStringLiteral(" (read-only)");
    return title;
}

std::vector<std::string> MainWindow::RecentGameFolders() const {
    if (!settings_) return {};
    return RecentGames(settings_).List();
}

void MainWindow::OpenGameFolder() {
    const std::optional<std::filesystem::path> chosen = port_.ChooseFolder(ChooseFolderTitle);
    if (!chosen) return;
    if (const std::optional<std::string> folder = BytesFromPath(*chosen)) OpenGame(*folder);
}

void MainWindow::OpenRecentGame(const std::string& folder) {
    std::error_code ec;
    if (!std::filesystem::is_directory(PathFromBytes(folder), ec)) {
        port_.Tell("The folder \"" + PathText(PathFromBytes(folder)) +
                       "\" is no longer there. It has been removed from the recent games.",
                   "Warning", MessageIcon::Warning);
        if (settings_) (void)RecentGames(settings_).Remove(folder);  // shown again only if it comes back
        return;
    }
    OpenGame(folder);
}

bool MainWindow::OpenGame(const std::string& folder) {
    bool reloaded = true;
    if (!session_.ConfirmLeave(port_, [this, &reloaded] { return ReloadFiles(reloaded); })) return false;
    if (!reloaded) {
        EndAfterFailedLoad();
        return false;
    }
    GameLocation location;
    location.gameFolder = folder;
    // The open game stays shown while the other loads beside it; only a success replaces it.
    const bool sameGame = session_.IsOpen(folder);
    if (sameGame) {
        QuietScope quiet(quiet_);
        widgets_->careerList->RemoveAllRows();
        filesLoaded_ = false;
    }
    if (!session_.OpenGame(port_, location, runLoad_)) {
        if (sameGame) EndAfterFailedLoad();
        UpdateEditState();
        return false;
    }
    if (settings_) {
        // Kept for the next start and for the command line; a folder that cannot be kept is
        // asked for again then, which is no reason to stop here.
        (void)RememberedFolder(settings_).Remember(folder);
        (void)RecentGames(settings_).Add(folder);
    }
    // The views showed careers of the game that is gone.
    CloseViews();
    ShowLoadedCareers();
    session_.SettleWriteAccess(port_);
    UpdateEditState();
    return true;
}

void MainWindow::NoteWhatTheCheckFinds() {
    const std::vector<Finding> findings = session_.Check();
    const bool worth = std::any_of(findings.begin(), findings.end(), [](const Finding& f) {
        return f.kind == Finding::Kind::Loss || f.kind == Finding::Kind::Damaged;
    });
    if (worth)
        statusBar()->showMessage(QStringLiteral("A check of this game finds what a save would lose or parts that cannot "
                                                "be read: File > Check Game... lists them."));
}

CheckGameDialog* MainWindow::CheckWindow() const { return check_; }

void MainWindow::CheckGame() {
    if (!filesLoaded_) return;
    if (!check_) {
        check_ = new CheckGameDialog(session_, this);
        check_->SetGoTo([this](const EditPlace& place) { ShowPlace(place); });
    }
    check_->Refresh();
    ShowInFront(*check_);
}

void MainWindow::RestoreSize() {
    if (!settings_) return;
    const Expected<std::string> text = RememberedFolder(settings_).ReadSettingsFile(WindowSizeFile);
    if (!text) return;
    int width = 0, height = 0;
    if (std::sscanf(text->c_str(), "%d %d", &width, &height) != 2) return;
    // Never below the first size, and never past what the screens could show.
    resize(QSize(width, height).expandedTo(minimumSize()).boundedTo(QSize(16384, 16384)));
}

void MainWindow::KeepSize() const {
    if (!settings_ || isMaximized() || isMinimized()) return;
    (void)RememberedFolder(settings_).WriteSettingsFile(
        WindowSizeFile, std::to_string(width()) + " " + std::to_string(height()) + "\n");
}

}  // namespace tw
