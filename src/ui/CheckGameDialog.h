#pragma once

#include <functional>
#include <vector>

#include <QDialog>

#include "check/Finding.h"
#include "edit/EditHistory.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace tw {

class EditSession;

// File > "Check Game...": what `check` finds in the open game, one row each (kind, place,
// message), read-only. "Go To" (or a double click) shows a finding's career and level in the main
// window, as Review Changes does.
class CheckGameDialog : public QDialog {
    Q_OBJECT

public:
    enum Column { KindColumn, PlaceColumn, MessageColumn, ColumnCount };

    CheckGameDialog(EditSession& session, QWidget* parent = nullptr);

    void SetGoTo(std::function<void(const EditPlace&)> goTo) { goTo_ = std::move(goTo); }
    // The findings anew from the session.
    void Refresh();
    void GoToSelected();

    QTreeWidget* List() const { return list_; }
    QLabel* Summary() const { return summary_; }

    // Where a finding is, in words: "GameData/Objects/CarPortal.iff STR# 301", "career #3, level 2,
    // salary".
    static QString PlaceText(const Finding& finding);

private:
    EditSession& session_;
    std::function<void(const EditPlace&)> goTo_;
    std::vector<Finding> findings_;
    QLabel* summary_ = nullptr;
    QTreeWidget* list_ = nullptr;
};

}  // namespace tw
