#pragma once

#include <memory>
#include <vector>

#include <QRect>
#include <QSize>

#include "ui/TextFields.h"

class QGroupBox;
class QLabel;
class QMainWindow;
class QPushButton;

namespace tw {

class FullRowListView;

// The main window's controls, made and placed on its client area in tab order: the career list,
// the career's frame with its four text fields, icon preview and Modify icons button, the job
// list, and the job's frame with its three text fields and two buttons. Nothing is usable until
// the window says so. At the first size every control stands where it was designed to; a larger
// area gives the lists a third of the room across and the frames with their fields the rest, and
// the career's half and the job's half the room down.
struct MainWindowWidgets {
    MainWindowWidgets(QMainWindow& window, TextFields::LeftOutTeller tellLeftOut);

    // Places every control for a client area of `size`.
    void Place(QSize size);

    FullRowListView* careerList = nullptr;
    FullRowListView* jobList = nullptr;
    QGroupBox* careerGroup = nullptr;
    QGroupBox* jobGroup = nullptr;
    QLabel* iconPreview = nullptr;
    QPushButton* modifyIcons = nullptr;
    QPushButton* jobDetails = nullptr;
    QPushButton* chanceCards = nullptr;
    std::unique_ptr<TextFields> fields;

private:
    // Shares of the room beyond the first size that move each edge of a control.
    struct Anchor {
        double left, right, top, bottom;
    };
    struct Anchored {
        QWidget* widget;
        Anchor anchor;
        QRect first{};  // where it stands at the first size
    };
    QSize firstSize_;
    std::vector<Anchored> anchors_;
};

}  // namespace tw
