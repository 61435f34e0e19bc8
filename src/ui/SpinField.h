#pragma once

#include <cstdint>

#include <QAbstractSpinBox>
#include <QString>

#include "edit/NumberReading.h"

namespace tw {

// A number field with an up/down control at its right edge. The text is free: the person may
// type anything and the dialog judges it when it reads the field. Only the steps of the control
// itself (clicks, arrow keys) are bounded: they start from the number in the field (or from the
// last position when the text is no number), move by the step and stop at the range's ends, and
// write the position as a plain decimal number.
class SpinField : public QAbstractSpinBox {
    Q_OBJECT

public:
    explicit SpinField(NumberKind kind, QWidget* parent = nullptr);

    void SetSpinRange(std::int64_t minimum, std::int64_t maximum);
    void SetStep(std::int64_t step) { step_ = step; }
    std::int64_t SpinMinimum() const { return minimum_; }
    std::int64_t SpinMaximum() const { return maximum_; }

    QString Text() const;
    // Shows a text without treating it as typed; the text-changed signal still fires.
    void SetText(const QString& text);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& position) const override;
    void fixup(QString& input) const override;

signals:
    void TextChanged();

protected:
    StepEnabled stepEnabled() const override;

private:
    NumberKind kind_;
    std::int64_t minimum_ = 0;
    std::int64_t maximum_ = 100;
    std::int64_t step_ = 1;
    std::int64_t position_ = 0;
};

}  // namespace tw
