#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include <QDialog>
#include <QString>

#include "edit/NumberReading.h"
#include "model/JobLevel.h"
#include "util/UserPort.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace tw {

class SpinField;

// Edits everything of one job level that is not a language text. It works on its own copy
// (`WorkingJob`), which the caller stores when the dialog ends with OK. The five texts are
// internal names in the internal code page: a character that it cannot hold is refused as it is
// typed or pasted, and a text nobody edits keeps its bytes.
class JobDetailsDialog : public QDialog {
    Q_OBJECT

public:
    // The controls in tab order. Object names of the widgets: see FieldObjectName.
    enum Field {
        InternalName, MaleSkin, FemaleSkin, Texture, Accessory,
        Friends, Cooking, Mechanical, Charisma, Body, Logic, Creativity,
        Hunger, Comfort, Hygiene, Bladder, Energy, Fun, Social,
        Salary, Begintime, Endtime, CarPool,
        FieldCount
    };

    // `previousRequirements`: friends and the six skills (cooking, mechanical, charisma, body,
    // logic, creativity) of the level below; all zero for the first level.
    JobDetailsDialog(const JobLevel& job, const std::array<std::int32_t, 7>& previousRequirements, UserPort& port,
                     QWidget* parent = nullptr);
    ~JobDetailsDialog() override;

    const JobLevel& WorkingJob() const { return workingJob_; }

    // The widget of a field: a QLineEdit for the five texts, a SpinField for the numbers and a
    // QComboBox for the car pool.
    QWidget* FieldWidget(Field field) const { return widgets_[field]; }
    static const char* FieldObjectName(Field field);

    // OK: reads every field with the range checks and closes only when all are good.
    void accept() override;

private:
    void BuildWidgets();
    void ConnectWidgets();
    void ShowFields();
    bool ReadFields();
    bool ReadField(Field field);
    void FailField(Field field, const std::string& message);
    void CopyChangedFields();
    void OnFieldChanged(Field field);
    void LoadPrevious();
    std::optional<NumberRange> OkRange(Field field) const;

    JobLevel workingJob_;
    std::array<std::int32_t, 7> previousRequirements_;
    UserPort& port_;

    bool initialized_ = false;
    bool validateRanges_ = false;
    bool showingFields_ = false;

    std::array<QWidget*, FieldCount> widgets_{};
    std::array<QString, 5> texts_;
    std::array<std::int64_t, FieldCount> numbers_{};
    int carPool_ = -1;
    // Fields changed since their value last went into the working copy.
    std::array<bool, FieldCount> changed_{};

    QPushButton* loadPreviousButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace tw
