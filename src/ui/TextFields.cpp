#include "ui/TextFields.h"

#include <algorithm>
#include <utility>

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "model/Languages.h"
#include "ui/FieldCodec.h"
#include "ui/MainWindow.h"
#include "ui/QuietScope.h"

namespace tw {
namespace {

struct FieldPlace {
    const char* label;
    int x, y, width, height;
    bool multiLine;
};
constexpr FieldPlace Places[EditorView::FieldCount] = {
    // Mnemonics distinct from the menus' (F, E, C, L, H) and the buttons' (S, J, R).
    {"&Internal career name:", 240, 26, 142, 12, false},
    {"Career &name:", 240, 40, 142, 12, false},
    {"&Male offer dialog text:", 240, 55, 142, 32, true},
    {"Female &offer dialog text:", 240, 90, 142, 32, true},
    {"Male jo&b name:", 241, 188, 142, 12, false},
    {"Fem&ale job name:", 241, 202, 142, 12, false},
    {"Job &description:", 241, 216, 142, 46, true},
};

// The field's standard context menu with the window's Undo and Redo in place of the field's
// own: the typing is already a step of the window's history, and a second history inside the
// field would take the text back behind the window's back. An editable field's menu begins with
// its Undo, its Redo and a separator.
void ShowContextMenu(QWidget& field, QMenu* menu, const QPoint& where) {
    const QList<QAction*> entries = menu->actions();
    const auto* window = qobject_cast<const MainWindow*>(field.window());
    if (window != nullptr && entries.size() >= 3 && entries[2]->isSeparator()) {
        menu->insertActions(entries[0], {window->UndoAction(), window->RedoAction()});
        menu->removeAction(entries[0]);
        menu->removeAction(entries[1]);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(where);
}

class HistoryLineEdit final : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override {
        ShowContextMenu(*this, createStandardContextMenu(), event->globalPos());
    }
};

class HistoryTextEdit final : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override {
        ShowContextMenu(*this, createStandardContextMenu(event->pos()), event->globalPos());
    }
};

}  // namespace

TextFields::TextFields(QWidget* client, const DialogUnits& units, LeftOutTeller tellLeftOut)
    : client_(client), units_(units), tellLeftOut_(std::move(tellLeftOut)) {
    // Each label stands left of its field, inside the frame; the labels of the taller fields
    // may take two lines.
    for (int field = 0; field < EditorView::FieldCount; ++field) {
        const FieldPlace& place = Places[field];
        auto* label = new QLabel(QString::fromLatin1(place.label), client);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(place.multiLine);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(units.Rect(156, place.y + 2, place.x - 156 - 3, place.multiLine ? 18 : 9));
        labels_[static_cast<std::size_t>(field)] = label;
    }
}

QWidget* TextFields::Make(Field field) {
    const FieldPlace& place = Places[field];
    QWidget* widget = nullptr;
    if (place.multiLine) {
        auto* edit = new HistoryTextEdit(client_);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit->setTabChangesFocus(true);
        // The window's history undoes typing; a second one inside the field would disagree.
        edit->setUndoRedoEnabled(false);
        widget = edit;
    } else {
        widget = new HistoryLineEdit(client_);
    }
    widget->setGeometry(units_.Rect(place.x, place.y, place.width, place.height));
    labels_[field]->setBuddy(widget);
    fields_[field] = widget;
    return widget;
}

bool TextFields::Holds(const QObject* object) const {
    return std::find(fields_.begin(), fields_.end(), object) != fields_.end();
}

QString TextFields::Text(Field field) const {
    if (const auto* line = qobject_cast<const QLineEdit*>(fields_[field])) return line->text();
    if (const auto* text = qobject_cast<const QPlainTextEdit*>(fields_[field])) return text->toPlainText();
    return {};
}

bool TextFields::IsMultiLine(Field field) const { return qobject_cast<QPlainTextEdit*>(fields_[field]) != nullptr; }

void TextFields::Show(EditorView& view) {
    QuietScope quiet(changing_);
    view.MarkShown();
    for (int index = 0; index < EditorView::FieldCount; ++index) {
        const auto field = static_cast<Field>(index);
        const FieldCodec codec{view.Language(), field == EditorView::InternalCareerName, IsMultiLine(field)};
        const QString text = codec.Show(view.Bytes(field));
        if (auto* line = qobject_cast<QLineEdit*>(fields_[field])) {
            if (line->text() != text) line->setText(text);
        } else if (auto* edit = qobject_cast<QPlainTextEdit*>(fields_[field])) {
            if (edit->toPlainText() != text) edit->setPlainText(text);
        }
        // What the control made of the text, which is what reading it back will find.
        shown_[field] = Text(field);
    }
    UpdatePlaceholders(view);
}

bool TextFields::Read(EditorView& view) {
    for (int index = 0; index < EditorView::FieldCount; ++index) {
        const auto field = static_cast<Field>(index);
        const QString text = Text(field);
        // A field the person has not touched keeps its bytes as they are.
        if (text == shown_[field]) continue;
        // The fields hold what was shown in the language of that moment.
        const FieldCodec codec{view.ShownLanguage(), field == EditorView::InternalCareerName, IsMultiLine(field)};
        // What was typed or pasted goes in as far as the code page holds it; the status line
        // names what was left out.
        if (const std::optional<FieldCodec::Fitted> fitted = codec.Fit(shown_[field], text, view.Bytes(field))) {
            if (!fitted->leftOut.isEmpty()) {
                Put(field, fitted->text, fitted->cursor);
                if (tellLeftOut_) tellLeftOut_(FieldCodec::LeftOutNotice(fitted->leftOut, codec.TextsName()));
            }
            view.SetBytes(field, fitted->bytes);
            shown_[field] = Text(field);
            continue;
        }
        // A text that its code page cannot hold at all is refused: the field gets its stored
        // text back.
        const int cursor = [this, field] {
            if (const auto* line = qobject_cast<const QLineEdit*>(fields_[field])) return line->cursorPosition();
            return qobject_cast<const QPlainTextEdit*>(fields_[field])->textCursor().position();
        }();
        Put(field, codec.Show(view.Bytes(field)), cursor - 1);
        return false;
    }
    return true;
}

void TextFields::Enable(const EditorView& view) {
    for (int index = 0; index < EditorView::FieldCount; ++index)
        fields_[static_cast<std::size_t>(index)]->setEnabled(view.FieldEnabled(static_cast<Field>(index)));
    UpdatePlaceholders(view);
}

void TextFields::Put(Field field, const QString& text, int cursor) {
    QuietScope quiet(changing_);
    const int position = std::clamp(cursor, 0, static_cast<int>(text.size()));
    if (auto* line = qobject_cast<QLineEdit*>(fields_[field])) {
        line->setText(text);
        line->setCursorPosition(position);
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(fields_[field])) {
        edit->setPlainText(text);
        QTextCursor moved = edit->textCursor();
        moved.setPosition(position);
        edit->setTextCursor(moved);
    }
    shown_[field] = Text(field);
}

void TextFields::UpdatePlaceholders(const EditorView& view) {
    const QString hint = QStringLiteral("No %1 text").arg(QString::fromLatin1(LanguageNames[view.ShownLanguage()]));
    for (int index = 0; index < EditorView::FieldCount; ++index) {
        const auto field = static_cast<Field>(index);
        if (!EditorView::TextOf(field)) continue;
        // A field that cannot be used shows no hint: it has nothing to be empty of.
        const QString text = fields_[field]->isEnabled() ? hint : QString();
        if (auto* line = qobject_cast<QLineEdit*>(fields_[field]))
            line->setPlaceholderText(text);
        else if (auto* edit = qobject_cast<QPlainTextEdit*>(fields_[field]))
            edit->setPlaceholderText(text);
    }
}

}  // namespace tw
