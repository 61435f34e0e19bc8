#pragma once

#include <cstdint>
#include <string>

#include <QDialog>

#include "icons/Bitmap.h"
#include "util/UserPort.h"

class QLabel;
class QPushButton;

namespace tw {

class IconStrips;

// Lets the person replace the two job icons of one career with bitmap files of their own, and
// save the current icons as bitmap files.
//
// The dialog works on its own copies of the two icons. The strips change only when the caller,
// after OK, puts PopupIcon() and ButtonIcon() back with IconStrips::PutPopupIcon and
// PutButtonIcon at the same icon number; Cancel and the close box leave everything as it was.
//
//     ModifyIconsDialog dialog(careers.ids[career], strips, port, this);
//     if (dialog.exec() == QDialog::Accepted) { strips.PutButtonIcon(...); strips.PutPopupIcon(...); }
class ModifyIconsDialog : public QDialog {
    Q_OBJECT

public:
    // The size that an imported icon must have.
    static constexpr std::int32_t PopupWidth = 84;
    static constexpr std::int32_t PopupHeight = 63;
    static constexpr std::int32_t ButtonWidth = 112;
    static constexpr std::int32_t ButtonHeight = 22;

    // Cuts icon `iconNumber` (the career's resource id) out of both strips. When either icon
    // cannot be cut out, the person is told through `port` and the dialog is not Opened():
    // exec() then returns Rejected at once without showing anything.
    //
    // Object names: "popupPicture", "buttonPicture", "importPopup", "exportPopup",
    // "importButton", "exportButton", "ok", "cancel".
    ModifyIconsDialog(std::uint32_t iconNumber, const IconStrips& strips, UserPort& port, QWidget* parent = nullptr);

    // False when an icon could not be cut out while opening: the dialog ended as cancelled.
    bool Opened() const { return opened_; }
    std::uint32_t IconNumber() const { return iconNumber_; }

    // The working copies: what the strips held, or what the person imported since.
    const Bitmap& PopupIcon() const { return popupIcon_; }
    const Bitmap& ButtonIcon() const { return buttonIcon_; }

    // A dialog that did not open ends as Rejected without being shown.
    int exec() override;
    void open() override;

private:
    bool CutIcons(const IconStrips& strips);
    void BuildWidgets();
    void ConnectWidgets();
    void ShowIcons();
    void Import(Bitmap& icon, std::int32_t width, std::int32_t height, const char* sizeMessage);
    void Export(const Bitmap& icon);
    void ShowError(const std::string& text, const std::string& detail = {});

    std::uint32_t iconNumber_;
    UserPort& port_;
    bool opened_ = false;
    Bitmap popupIcon_;
    Bitmap buttonIcon_;

    QLabel* popupPicture_ = nullptr;
    QLabel* buttonPicture_ = nullptr;
    QPushButton* importPopupButton_ = nullptr;
    QPushButton* exportPopupButton_ = nullptr;
    QPushButton* importButtonButton_ = nullptr;
    QPushButton* exportButtonButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace tw
