#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QDialog>

#include "model/CardItem.h"
#include "model/CardTexts.h"
#include "util/UserPort.h"

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace tw {

// Edits one chance card: its text in one language and its list of items. On OK it checks the
// items and hands the text and items to its Confirm, which stores them (and settles which text
// row the card holds); Cancel changes nothing.
class ChanceCardDialog : public QDialog {
    Q_OBJECT

public:
    // Edits one item; none for Cancel. The dialog opens a CardItemDialog unless told otherwise.
    using ItemEditor = std::function<std::optional<CardItem>(const CardItem& item)>;
    // Stores the confirmed card: its items and its text in the dialog's language.
    using Confirm = std::function<CardTextPlacement(const std::vector<CardItem>& items, const std::string& text)>;

    // Object names: "text", "items", "add", "edit", "delete", "ok", "cancel".
    // The text is shown and stored in the code page of `languageSlot`; a character that the code
    // page cannot hold is refused as it is typed or pasted (the field keeps its previous text).
    ChanceCardDialog(std::uint16_t textRow, std::vector<CardItem> items, std::uint16_t languageSlot,
                     const CardTexts& cardTexts, Confirm confirm, UserPort& port, QWidget* parent = nullptr);

    std::uint16_t TextRow() const { return row_.textRow; }
    const std::vector<CardItem>& Items() const { return items_; }

    void SetItemEditor(ItemEditor editor) { itemEditor_ = std::move(editor); }

    // OK: checks the items, stores the text and closes; stays open while the items are wrong.
    void accept() override;

private:
    void BuildWidgets();
    void ConnectWidgets();
    void RefreshList();
    void UpdateButtons();
    void AddItem();
    void EditItem();
    void DeleteItem();
    std::optional<std::string> BytesOf(const QString& fieldText) const;
    void OnTextChanged();
    std::optional<CardItem> EditInItemDialog(const CardItem& item);

    CardTextRowState row_;
    std::vector<CardItem> items_;
    std::uint16_t languageSlot_;
    const CardTexts& cardTexts_;
    Confirm confirm_;
    UserPort& port_;
    ItemEditor itemEditor_;

    std::string storedText_;   // the text's bytes as the card texts held them
    QString storedFieldText_;  // what the field gave back of the stored text before any edit
    QString acceptedText_;     // the field's last text that the code page could hold
    std::string textBytes_;    // the bytes of acceptedText_
    int lastChangePosition_ = 0;
    bool revertingText_ = false;

    QPlainTextEdit* text_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QPushButton* editButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace tw
