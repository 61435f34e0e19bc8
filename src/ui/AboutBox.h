#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tw {

// Names the program and its version. OK, Enter, Escape and the close box end it; it changes
// nothing.
class AboutBox : public QDialog {
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);

    QLabel* VersionLine() const { return versionLine_; }
    QLabel* CreditsLine() const { return creditsLine_; }
    QLabel* AddressLine() const { return addressLine_; }
    QPushButton* OkButton() const { return okButton_; }

private:
    void CreateWidgets();
    void ConnectWidgets();

    QLabel* icon_ = nullptr;
    QLabel* versionLine_ = nullptr;
    QLabel* creditsLine_ = nullptr;
    QLabel* addressLine_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

}  // namespace tw
