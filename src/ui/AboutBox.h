#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tw {

// Names the program, its version and its licence. OK, Enter, Escape and the close box end it;
// it changes nothing.
class AboutBox : public QDialog {
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);

    QLabel* VersionLine() const { return versionLine_; }
    QLabel* CreditsLine() const { return creditsLine_; }
    QLabel* LicenceLine() const { return licenceLine_; }
    QPushButton* OkButton() const { return okButton_; }

private:
    void CreateWidgets();
    void ConnectWidgets();

    QLabel* icon_ = nullptr;
    QLabel* versionLine_ = nullptr;
    QLabel* creditsLine_ = nullptr;
    QLabel* licenceLine_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

}  // namespace tw
