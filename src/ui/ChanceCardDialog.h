#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QDialog>

#include "model/CardItem.h"
#include "ui/CardTextRows.h"
#include "ui/CardTextStore.h"
#include "ui/TextConversion.h"
#include "util/UserPort.h"

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace tw {

// Edits one chance card: its text in one language and its list of items. On OK it writes the
// text into the card texts (and settles which text row the card holds); the caller then takes
// `TextRow()` and `Items()` into the card. Cancel changes nothing.
class ChanceCardDialog : public QDialog {
    Q_OBJECT

public:
    // Edits one item; none for Cancel. The dialog opens a CardItemDialog unless told otherwise.
    using ItemEditor = std::function<std::optional<CardItem>(const CardItem& item)>;

    // Object names: "text", "items", "add", "edit", "delete", "ok", "cancel".
    // The text is converted with the code page of `languageSlot`.
    ChanceCardDialog(std::uint16_t textRow, std::vector<CardItem> items, std::uint16_t languageSlot,
                     CardTextStore& cardTexts, UserPort& port, QWidget* parent = nullptr);
    ChanceCardDialog(std::uint16_t textRow, std::vector<CardItem> items, std::uint16_t languageSlot,
                     CardTextStore& cardTexts, TextConversion conversion, UserPort& port, QWidget* parent = nullptr);

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
    std::string TextBytes() const;
    std::optional<CardItem> EditInItemDialog(const CardItem& item);

    CardTextRowState row_;
    std::vector<CardItem> items_;
    std::uint16_t languageSlot_;
    CardTextStore& cardTexts_;
    TextConversion conversion_;
    UserPort& port_;
    ItemEditor itemEditor_;

    std::string storedText_;  // the text's bytes as the card texts held them
    bool textEdited_ = false;

    QPlainTextEdit* text_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QPushButton* editButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace tw
