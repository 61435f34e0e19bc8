#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <QDialog>

class QAction;
class QPushButton;
class QTableView;

namespace tw {

class EditSession;
class LevelTableModel;
class UserPort;

// Career > Level Table...: every job level of one career in a table that is edited in place,
// beside the main window (modeless). A refused value is reported as Job details reports it and
// the cell keeps its value; values that fall below the level below's are marked. Copy Levels puts
// the selected levels on the clipboard as tab-separated lines; Paste Levels reads such lines onto
// the selected level and those after it, as one step. Closing only hides the dialog.
class LevelTableDialog : public QDialog {
    Q_OBJECT

public:
    LevelTableDialog(EditSession& session, std::uint32_t career, UserPort& port, QWidget* parent = nullptr);

    // Retakes everything from the session (after an undo, a redo, a load elsewhere); closes the
    // dialog when its career is gone.
    void Refresh();

    QTableView* Table() const { return table_; }
    // The levels of the selected cells to the clipboard.
    void CopySelectedLevels();
    // The clipboard's levels onto the topmost selected level (the current one, or level 0, when
    // nothing is selected) and those after it; nothing changes when any cell is refused.
    void PasteLevels();

signals:
    // The dialog changed the session.
    void Edited();

private:
    void BuildWidgets();
    void ConnectWidgets();
    void ShowTitle();
    std::vector<std::size_t> SelectedLevels() const;
    void Tell(const QString& message);

    EditSession& session_;
    std::uint32_t career_;
    UserPort& port_;

    LevelTableModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QAction* copyAction_ = nullptr;
    QAction* pasteAction_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    QPushButton* pasteButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

}  // namespace tw
