#include "ui/ReviewChangesDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "edit/EditSession.h"
#include "icons/IconStrips.h"
#include "model/Languages.h"
#include "ui/BitmapImage.h"
#include "ui/CardItemText.h"
#include "ui/TextCodec.h"
#include "ui/SideWindows.h"

namespace tw {
namespace {

QString CareerText(const EditSession& session, const EditPlace& place) {
    if (!place.career) return {};
    const Career* career = session.CareerAt(*place.career);
    if (career == nullptr) return QStringLiteral("%1").arg(*place.career);
    return QStringLiteral("#%1 %2").arg(career->id).arg(TextCodec::DecodeInternal(career->track.name));
}

QString LanguageText(const EditPlace& place) {
    if (!place.language) return {};
    if (*place.language < LanguageNames.size()) return QString::fromLatin1(LanguageNames[*place.language]);
    return QStringLiteral("Slot %1").arg(*place.language);
}

QString ItemsText(const std::vector<CardItem>& items) {
    if (items.empty()) return QStringLiteral("(no items)");
    QStringList rows;
    for (const CardItem& item : items) rows << QString::fromStdString(CardItemRowText(item));
    return rows.join(QLatin1Char('\n'));
}

// A before or after cell: its text, or its picture for an icon.
void FillCell(QTreeWidgetItem& row, int column, const ModelChange& change, bool after) {
    switch (change.kind) {
        case ModelChange::Kind::Icon: {
            const QImage image = ToQImage(after ? change.iconAfter : change.iconBefore);
            if (image.isNull())
                row.setText(column, QStringLiteral("(none)"));
            else
                row.setData(column, Qt::DecorationRole, QPixmap::fromImage(image));
            return;
        }
        case ModelChange::Kind::CardItems:
            row.setText(column, ItemsText(after ? change.itemsAfter : change.itemsBefore));
            break;
        default:
            row.setText(column, QString::fromStdString(after ? change.after : change.before));
            break;
    }
    // Long texts are cut off in the column; the tooltip has them whole.
    row.setToolTip(column, row.text(column));
}

}  // namespace

ReviewChangesDialog::ReviewChangesDialog(const EditSession& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    CreateWidgets();
    ConnectWidgets();
    ShareWindowKeys(parent, *this);
}

void ReviewChangesDialog::CreateWidgets() {
    setWindowTitle(QStringLiteral("Review Changes"));
    setModal(false);

    summary_ = new QLabel(this);
    summary_->setTextFormat(Qt::PlainText);
    summary_->setWordWrap(true);

    list_ = new QTreeWidget(this);
    list_->setColumnCount(ColumnCount);
    list_->setHeaderLabels({QStringLiteral("Career"), QStringLiteral("Level"), QStringLiteral("Language"),
                            QStringLiteral("Field"), QStringLiteral("Before"), QStringLiteral("After")});
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setUniformRowHeights(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setAlternatingRowColors(true);
    list_->setSortingEnabled(false);
    list_->setIconSize(QSize(IconStrips::PopupIconHeight * 4 / 3, IconStrips::PopupIconHeight));
    const int widths[ColumnCount] = {150, 45, 90, 140, 200, 200};
    for (int column = 0; column < ColumnCount; ++column) list_->setColumnWidth(column, widths[column]);

    auto* buttons = new QDialogButtonBox(this);
    goToButton_ = buttons->addButton(QStringLiteral("&Go To"), QDialogButtonBox::ActionRole);
    closeButton_ = buttons->addButton(QDialogButtonBox::Close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    resize(880, 420);
}

void ReviewChangesDialog::ConnectWidgets() {
    connect(goToButton_, &QPushButton::clicked, this, &ReviewChangesDialog::GoToSelected);
    connect(closeButton_, &QPushButton::clicked, this, &ReviewChangesDialog::close);
    connect(list_, &QTreeWidget::itemActivated, this, &ReviewChangesDialog::GoToSelected);
    connect(list_, &QTreeWidget::itemSelectionChanged, this,
            [this] { goToButton_->setEnabled(!list_->selectedItems().isEmpty()); });
}

void ReviewChangesDialog::Refresh() {
    const int chosen = list_->currentItem() != nullptr ? list_->indexOfTopLevelItem(list_->currentItem()) : -1;
    changes_ = session_.ReviewChanges();
    list_->clear();
    for (const ModelChange& change : changes_) {
        auto* row = new QTreeWidgetItem(list_);
        row->setText(CareerColumn, CareerText(session_, change.place));
        if (change.place.level) row->setText(LevelColumn, QStringLiteral("#%1").arg(*change.place.level));
        row->setText(LanguageColumn, LanguageText(change.place));
        row->setText(FieldColumn, QString::fromStdString(change.field));
        if (change.kind != ModelChange::Kind::CareerImported && change.kind != ModelChange::Kind::CareersRestored) {
            FillCell(*row, BeforeColumn, change, false);
            FillCell(*row, AfterColumn, change, true);
        }
    }
    if (chosen >= 0 && chosen < list_->topLevelItemCount()) list_->setCurrentItem(list_->topLevelItem(chosen));
    goToButton_->setEnabled(!list_->selectedItems().isEmpty());
    if (changes_.empty()) {
        summary_->setText(QStringLiteral("Nothing differs from the game's files as last loaded or saved."));
    } else {
        const QString count = changes_.size() == 1 ? QStringLiteral("One difference")
                                                   : QStringLiteral("%1 differences").arg(changes_.size());
        summary_->setText(count + QStringLiteral(" from the game's files as last loaded or saved, which a save "
                                                 "writes. Double-click one to show it in the main window."));
    }
}

void ReviewChangesDialog::GoToSelected() {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty() || !goTo_) return;
    const int row = list_->indexOfTopLevelItem(selected.front());
    if (row >= 0 && static_cast<std::size_t>(row) < changes_.size()) goTo_(changes_[static_cast<std::size_t>(row)].place);
}

}  // namespace tw
