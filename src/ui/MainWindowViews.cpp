// The main window's views of one career at a glance: the level table and the translations. Each
// is a window of its own beside the main window; edits in either are steps of the one history,
// and every view shows what the model holds after any edit, undo or load.
#include "ui/MainWindow.h"

#include "edit/EditSession.h"
#include "ui/LevelTableDialog.h"
#include "ui/SideWindows.h"
#include "ui/TranslationsDialog.h"

namespace tw {

LevelTableDialog* MainWindow::LevelTableWindow() const { return levelTable_; }
TranslationsDialog* MainWindow::TranslationsWindow() const { return translations_; }

void MainWindow::OpenLevelTable() { OpenView(levelTable_); }
void MainWindow::OpenTranslations() { OpenView(translations_); }

template <typename View>
void MainWindow::OpenView(QPointer<View>& view) {
    const std::optional<std::uint32_t> career = view_.SelectedCareer();
    if (!filesLoaded_ || !career) return;
    // One view of each kind, always of the career selected when it was asked for.
    if (view) view->close();
    view = new View(session_, *career, port_, this);
    view->setAttribute(Qt::WA_DeleteOnClose);
    // Queued: the view finishes its own edit before everything shown is taken afresh.
    connect(view, &View::Edited, this, &MainWindow::ShowViewEdit, Qt::QueuedConnection);
    ShowInFront(*view);
}

void MainWindow::ShowViewEdit() {
    if (!filesLoaded_) return;
    RefreshCareerRows();
    EditPlace here;
    here.career = view_.SelectedCareer();
    if (view_.SelectedLevel()) here.level = *view_.SelectedLevel();
    ShowPlace(here);
    UpdateEditState();
}

void MainWindow::RefreshViews() {
    if (levelTable_ && levelTable_->isVisible()) levelTable_->Refresh();
    if (translations_ && translations_->isVisible()) translations_->Refresh();
}

void MainWindow::CloseViews() {
    if (levelTable_) levelTable_->close();
    if (translations_) translations_->close();
}

}  // namespace tw
