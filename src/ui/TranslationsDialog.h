#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include <QDialog>

class QComboBox;
class QPushButton;
class QTableView;

namespace tw {

class EditSession;
class TranslationsModel;
class UserPort;

// Career > "Translations...": every text of one career in every language slot, edited in place,
// beside the main window. A cell whose code page cannot hold what was typed keeps its text and
// the person is told which characters; "Copy to All Languages" copies the current cell's text
// into the other languages. Each change is one step of the session's history.
class TranslationsDialog : public QDialog {
    Q_OBJECT

public:
    TranslationsDialog(EditSession& session, std::uint32_t career, UserPort& port, QWidget* parent = nullptr);

    // Retakes everything from the session (after an undo, a redo, a load or an edit elsewhere);
    // closes the window when its career is gone.
    void Refresh();
    // Copies the current cell's text from its language to every other language.
    void CopyCurrentToAllLanguages();

    QTableView* Table() const { return table_; }
    TranslationsModel* Model() const { return model_; }
    QComboBox* Filter() const { return filter_; }
    QPushButton* CopyButton() const { return copyButton_; }

signals:
    // The dialog changed the session.
    void Edited();

private:
    void CreateWidgets();
    void ConnectWidgets();
    // Stores a typed cell; false, after the notice, when its code page cannot hold it.
    bool EditCell(std::size_t row, std::uint16_t slot, const QString& text);
    // The language whose missing texts the filter shows; none for all texts.
    std::optional<std::uint16_t> FilterSlot() const;
    void UpdateButtons();

    EditSession& session_;
    const std::uint32_t career_;
    // The career's number when the window opened: another career at its index is not its own.
    std::uint16_t careerId_ = 0;
    UserPort& port_;

    TranslationsModel* model_ = nullptr;
    QComboBox* filter_ = nullptr;
    QTableView* table_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

}  // namespace tw
