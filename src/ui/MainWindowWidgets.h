#pragma once

#include <memory>

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
// the window says so.
struct MainWindowWidgets {
    MainWindowWidgets(QMainWindow& window, TextFields::LeftOutTeller tellLeftOut);

    FullRowListView* careerList = nullptr;
    FullRowListView* jobList = nullptr;
    QGroupBox* careerGroup = nullptr;
    QGroupBox* jobGroup = nullptr;
    QLabel* iconPreview = nullptr;
    QPushButton* modifyIcons = nullptr;
    QPushButton* jobDetails = nullptr;
    QPushButton* chanceCards = nullptr;
    std::unique_ptr<TextFields> fields;
};

}  // namespace tw
