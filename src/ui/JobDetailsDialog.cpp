#include "ui/JobDetailsDialog.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>
#include <QValidator>

#include "model/JobLevelRules.h"
#include "ui/DialogUnits.h"
#include "ui/FieldCodec.h"
#include "ui/SpinField.h"

namespace tw {

namespace {

struct TextControl {
    JobDetailsDialog::Field field;
    const char* label;
    const char* objectName;
    int y;
};

// The five internal texts, in tab order; their field number is also their text number.
constexpr std::array<TextControl, 5> TextControls = {{
    {JobDetailsDialog::InternalName, "Internal name:", "internalName", 7},
    {JobDetailsDialog::MaleSkin, "Male skin:", "maleSkin", 20},
    {JobDetailsDialog::FemaleSkin, "Female skin:", "femaleSkin", 33},
    {JobDetailsDialog::Texture, "Texture:", "texture", 46},
    {JobDetailsDialog::Accessory, "Accessory:", "accessory", 59},
}};

struct NumberControl {
    JobDetailsDialog::Field field;
    const char* label;
    const char* objectName;
    int x;
    int y;
    std::size_t valueIndex;
    NumberKind kind;
    std::int64_t step;
};

// The salary's spin goes no further than this; typed, the salary may be anything not negative.
constexpr std::int64_t SalarySpinMaximum = 32767;
constexpr std::size_t SalaryValue = JobLevel::Salary;

// The number fields in tab order.
constexpr std::array<NumberControl, 17> NumberControls = {{
    {JobDetailsDialog::Friends, "Friends", "friends", 63, 90, 0, NumberKind::Unsigned, 1},
    {JobDetailsDialog::Cooking, "Cooking", "cooking", 63, 103, 1, NumberKind::Signed, 100},
    {JobDetailsDialog::Mechanical, "Mechanical", "mechanical", 63, 116, 2, NumberKind::Signed, 100},
    {JobDetailsDialog::Charisma, "Charisma", "charisma", 63, 130, 3, NumberKind::Signed, 100},
    {JobDetailsDialog::Body, "Body", "body", 63, 143, 4, NumberKind::Signed, 100},
    {JobDetailsDialog::Logic, "Logic", "logic", 63, 156, 5, NumberKind::Signed, 100},
    {JobDetailsDialog::Creativity, "Creativity", "creativity", 63, 169, 6, NumberKind::Signed, 100},
    {JobDetailsDialog::Hunger, "Hunger", "hunger", 191, 90, 10, NumberKind::SignedOrMinus, 1},
    {JobDetailsDialog::Comfort, "Comfort", "comfort", 191, 102, 11, NumberKind::SignedOrMinus, 1},
    {JobDetailsDialog::Hygiene, "Hygiene", "hygiene", 191, 116, 12, NumberKind::SignedOrMinus, 1},
    {JobDetailsDialog::Bladder, "Bladder", "bladder", 191, 129, 13, NumberKind::SignedOrMinus, 1},
    {JobDetailsDialog::Energy, "Energy", "energy", 191, 142, 14, NumberKind::SignedOrMinus, 1},
    {JobDetailsDialog::Fun, "Fun", "fun", 191, 155, 15, NumberKind::SignedOrMinus, 1},
    {JobDetailsDialog::Social, "Social", "social", 191, 169, 16, NumberKind::SignedOrMinus, 1},
    {JobDetailsDialog::Salary, "Salary", "salary", 63, 210, 17, NumberKind::Unsigned, 1},
    {JobDetailsDialog::Begintime, "Begintime", "begintime", 63, 224, 18, NumberKind::Signed, 1},
    {JobDetailsDialog::Endtime, "Endtime", "endtime", 63, 239, 19, NumberKind::Signed, 1},
}};

constexpr std::size_t CarPoolValue = JobLevel::CarPool;
// The car pools the list names, 0 to the largest the dialog accepts.
const int ListedCarPools = static_cast<int>(JobValueRange(CarPoolValue, {})->maximum) + 1;

// Fields are read in this fixed order; the first one that fails is the one reported.
constexpr std::array<JobDetailsDialog::Field, JobDetailsDialog::FieldCount> ReadingOrder = {
    JobDetailsDialog::Accessory, JobDetailsDialog::Begintime,   JobDetailsDialog::Bladder,
    JobDetailsDialog::Body,      JobDetailsDialog::CarPool,     JobDetailsDialog::Charisma,
    JobDetailsDialog::Comfort,   JobDetailsDialog::Cooking,     JobDetailsDialog::Creativity,
    JobDetailsDialog::Endtime,   JobDetailsDialog::Energy,      JobDetailsDialog::FemaleSkin,
    JobDetailsDialog::Fun,       JobDetailsDialog::Hunger,      JobDetailsDialog::Hygiene,
    JobDetailsDialog::InternalName, JobDetailsDialog::Logic,    JobDetailsDialog::MaleSkin,
    JobDetailsDialog::Mechanical, JobDetailsDialog::Salary,     JobDetailsDialog::Social,
    JobDetailsDialog::Friends,   JobDetailsDialog::Texture,
};

const NumberControl* FindNumberControl(JobDetailsDialog::Field field) {
    for (const auto& control : NumberControls)
        if (control.field == field) return &control;
    return nullptr;
}

bool IsTextField(JobDetailsDialog::Field field) { return field <= JobDetailsDialog::Accessory; }

// The job texts use the internal code page; a text nobody edits keeps its bytes.
constexpr FieldCodec InternalText{0, true, false};

// Lets into a text only what the internal code page can hold, as it is typed or pasted: the
// characters it cannot hold are left out, with a tooltip naming them, and the field never shows
// what would be stored as something else.
class InternalTextValidator : public QValidator {
public:
    InternalTextValidator(std::function<const std::string&()> previous, QLineEdit* edit)
        : QValidator(edit), previous_(std::move(previous)), edit_(edit) {}

    State validate(QString& input, int& position) const override {
        // The line edit asks with its new text already in place: what it held before is the
        // text last let through.
        const std::optional<FieldCodec::Fitted> fitted = InternalText.Fit(accepted_, input, previous_());
        if (!fitted) return Invalid;
        if (!fitted->leftOut.isEmpty()) {
            input = fitted->text;
            position = fitted->cursor;
            QToolTip::showText(edit_->mapToGlobal(QPoint(0, edit_->height())),
                               FieldCodec::LeftOutNotice(fitted->leftOut, QStringLiteral("job texts")), edit_);
        }
        accepted_ = input;
        return Acceptable;
    }

private:
    std::function<const std::string&()> previous_;
    QLineEdit* edit_;
    mutable QString accepted_;
};

}  // namespace

const char* JobDetailsDialog::FieldObjectName(Field field) {
    if (IsTextField(field)) return TextControls[field].objectName;
    if (const NumberControl* control = FindNumberControl(field)) return control->objectName;
    return "carPool";
}

// Hidden while the dialog is still whole: hiding takes the focus from a text field, whose
// validator then reads the working job. Left to QDialog's own destructor, that read would reach
// members already destroyed.
JobDetailsDialog::~JobDetailsDialog() { hide(); }

JobDetailsDialog::JobDetailsDialog(const JobLevel& job, const std::array<std::int32_t, 7>& previousRequirements,
                                   UserPort& port, QWidget* parent)
    : QDialog(parent), workingJob_(job), previousRequirements_(previousRequirements), port_(port) {
    initialized_ = true;
    BuildWidgets();

    for (const auto& control : TextControls) texts_[control.field] = InternalText.Show(job.texts[control.field]);
    for (const auto& control : NumberControls) {
        const std::int32_t value = job.values[control.valueIndex];
        numbers_[control.field] = control.kind == NumberKind::Unsigned ? static_cast<std::int64_t>(static_cast<std::uint32_t>(value))
                                                                 : static_cast<std::int64_t>(value);
    }
    // A car pool the list does not name (the expansions use 9 to 11) shows as its number, one
    // more item after the listed ones, and stays unless another is picked.
    const std::int32_t carPool = job.values[CarPoolValue];
    carPool_ = carPool;
    if (carPool < 0 || carPool >= ListedCarPools) {
        static_cast<QComboBox*>(widgets_[CarPool])->addItem(QString::number(carPool));
        carPool_ = ListedCarPools;
    }
    ShowFields();

    ConnectWidgets();
}

void JobDetailsDialog::BuildWidgets() {
    setWindowTitle(QStringLiteral("Job details..."));
    setModal(true);
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.Size(258, 284));

    // The frames come first so that the controls inside them stay on top.
    const auto addGroup = [&](const char* title, int x, int y, int width, int height) {
        auto* group = new QGroupBox(QString::fromLatin1(title), this);
        group->setGeometry(units.Rect(x, y, width, height));
    };
    addGroup("Study points and friends needed", 7, 76, 116, 115);
    addGroup("Mood changes per hour", 135, 76, 116, 115);
    addGroup("General information", 7, 199, 116, 78);

    for (const auto& control : TextControls) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(control.objectName));
        edit->setGeometry(units.Rect(63, control.y, 188, 12));
        const Field field = control.field;
        const auto previous = [this, field]() -> const std::string& { return workingJob_.texts[field]; };
        edit->setValidator(new InternalTextValidator(previous, edit));
        auto* label = new QLabel(QString::fromLatin1(control.label), this);
        label->setGeometry(units.Rect(7, control.y + 2, 54, 8));
        label->setBuddy(edit);
        widgets_[control.field] = edit;
    }

    for (const auto& control : NumberControls) {
        auto* field = new SpinField(control.kind, this);
        field->setObjectName(QString::fromLatin1(control.objectName));
        field->setGeometry(units.Rect(control.x, control.y, 40, 12));
        const ValueRange range = JobValueRange(control.valueIndex, previousRequirements_).value_or(ValueRange{});
        // The spin never writes a number that its own field would refuse.
        const std::int64_t minimum =
            control.kind == NumberKind::Unsigned ? std::max<std::int64_t>(range.minimum, 0) : range.minimum;
        field->SetSpinRange(minimum, control.valueIndex == SalaryValue ? SalarySpinMaximum : range.maximum);
        field->SetStep(control.step);
        auto* label = new QLabel(QString::fromLatin1(control.label), this);
        label->setGeometry(units.Rect(control.x - 49, control.y + 2, 47, 8));
        label->setBuddy(field);
        widgets_[control.field] = field;
    }

    auto* carPool = new QComboBox(this);
    carPool->setObjectName(QStringLiteral("carPool"));
    for (const char* name : CarPoolNames) carPool->addItem(QString::fromLatin1(name));
    carPool->setMaxVisibleItems(static_cast<int>(CarPoolNames.size()));
    const QRect carPoolRect = units.Rect(15, 255, 99, 12);
    carPool->setGeometry(carPoolRect.x(), carPoolRect.y(), carPoolRect.width(),
                         std::max(carPoolRect.height(), carPool->sizeHint().height()));
    widgets_[CarPool] = carPool;

    const auto addButton = [&](const char* text, const char* name, int y) {
        auto* button = new QPushButton(QString::fromLatin1(text), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(units.Rect(168, y, 50, 14));
        return button;
    };
    loadPreviousButton_ = addButton("Load previous", "loadPrevious", 210);
    okButton_ = addButton("OK", "ok", 228);
    cancelButton_ = addButton("Cancel", "cancel", 246);
    okButton_->setDefault(true);

    QWidget* previous = widgets_[0];
    for (std::size_t i = 1; i < widgets_.size(); ++i) {
        setTabOrder(previous, widgets_[i]);
        previous = widgets_[i];
    }
    setTabOrder(previous, loadPreviousButton_);
    setTabOrder(loadPreviousButton_, okButton_);
    setTabOrder(okButton_, cancelButton_);
}

void JobDetailsDialog::ConnectWidgets() {
    for (const auto& control : TextControls) {
        const Field field = control.field;
        connect(static_cast<QLineEdit*>(widgets_[field]), &QLineEdit::textChanged, this,
                [this, field] { OnFieldChanged(field); });
    }
    for (const auto& control : NumberControls) {
        const Field field = control.field;
        connect(static_cast<SpinField*>(widgets_[field]), &SpinField::TextChanged, this,
                [this, field] { OnFieldChanged(field); });
    }
    connect(static_cast<QComboBox*>(widgets_[CarPool]), &QComboBox::currentIndexChanged, this,
            [this] { OnFieldChanged(CarPool); });
    connect(loadPreviousButton_, &QPushButton::clicked, this, &JobDetailsDialog::LoadPrevious);
    connect(okButton_, &QPushButton::clicked, this, &JobDetailsDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &JobDetailsDialog::reject);
}

void JobDetailsDialog::ShowFields() {
    showingFields_ = true;
    for (const auto& control : TextControls) {
        auto* edit = static_cast<QLineEdit*>(widgets_[control.field]);
        if (edit->text() != texts_[control.field]) edit->setText(texts_[control.field]);
    }
    for (const auto& control : NumberControls) {
        auto* field = static_cast<SpinField*>(widgets_[control.field]);
        const QString text = QString::number(numbers_[control.field]);
        if (field->Text() != text) field->SetText(text);
    }
    static_cast<QComboBox*>(widgets_[CarPool])->setCurrentIndex(carPool_);
    showingFields_ = false;
}

std::optional<NumberRange> JobDetailsDialog::OkRange(Field field) const {
    const NumberControl* control = FindNumberControl(field);
    if (control == nullptr || !validateRanges_) return std::nullopt;
    const std::optional<ValueRange> range = JobValueRange(control->valueIndex, previousRequirements_);
    if (!range) return std::nullopt;
    return NumberRange{range->minimum, range->maximum};
}

bool JobDetailsDialog::ReadField(Field field) {
    if (IsTextField(field)) {
        texts_[field] = static_cast<QLineEdit*>(widgets_[field])->text();
        return true;
    }
    if (field == CarPool) {
        carPool_ = static_cast<QComboBox*>(widgets_[CarPool])->currentIndex();
        return true;
    }
    const NumberControl* control = FindNumberControl(field);
    const auto* spin = static_cast<SpinField*>(widgets_[field]);
    const NumberReading reading = ReadNumber(spin->Text().toStdString(), control->kind, OkRange(field));
    if (!reading.value) {
        FailField(field, reading.message);
        return false;
    }
    numbers_[field] = *reading.value;
    return true;
}

void JobDetailsDialog::FailField(Field field, const std::string& message) {
    port_.Tell(message, port_.ApplicationName(), MessageIcon::Warning);
    QWidget* widget = widgets_[field];
    widget->setFocus(Qt::OtherFocusReason);
    if (auto* spin = qobject_cast<SpinField*>(widget)) spin->selectAll();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->selectAll();
}

bool JobDetailsDialog::ReadFields() {
    for (const Field field : ReadingOrder)
        if (!ReadField(field)) return false;
    return true;
}

// A field whose change could not be read (because some field held a bad number) goes into the
// working copy at the next good read, so that what the dialog shows is what it returns.
void JobDetailsDialog::CopyChangedFields() {
    for (std::size_t i = 0; i < changed_.size(); ++i) {
        if (!changed_[i]) continue;
        changed_[i] = false;
        const auto field = static_cast<Field>(i);
        if (IsTextField(field)) {
            if (const std::optional<std::string> bytes = InternalText.Bytes(texts_[field], workingJob_.texts[field]))
                workingJob_.texts[field] = *bytes;
        } else if (field == CarPool) {
            if (carPool_ >= 0 && carPool_ < ListedCarPools) workingJob_.values[CarPoolValue] = carPool_;
        } else {
            const NumberControl* control = FindNumberControl(field);
            workingJob_.values[control->valueIndex] = static_cast<std::int32_t>(static_cast<std::uint32_t>(numbers_[field]));
        }
    }
}

void JobDetailsDialog::OnFieldChanged(Field field) {
    if (!initialized_ || showingFields_) return;
    changed_[field] = true;
    if (ReadFields()) CopyChangedFields();
}

void JobDetailsDialog::LoadPrevious() {
    if (!ReadFields()) return;
    CopyChangedFields();
    for (std::size_t i = 0; i < previousRequirements_.size(); ++i) {
        const NumberControl& control = NumberControls[i];
        numbers_[control.field] = control.kind == NumberKind::Unsigned
                                   ? static_cast<std::int64_t>(static_cast<std::uint32_t>(previousRequirements_[i]))
                                   : static_cast<std::int64_t>(previousRequirements_[i]);
        workingJob_.values[control.valueIndex] = previousRequirements_[i];
    }
    ShowFields();
}

void JobDetailsDialog::accept() {
    validateRanges_ = true;
    const bool good = ReadFields();
    validateRanges_ = false;
    if (!good) return;
    CopyChangedFields();
    QDialog::accept();
}

}  // namespace tw
