#pragma once

#include <array>
#include <functional>

#include <QString>

#include "edit/EditorView.h"
#include "ui/DialogUnits.h"

class QLabel;
class QObject;
class QWidget;

namespace tw {

// The main window's seven text fields and their labels. They show the view's bytes through each
// field's code page and hand back what the person typed or pasted as bytes of that code page:
// as far as the code page holds it, naming what it left out; a text it cannot hold at all is
// refused and the field gets its stored text back.
class TextFields {
public:
    using Field = EditorView::Field;
    // Says which characters typing left out, in words for the status line.
    using LeftOutTeller = std::function<void(const QString& notice)>;

    // Places the labels on `client`; the fields follow with Make, in tab order.
    TextFields(QWidget* client, const DialogUnits& units, LeftOutTeller tellLeftOut);

    QWidget* Make(Field field);
    QWidget* Widget(Field field) const { return fields_[field]; }
    bool Holds(const QObject* object) const;
    // The text a field shows.
    QString Text(Field field) const;
    // Whether the fields are being changed by the program: their change notices are then not
    // the person's.
    bool Changing() const { return changing_ > 0; }

    // Fills every field with the view's bytes in the view's language, which the view then counts
    // as the one shown.
    void Show(EditorView& view);
    // Takes what the person changed in the fields into the view's bytes, read in the language
    // they show. False, with the field given its stored text back, when a field holds a text that
    // its code page cannot store at all.
    bool Read(EditorView& view);
    // Each field usable as the view says; an empty usable language field shows a grey hint
    // naming the language.
    void Enable(const EditorView& view);

private:
    bool IsMultiLine(Field field) const;
    // A field's text and cursor set by the program.
    void Put(Field field, const QString& text, int cursor);
    void UpdatePlaceholders(const EditorView& view);

    QWidget* client_;
    DialogUnits units_;
    LeftOutTeller tellLeftOut_;
    std::array<QWidget*, EditorView::FieldCount> fields_{};
    std::array<QLabel*, EditorView::FieldCount> labels_{};
    // The text each field held after the program last filled it or took its text.
    std::array<QString, EditorView::FieldCount> shown_;
    int changing_ = 0;
};

}  // namespace tw
