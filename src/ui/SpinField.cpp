#include "ui/SpinField.h"

#include <algorithm>

#include <QLineEdit>

namespace tw {

SpinField::SpinField(NumberKind kind, QWidget* parent) : QAbstractSpinBox(parent), kind_(kind) {
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setAccelerated(false);
    setKeyboardTracking(true);
    connect(lineEdit(), &QLineEdit::textChanged, this, &SpinField::TextChanged);
}

void SpinField::SetSpinRange(std::int64_t minimum, std::int64_t maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    position_ = std::clamp(position_, minimum_, maximum_);
}

QString SpinField::Text() const { return lineEdit()->text(); }

void SpinField::SetText(const QString& text) { lineEdit()->setText(text); }

void SpinField::stepBy(int steps) {
    // The control starts from what the field shows when that is a number.
    const NumberReading reading = ReadNumber(Text().toStdString(), kind_, std::nullopt);
    if (reading.value) position_ = *reading.value;
    position_ = std::clamp(position_, minimum_, maximum_);
    position_ = std::clamp(position_ + static_cast<std::int64_t>(steps) * step_, minimum_, maximum_);
    SetText(QString::number(position_));
    lineEdit()->selectAll();
}

QValidator::State SpinField::validate(QString&, int&) const { return QValidator::Acceptable; }

void SpinField::fixup(QString&) const {}

QAbstractSpinBox::StepEnabled SpinField::stepEnabled() const {
    if (isReadOnly()) return StepNone;
    return StepUpEnabled | StepDownEnabled;
}

}  // namespace tw
