#pragma once

#include <array>
#include <string>

#include <QDialog>

#include "edit/NumberReading.h"
#include "model/CardItem.h"
#include "model/CardItemFields.h"
#include "util/UserPort.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tw {

// Edits one item of a chance card: a budget change, a skill change, a job change or a sound.
// The caller takes `Item()` when the dialog ends with OK.
class CardItemDialog : public QDialog {
    Q_OBJECT

public:
    // Object names: "budgetRadio", "skillRadio", "jobRadio", "soundRadio"; "budgetOperation",
    // "budgetAmount"; "skill", "skillOperation", "skillAmount"; "jobTarget", "jobValue"; "sound";
    // "ok", "cancel".
    CardItemDialog(const CardItem& item, UserPort& port, QWidget* parent = nullptr);

    const CardItem& Item() const { return item_; }

    // OK: reads the fields with their range checks and closes only when all are good.
    void accept() override;

private:
    void BuildWidgets();
    void ConnectWidgets();
    void ShowFields();
    bool ReadFields();
    bool ReadAmount(QLineEdit* edit, NumberKind kind, std::int64_t maximum, std::int64_t& out);
    void ChooseGroup(std::uint32_t kind);
    void SetUp();

    CardItem item_;
    UserPort& port_;
    CardItemFields fields_;

    // Indexed by kind - 1.
    std::array<QRadioButton*, 4> radios_{};
    QButtonGroup* radioGroup_ = nullptr;
    QComboBox* budgetOperation_ = nullptr;
    QLineEdit* budgetAmount_ = nullptr;
    QComboBox* skill_ = nullptr;
    QComboBox* skillOperation_ = nullptr;
    QLineEdit* skillAmount_ = nullptr;
    QComboBox* jobTarget_ = nullptr;
    QLineEdit* jobValue_ = nullptr;
    QComboBox* sound_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace tw
