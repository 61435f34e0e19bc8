// The main window's translations: one language's texts to and from a PO file.
#include "ui/MainWindow.h"

#include "edit/EditSession.h"
#include "edit/TranslationCommands.h"

namespace tw {

void MainWindow::ExportTranslations() {
    if (filesLoaded_) ExportTranslationsCommand(session_, view_.Language(), port_);
}

// An edit like any other, which a save writes; the window then shows the language imported.
void MainWindow::ImportTranslations() {
    if (!filesLoaded_) return;
    session_.EndTyping();
    const TranslationImportResult result = ImportTranslationsCommand(session_, port_);
    if (result.textsChanged != 0)
        ShowChange(EditPlace{view_.SelectedCareer(), view_.SelectedLevel(), result.slot});
    else
        UpdateEditState();
}

}  // namespace tw
