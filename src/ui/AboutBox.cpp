#include "ui/AboutBox.h"

#include <QLabel>
#include <QPushButton>

#include "ui/DialogUnits.h"
#include "ui/EditorImages.h"

namespace tw {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    CreateWidgets();
    ConnectWidgets();
}

void AboutBox::CreateWidgets() {
    setWindowTitle(QStringLiteral("About Trackwright 2.1"));
    setWindowIcon(ApplicationIcon());
    setModal(true);
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());

    icon_ = new QLabel(this);
    const QRect iconRect = units.Rect(13, 13, 20, 20);
    icon_->setGeometry(iconRect);
    icon_->setPixmap(ApplicationIcon().pixmap(std::min(iconRect.width(), iconRect.height())));
    icon_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Plain text, so that an ampersand shows as it is.
    const auto line = [this, &units](const QString& text, int y, int width) {
        auto* label = new QLabel(text, this);
        label->setTextFormat(Qt::PlainText);
        label->setGeometry(units.Rect(40, y, width, 8));
        return label;
    };
    versionLine_ = line(QStringLiteral("Trackwright Version 2.1"), 14, 119);
    creditsLine_ = line(QString::fromUtf8("\u00A9 2026 The Trackwright developers"), 25, 119);
    // No web address: the program has none of its own to name. The licence is the LICENSE file's.
    licenceLine_ = line(QStringLiteral("Released under the MIT License"), 36, 116);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setGeometry(units.Rect(168, 18, 50, 14));
    okButton_->setDefault(true);
    okButton_->setAutoDefault(true);

    setFixedSize(units.Size(235, 55));
}

void AboutBox::ConnectWidgets() { connect(okButton_, &QPushButton::clicked, this, &AboutBox::accept); }

}  // namespace tw
