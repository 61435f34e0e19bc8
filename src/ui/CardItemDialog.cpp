#include "ui/CardItemDialog.h"

#include <algorithm>

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "edit/NumberReading.h"
#include "ui/DialogUnits.h"

namespace tw {

namespace {


}  // namespace

CardItemDialog::CardItemDialog(const CardItem& item, UserPort& port, QWidget* parent)
    : QDialog(parent), item_(item), port_(port) {
    BuildWidgets();
    SetUp();
    ConnectWidgets();
}

void CardItemDialog::BuildWidgets() {
    setWindowTitle(QStringLiteral("Chance card..."));
    setModal(true);
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.Size(297, 220));

    const auto addGroup = [&](const char* title, int y) {
        auto* group = new QGroupBox(QString::fromLatin1(title), this);
        group->setGeometry(units.Rect(7, y, 283, 39));
    };
    addGroup("Budget change", 7);
    addGroup("Skill change", 53);
    addGroup("Job change", 101);
    addGroup("Play sound", 150);

    const auto addRadio = [&](const char* name, int y) {
        auto* radio = new QRadioButton(this);
        radio->setObjectName(QString::fromLatin1(name));
        radio->setGeometry(units.Rect(17, y, 10, 10));
        return radio;
    };
    const auto addList = [&](const char* name, int x, int y, const QStringList& items) {
        auto* list = new QComboBox(this);
        list->setObjectName(QString::fromLatin1(name));
        list->addItems(items);
        const QRect rect = units.Rect(x, y, 73, 12);
        list->setGeometry(rect.x(), rect.y(), rect.width(), std::max(rect.height(), list->sizeHint().height()));
        return list;
    };
    const auto addField = [&](const char* name, int x, int y) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setGeometry(units.Rect(x, y, 73, 12));
        return edit;
    };
    const QStringList addSubtract = {QStringLiteral("Add"), QStringLiteral("Subtract")};

    radios_[0] = addRadio("budgetRadio", 23);
    budgetOperation_ = addList("budgetOperation", 35, 21, addSubtract);
    budgetAmount_ = addField("budgetAmount", 120, 21);

    radios_[1] = addRadio("skillRadio", 70);
    skill_ = addList("skill", 35, 68,
                     {QStringLiteral("Cooking"), QStringLiteral("Mechanical"), QStringLiteral("Charisma"),
                      QStringLiteral("Body"), QStringLiteral("Logic"), QStringLiteral("Creativity")});
    skillOperation_ = addList("skillOperation", 120, 68, addSubtract);
    skillAmount_ = addField("skillAmount", 205, 68);

    radios_[2] = addRadio("jobRadio", 117);
    jobTarget_ = addList("jobTarget", 35, 115, {QStringLiteral("Career Path"), QStringLiteral("Promotion Level")});
    jobValue_ = addField("jobValue", 120, 115);

    radios_[3] = addRadio("soundRadio", 167);
    sound_ = addList("sound", 35, 165, {QStringLiteral("Positive (Good)"), QStringLiteral("Negative (Bad)")});

    radioGroup_ = new QButtonGroup(this);
    radioGroup_->setExclusive(true);
    for (std::size_t i = 0; i < radios_.size(); ++i) radioGroup_->addButton(radios_[i], static_cast<int>(i + 1));

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("ok"));
    okButton_->setGeometry(units.Rect(181, 199, 50, 14));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cancel"));
    cancelButton_->setGeometry(units.Rect(240, 199, 50, 14));

    const std::array<QWidget*, 14> tabOrder = {radios_[0], budgetOperation_, budgetAmount_, radios_[1], skill_,
                                               skillOperation_, skillAmount_, radios_[2], jobTarget_, jobValue_,
                                               radios_[3], sound_, okButton_, cancelButton_};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void CardItemDialog::ConnectWidgets() {
    for (std::size_t i = 0; i < radios_.size(); ++i) {
        const auto kind = static_cast<std::uint32_t>(i + 1);
        connect(radios_[i], &QRadioButton::clicked, this, [this, kind] { ChooseGroup(kind); });
    }
    connect(okButton_, &QPushButton::clicked, this, &CardItemDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &CardItemDialog::reject);
}

void CardItemDialog::SetUp() {
    // The fields show their starting values (amounts 0, nothing selected) before anything reads them.
    ShowFields();
    const std::uint32_t kind = item_.kind;
    if (kind < CardItemKind::Budget || kind > CardItemKind::Sound) return;
    radios_[kind - 1]->setChecked(true);
    ChooseGroup(kind);
    ReadFields();
    fields_ = FieldsForItem(item_);
    ShowFields();
}

void CardItemDialog::ShowFields() {
    budgetAmount_->setText(QString::number(fields_.budgetAmount));
    jobValue_->setText(QString::number(fields_.jobValue));
    skillAmount_->setText(QString::number(fields_.skillAmount));
    budgetOperation_->setCurrentIndex(fields_.budgetOperation);
    jobTarget_->setCurrentIndex(fields_.jobTarget);
    skill_->setCurrentIndex(fields_.skill);
    skillOperation_->setCurrentIndex(fields_.skillOperation);
    sound_->setCurrentIndex(fields_.sound);
}

bool CardItemDialog::ReadAmount(QLineEdit* edit, NumberKind kind, std::int64_t maximum, std::int64_t& out) {
    const NumberReading reading = ReadNumber(edit->text().toStdString(), kind, NumberRange{0, maximum});
    if (!reading.value) {
        port_.Tell(reading.message, port_.ApplicationName(), MessageIcon::Warning);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        return false;
    }
    out = *reading.value;
    return true;
}

bool CardItemDialog::ReadFields() {
    std::int64_t budget = 0;
    std::int64_t job = 0;
    std::int64_t skill = 0;
    if (!ReadAmount(budgetAmount_, NumberKind::Unsigned, BudgetAmountMaximum, budget)) return false;
    fields_.budgetAmount = static_cast<std::uint32_t>(budget);
    if (!ReadAmount(jobValue_, NumberKind::Signed, JobValueMaximum, job)) return false;
    fields_.jobValue = static_cast<std::int32_t>(job);
    if (!ReadAmount(skillAmount_, NumberKind::Signed, SkillAmountMaximum, skill)) return false;
    fields_.skillAmount = static_cast<std::int32_t>(skill);
    fields_.budgetOperation = budgetOperation_->currentIndex();
    fields_.jobTarget = jobTarget_->currentIndex();
    fields_.skill = skill_->currentIndex();
    fields_.skillOperation = skillOperation_->currentIndex();
    fields_.sound = sound_->currentIndex();
    return true;
}

void CardItemDialog::ChooseGroup(std::uint32_t kind) {
    ReadFields();  // shows what is wrong, but the group starts afresh either way
    fields_ = GroupDefaults(kind);
    const std::array<QWidget*, 8> valueControls = {budgetOperation_, budgetAmount_, skill_, skillOperation_,
                                                   skillAmount_,     jobTarget_,    jobValue_, sound_};
    for (QWidget* control : valueControls) control->setEnabled(false);
    switch (kind) {
        case CardItemKind::Budget:
            budgetOperation_->setEnabled(true);
            budgetAmount_->setEnabled(true);
            break;
        case CardItemKind::Skill:
            skill_->setEnabled(true);
            skillOperation_->setEnabled(true);
            skillAmount_->setEnabled(true);
            break;
        case CardItemKind::Job:
            jobTarget_->setEnabled(true);
            jobValue_->setEnabled(true);
            break;
        case CardItemKind::Sound:
            sound_->setEnabled(true);
            break;
        default:
            break;
    }
    ShowFields();
}

void CardItemDialog::accept() {
    if (!ReadFields()) return;
    item_ = ItemFromFields(fields_, item_);
    QDialog::accept();
}

}  // namespace tw
