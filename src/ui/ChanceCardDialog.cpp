#include "ui/ChanceCardDialog.h"

#include <algorithm>

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolTip>

#include "model/CardItemFields.h"
#include "ui/CardItemDialog.h"
#include "ui/CardItemText.h"
#include "ui/DialogUnits.h"
#include "ui/FieldCodec.h"
#include "ui/LineBreaks.h"
#include "ui/TextCodec.h"

namespace tw {

namespace {

const char* const NoFreeRowMessage =
    "The card's text could not be stored: all chance card text rows from 1 to 256 are in use.\n\n"
    "The card keeps its items but has no text.";

int SelectedRow(const QListWidget& list) {
    const QModelIndexList selected = list.selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

}  // namespace

ChanceCardDialog::ChanceCardDialog(std::uint16_t textRow, std::vector<CardItem> items, std::uint16_t languageSlot,
                                   const CardTexts& cardTexts, Confirm confirm, UserPort& port, QWidget* parent)
    : QDialog(parent),
      row_(OpeningTextRow(cardTexts, textRow, !items.empty())),
      items_(std::move(items)),
      languageSlot_(languageSlot),
      cardTexts_(cardTexts),
      confirm_(std::move(confirm)),
      port_(port) {
    BuildWidgets();
    if (row_.textRow != 0) storedText_ = cardTexts_.Get(row_.textRow, languageSlot_).value_or(std::string());
    text_->setPlainText(ToFieldLineBreaks(TextCodec::Decode(storedText_, languageSlot_)));
    // Taken from the field itself, which may hand back some characters differently.
    storedFieldText_ = text_->toPlainText();
    acceptedText_ = storedFieldText_;
    textBytes_ = storedText_;
    RefreshList();
    ConnectWidgets();
}

void ChanceCardDialog::BuildWidgets() {
    setWindowTitle(QStringLiteral("Chance cards..."));
    setModal(true);
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.Size(234, 217));

    auto* group = new QGroupBox(QStringLiteral("Items"), this);
    group->setGeometry(units.Rect(7, 57, 220, 131));

    const auto addButton = [&](const char* text, const char* name, int x, int y) {
        auto* button = new QPushButton(QString::fromLatin1(text), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(units.Rect(x, y, 50, 14));
        return button;
    };
    okButton_ = addButton("OK", "ok", 117, 196);
    okButton_->setDefault(true);
    cancelButton_ = addButton("Cancel", "cancel", 177, 196);

    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("text"));
    text_->setGeometry(units.Rect(61, 7, 165, 45));
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setTabChangesFocus(true);
    auto* label = new QLabel(QStringLiteral("Text displayed:"), this);
    label->setGeometry(units.Rect(7, 10, 48, 8));
    label->setBuddy(text_);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("items"));
    list_->setGeometry(units.Rect(18, 72, 197, 83));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSortingEnabled(false);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    addButton_ = addButton("&Add", "add", 31, 163);
    editButton_ = addButton("&Edit", "edit", 92, 163);
    deleteButton_ = addButton("&Delete", "delete", 152, 163);

    const std::array<QWidget*, 7> tabOrder = {okButton_, cancelButton_, text_,        list_,
                                              addButton_, editButton_,  deleteButton_};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void ChanceCardDialog::ConnectWidgets() {
    connect(text_->document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int) { lastChangePosition_ = position; });
    connect(text_, &QPlainTextEdit::textChanged, this, &ChanceCardDialog::OnTextChanged);
    connect(list_, &QListWidget::itemSelectionChanged, this, &ChanceCardDialog::UpdateButtons);
    connect(list_, &QListWidget::itemDoubleClicked, this, &ChanceCardDialog::EditItem);
    connect(addButton_, &QPushButton::clicked, this, &ChanceCardDialog::AddItem);
    connect(editButton_, &QPushButton::clicked, this, &ChanceCardDialog::EditItem);
    connect(deleteButton_, &QPushButton::clicked, this, &ChanceCardDialog::DeleteItem);
    connect(okButton_, &QPushButton::clicked, this, &ChanceCardDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &ChanceCardDialog::reject);
}

// Rebuilds the rows and keeps the selection where it was, or on the last row when that row is
// gone. The text field is left as the person typed it.
void ChanceCardDialog::RefreshList() {
    const int remembered = std::max(SelectedRow(*list_), 0);
    list_->clear();
    for (const CardItem& item : items_) list_->addItem(QString::fromStdString(CardItemRowText(item)));
    const int count = list_->count();
    if (count > 0) list_->setCurrentRow(std::min(remembered, count - 1));
    UpdateButtons();
}

void ChanceCardDialog::UpdateButtons() {
    const bool selected = SelectedRow(*list_) >= 0;
    editButton_->setEnabled(selected);
    deleteButton_->setEnabled(selected);
}

void ChanceCardDialog::AddItem() {
    items_.push_back(CardItem{CardItemKind::Budget, 0, 1000});
    RefreshList();
    list_->setCurrentRow(list_->count() - 1);
    EditItem();
}

void ChanceCardDialog::EditItem() {
    const int row = SelectedRow(*list_);
    if (row < 0 || static_cast<std::size_t>(row) >= items_.size()) return;
    const std::optional<CardItem> edited =
        itemEditor_ ? itemEditor_(items_[static_cast<std::size_t>(row)]) : EditInItemDialog(items_[static_cast<std::size_t>(row)]);
    if (!edited) return;
    items_[static_cast<std::size_t>(row)] = *edited;
    RefreshList();
}

void ChanceCardDialog::DeleteItem() {
    const int row = SelectedRow(*list_);
    if (row < 0 || static_cast<std::size_t>(row) >= items_.size()) return;
    items_.erase(items_.begin() + row);
    RefreshList();
}

std::optional<CardItem> ChanceCardDialog::EditInItemDialog(const CardItem& item) {
    CardItemDialog dialog(item, port_, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Item();
}

// A text that was not touched goes back byte for byte, whatever the code page makes of it. None
// when the code page cannot hold the text.
std::optional<std::string> ChanceCardDialog::BytesOf(const QString& fieldText) const {
    if (fieldText == storedFieldText_) return storedText_;
    return TextCodec::Encode(ToStoredLineBreaks(fieldText, storedText_), languageSlot_);
}

// Every edit must leave a text that the language's code page can hold; anything else would be
// stored as something other than what the person sees. What was typed or pasted goes in as far
// as the code page holds it, and a tooltip names what was left out; an edit of which nothing can
// be held is taken back. Either way the field gets its new text with the cursor after the edit,
// and the undo history goes, since undoing would only bring the text that cannot be held again.
void ChanceCardDialog::OnTextChanged() {
    if (revertingText_) return;
    const QString text = text_->toPlainText();
    if (text == acceptedText_) return;
    if (const std::optional<std::string> bytes = BytesOf(text)) {
        acceptedText_ = text;
        textBytes_ = *bytes;
        return;
    }
    const FieldCodec codec{languageSlot_, false, true};
    const std::optional<FieldCodec::Fitted> fitted = codec.Fit(acceptedText_, text, storedText_);
    int position = std::clamp(lastChangePosition_, 0, static_cast<int>(acceptedText_.size()));
    if (fitted) {
        acceptedText_ = fitted->text;
        textBytes_ = fitted->bytes;
        position = fitted->cursor;
        QToolTip::showText(text_->mapToGlobal(QPoint(0, text_->height())),
                           FieldCodec::LeftOutNotice(fitted->leftOut, codec.TextsName()), text_);
    }
    revertingText_ = true;
    QTextCursor cursor(text_->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(acceptedText_);
    cursor.setPosition(position);
    text_->setTextCursor(cursor);
    text_->document()->clearUndoRedoStacks();
    revertingText_ = false;
}

void ChanceCardDialog::accept() {
    if (const std::optional<std::string> problem = CardItemsProblem(items_)) {
        port_.Tell(*problem, "Error", MessageIcon::Warning);
        return;
    }
    const CardTextPlacement placement = confirm_ ? confirm_(items_, textBytes_) : CardTextPlacement{};
    row_ = CardTextRowState{placement.textRow, false};
    if (placement.result == CardTextResult::NoFreeRow) port_.Tell(NoFreeRowMessage, "Warning", MessageIcon::Warning);
    QDialog::accept();
}

}  // namespace tw
