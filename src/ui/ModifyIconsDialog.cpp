#include "ui/ModifyIconsDialog.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "icons/BitmapFile.h"
#include "icons/IconStrips.h"
#include "ui/BitmapImage.h"
#include "ui/DialogUnits.h"
#include "util/FileStream.h"
#include "util/HostPath.h"
#include "util/MemoryStream.h"
#include "util/ReplaceFileWhole.h"

namespace tw {

namespace {

const char* const ErrorTitle = "Error!";
const char* const ContactLine = "Please report it on the project's issue tracker.";
const char* const PopupCutMessage = "Can't load the Popup bitmap!\n\nContact the author of this program!";
const char* const ButtonCutMessage = "Can't load the Button bitmap!\n\nContact the author of this program!";
const char* const PopupSizeMessage =
    "Couldn't load the bitmap!\n\nMake sure it's width is 84 pixels, it's height is 63 and it hasn't got compression.";
const char* const ButtonSizeMessage =
    "Couldn't load the bitmap!\n\nMake sure it's width is 112 pixels, it's height is 22 and it hasn't got compression.";
const char* const OpenMessage = "Couldn't open this file!";
const char* const CreateMessage = "Couldn't create this file!";
const char* const SaveMessage = "Couldn't save the bitmap!";
const char* const BitmapFilter = "Bitmap files (*.BMP)|*.BMP||";
const char* const BitmapName = "*.BMP";

// A picture shows its icon at its real size, centred, inside a one-pixel border. Where the
// dialog font makes the control too small for that, it grows about its own centre so that no
// part of the icon is cut off.
QRect PictureRect(const QRect& designed, const QSize& icon) {
    constexpr int Border = 1;
    const int width = std::max(designed.width(), icon.width() + 2 * Border);
    const int height = std::max(designed.height(), icon.height() + 2 * Border);
    return {designed.x() - (width - designed.width()) / 2, designed.y() - (height - designed.height()) / 2, width,
            height};
}

QSize SizeOf(const Bitmap& icon, std::int32_t width, std::int32_t height) {
    return {std::max(icon.width, width), std::max(icon.height, height)};
}

}  // namespace

ModifyIconsDialog::ModifyIconsDialog(std::uint32_t iconNumber, const IconStrips& strips, UserPort& port,
                                     QWidget* parent)
    : QDialog(parent), iconNumber_(iconNumber), port_(port) {
    opened_ = CutIcons(strips);
    BuildWidgets();
    ConnectWidgets();
    ShowIcons();
    if (!opened_) setResult(QDialog::Rejected);
}

// The popup icon first: when it cannot be cut out, the button icon is not tried.
bool ModifyIconsDialog::CutIcons(const IconStrips& strips) {
    if (!strips.GetPopupIcon(iconNumber_, popupIcon_)) {
        ShowError(std::string(PopupCutMessage) + "\n\n" + ContactLine);
        return false;
    }
    if (!strips.GetButtonIcon(iconNumber_, buttonIcon_)) {
        ShowError(std::string(ButtonCutMessage) + "\n\n" + ContactLine);
        return false;
    }
    return true;
}

void ModifyIconsDialog::BuildWidgets() {
    setWindowTitle(QStringLiteral("Modify icons..."));
    setModal(true);
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.Size(183, 183));

    // The frames come first so that the controls inside them stay on top.
    auto* popupGroup = new QGroupBox(QStringLiteral("Popup icon"), this);
    popupGroup->setGeometry(units.Rect(7, 7, 169, 68));
    auto* buttonGroup = new QGroupBox(QStringLiteral("Button icons"), this);
    buttonGroup->setGeometry(units.Rect(7, 80, 168, 74));

    const auto addPicture = [&](const char* name, const QRect& designed, const QSize& icon) {
        auto* picture = new QLabel(this);
        picture->setObjectName(QString::fromLatin1(name));
        picture->setFrameStyle(QFrame::Box | QFrame::Plain);
        picture->setLineWidth(1);
        picture->setAlignment(Qt::AlignCenter);
        picture->setGeometry(PictureRect(designed, icon));
        return picture;
    };
    popupPicture_ = addPicture("popupPicture", units.Rect(28, 23, 58, 41), SizeOf(popupIcon_, PopupWidth, PopupHeight));
    buttonPicture_ =
        addPicture("buttonPicture", units.Rect(50, 100, 77, 16), SizeOf(buttonIcon_, ButtonWidth, ButtonHeight));

    const auto addButton = [&](const char* text, const char* name, int x, int y) {
        auto* button = new QPushButton(QString::fromLatin1(text), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(units.Rect(x, y, 50, 14));
        return button;
    };
    importPopupButton_ = addButton("Import...", "importPopup", 106, 25);
    exportPopupButton_ = addButton("Export...", "exportPopup", 106, 45);
    importButtonButton_ = addButton("Import...", "importButton", 36, 127);
    exportButtonButton_ = addButton("Export...", "exportButton", 96, 127);
    okButton_ = addButton("OK", "ok", 68, 162);
    cancelButton_ = addButton("Cancel", "cancel", 126, 162);
    okButton_->setDefault(true);

    const std::array<QWidget*, 6> tabOrder = {importPopupButton_, exportPopupButton_, importButtonButton_,
                                              exportButtonButton_, okButton_, cancelButton_};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void ModifyIconsDialog::ConnectWidgets() {
    connect(importPopupButton_, &QPushButton::clicked, this,
            [this] { Import(popupIcon_, PopupWidth, PopupHeight, PopupSizeMessage); });
    connect(exportPopupButton_, &QPushButton::clicked, this, [this] { Export(popupIcon_); });
    connect(importButtonButton_, &QPushButton::clicked, this,
            [this] { Import(buttonIcon_, ButtonWidth, ButtonHeight, ButtonSizeMessage); });
    connect(exportButtonButton_, &QPushButton::clicked, this, [this] { Export(buttonIcon_); });
    connect(okButton_, &QPushButton::clicked, this, &ModifyIconsDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &ModifyIconsDialog::reject);
}

int ModifyIconsDialog::exec() {
    if (!opened_) {
        setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

void ModifyIconsDialog::open() {
    if (!opened_) {
        done(QDialog::Rejected);
        return;
    }
    QDialog::open();
}

void ModifyIconsDialog::ShowIcons() {
    popupPicture_->setPixmap(QPixmap::fromImage(ToQImage(popupIcon_)));
    buttonPicture_->setPixmap(QPixmap::fromImage(ToQImage(buttonIcon_)));
}

// A file of the wrong size, or one that cannot be read as a bitmap, leaves the icon as it was.
void ModifyIconsDialog::Import(Bitmap& icon, std::int32_t width, std::int32_t height, const char* sizeMessage) {
    FileChoice choice;
    choice.filter = BitmapFilter;
    choice.initialName = BitmapName;
    choice.mustExist = true;
    const std::optional<std::filesystem::path> path = port_.ChooseOpenFile(choice);
    if (!path) return;

    Expected<std::unique_ptr<FileStream>> file = FileStream::TryOpen(*path, FileMode::ReadShared);
    if (!file) {
        ShowError(OpenMessage, PathText(*path) + ": " + file.Reason());
        return;
    }
    Bitmap loaded;
    Palette scratch;
    if (const Status read = LoadBitmapFile(**file, loaded, scratch, width, height); !read) {
        // The message says what the icon must be; the detail what the file is.
        ShowError(sizeMessage, PathText(*path) + ": " + read.Reason());
        return;
    }
    icon = std::move(loaded);
    ShowIcons();
}

// The whole file is made in memory first and then replaces the chosen file in one step, so
// that a failure part way (a full disk, say) never leaves a cut-off file where a good one was.
void ModifyIconsDialog::Export(const Bitmap& icon) {
    FileChoice choice;
    choice.filter = BitmapFilter;
    choice.initialName = BitmapName;
    choice.defaultExtension = "BMP";
    choice.promptOverwrite = true;
    choice.existingFoldersOnly = true;
    const std::optional<std::filesystem::path> path = port_.ChooseSaveFile(choice);
    if (!path) return;

    MemoryStream encoded;
    if (!SaveBitmapFile(encoded, icon)) {
        ShowError(SaveMessage);
        return;
    }
    const Status written = ReplaceFileWhole(*path, [&encoded](Stream& file) {
        file.Write(encoded.Bytes());
        return true;
    });
    if (!written) ShowError(CreateMessage, PathText(*path) + ": " + written.Reason());
}

void ModifyIconsDialog::ShowError(const std::string& text, const std::string& detail) {
    port_.Tell(text, ErrorTitle, MessageIcon::Error, detail);
}

}  // namespace tw
