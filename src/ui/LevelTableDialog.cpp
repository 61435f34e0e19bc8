#include "ui/LevelTableDialog.h"

#include <algorithm>
#include <string>

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include "edit/EditSession.h"
#include "edit/LevelTable.h"
#include "ui/LevelTableModel.h"
#include "ui/TextCodec.h"
#include "ui/SideWindows.h"
#include "util/UserPort.h"

namespace tw {
namespace {

// A car pool is picked from the list or typed, as a name or a number; the table reads it.
class CarPoolDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* box = new QComboBox(parent);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMaxVisibleItems(static_cast<int>(CarPoolNames.size()));
        for (const char* name : CarPoolNames) box->addItem(QString::fromLatin1(name));
        return box;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* box = static_cast<QComboBox*>(editor);
        const QString shown = index.data(Qt::EditRole).toString();
        const int listed = box->findText(shown);
        if (listed >= 0)
            box->setCurrentIndex(listed);
        else
            box->setEditText(shown);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
    }
};

}  // namespace

LevelTableDialog::LevelTableDialog(EditSession& session, std::uint32_t career, UserPort& port, QWidget* parent)
    : QDialog(parent), session_(session), career_(career), port_(port) {
    BuildWidgets();
    ConnectWidgets();
    ShowTitle();
    ShareWindowKeys(parent, *this);
}

void LevelTableDialog::BuildWidgets() {
    setModal(false);
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    model_ = new LevelTableModel(session_, career_, this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("levels"));
    table_->setModel(model_);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setContextMenuPolicy(Qt::ActionsContextMenu);
    table_->setItemDelegateForColumn(static_cast<int>(LevelColumn::CarPool), new CarPoolDelegate(table_));

    copyAction_ = new QAction(QStringLiteral("Copy Levels"), table_);
    copyAction_->setShortcut(QKeySequence::Copy);
    pasteAction_ = new QAction(QStringLiteral("Paste Levels"), table_);
    pasteAction_->setShortcut(QKeySequence::Paste);
    for (QAction* action : {copyAction_, pasteAction_}) {
        // The table's own keys: an editor open in a cell keeps copy and paste of its text.
        action->setShortcutContext(Qt::WidgetShortcut);
        table_->addAction(action);
    }

    copyButton_ = new QPushButton(QStringLiteral("Copy Levels"), this);
    copyButton_->setObjectName(QStringLiteral("copyLevels"));
    pasteButton_ = new QPushButton(QStringLiteral("Paste Levels"), this);
    pasteButton_->setObjectName(QStringLiteral("pasteLevels"));
    closeButton_ = new QPushButton(QStringLiteral("Close"), this);
    closeButton_->setObjectName(QStringLiteral("close"));
    for (QPushButton* button : {copyButton_, pasteButton_, closeButton_}) button->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copyButton_);
    buttons->addWidget(pasteButton_);
    buttons->addStretch();
    buttons->addWidget(closeButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addLayout(buttons);
    resize(960, 420);
}

void LevelTableDialog::ConnectWidgets() {
    // Told once the cell's editor has closed, so that the message box does not take the focus
    // from an editor that is still committing.
    connect(model_, &LevelTableModel::Refused, this, &LevelTableDialog::Tell, Qt::QueuedConnection);
    connect(model_, &LevelTableModel::Edited, this, &LevelTableDialog::Edited);
    connect(copyAction_, &QAction::triggered, this, &LevelTableDialog::CopySelectedLevels);
    connect(pasteAction_, &QAction::triggered, this, &LevelTableDialog::PasteLevels);
    connect(copyButton_, &QPushButton::clicked, this, &LevelTableDialog::CopySelectedLevels);
    connect(pasteButton_, &QPushButton::clicked, this, &LevelTableDialog::PasteLevels);
    connect(closeButton_, &QPushButton::clicked, this, &LevelTableDialog::close);
}

void LevelTableDialog::ShowTitle() {
    const Career* career = session_.CareerAt(career_);
    const QString name = career != nullptr ? TextCodec::DecodeInternal(career->track.name) : QString();
    setWindowTitle(QStringLiteral("Level Table - %1").arg(name));
}

void LevelTableDialog::Refresh() {
    if (session_.CareerAt(career_) == nullptr) {
        close();
        return;
    }
    ShowTitle();
    model_->Refresh();
}

std::vector<std::size_t> LevelTableDialog::SelectedLevels() const {
    std::vector<std::size_t> levels;
    for (const QModelIndex& index : table_->selectionModel()->selectedIndexes())
        levels.push_back(static_cast<std::size_t>(index.row()));
    std::sort(levels.begin(), levels.end());
    levels.erase(std::unique(levels.begin(), levels.end()), levels.end());
    return levels;
}

void LevelTableDialog::CopySelectedLevels() {
    const Career* career = session_.CareerAt(career_);
    const std::vector<std::size_t> levels = SelectedLevels();
    if (career == nullptr || levels.empty()) return;
    QGuiApplication::clipboard()->setText(QString::fromStdString(CopyLevels(career->track, levels)));
}

void LevelTableDialog::PasteLevels() {
    const Career* career = session_.CareerAt(career_);
    if (career == nullptr) return;
    const std::vector<std::size_t> selected = SelectedLevels();
    const int current = table_->currentIndex().row();
    const std::size_t first = !selected.empty() ? selected.front() : static_cast<std::size_t>(std::max(current, 0));
    const LevelPaste paste =
        ReadPastedLevels(career->track, first, QGuiApplication::clipboard()->text().toStdString());
    if (!paste.message.empty()) {
        Tell(QString::fromStdString(paste.message));
        return;
    }
    if (!session_.SetJobLevels(career_, static_cast<std::uint32_t>(first), paste.levels)) return;
    model_->Refresh();
    const int firstRow = static_cast<int>(first);
    const int lastRow = firstRow + static_cast<int>(paste.levels.size()) - 1;
    table_->selectionModel()->select(
        QItemSelection(model_->index(firstRow, 0), model_->index(lastRow, model_->columnCount() - 1)),
        QItemSelectionModel::ClearAndSelect);
    emit Edited();
}

void LevelTableDialog::Tell(const QString& message) {
    port_.Tell(message.toStdString(), port_.ApplicationName(), MessageIcon::Warning);
}

}  // namespace tw
