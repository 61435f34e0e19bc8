#pragma once

#include <functional>
#include <vector>

#include <QDialog>

#include "edit/EditHistory.h"
#include "edit/ModelChange.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace tw {

class EditSession;

// File > "Review Changes...": every difference between the model and the game's files as last
// loaded or saved, one row each (career, level, language, field, before, after; icons as
// pictures), read-only. "Go To" (or a double click) shows the change in the main window; the
// window stays open beside it and is refreshed by its owner after each change. The keys of its
// parent window's commands work in it as they do there.
class ReviewChangesDialog : public QDialog {
    Q_OBJECT

public:
    enum Column { CareerColumn, LevelColumn, LanguageColumn, FieldColumn, BeforeColumn, AfterColumn, ColumnCount };

    explicit ReviewChangesDialog(const EditSession& session, QWidget* parent = nullptr);

    // What "Go To" does with the place of the chosen change.
    void SetGoTo(std::function<void(const EditPlace&)> goTo) { goTo_ = std::move(goTo); }
    // The rows anew from the session; the chosen row stays where it can.
    void Refresh();
    // Shows the chosen change.
    void GoToSelected();

    QTreeWidget* List() const { return list_; }
    QLabel* Summary() const { return summary_; }
    QPushButton* GoToButton() const { return goToButton_; }

private:
    void CreateWidgets();
    void ConnectWidgets();

    const EditSession& session_;
    std::function<void(const EditPlace&)> goTo_;
    std::vector<ModelChange> changes_;

    QLabel* summary_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* goToButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

}  // namespace tw
