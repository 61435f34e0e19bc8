#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QDialog>

#include "edit/CareerRows.h"

class QLabel;
class QPushButton;

namespace tw {

class FullRowListView;
class UserPort;

// Asks which existing career an import overwrites, since the game's careers cannot be added to.
// After OK, ChosenCareer() is the chosen career's index into the career set.
class ReplaceCareerDialog : public QDialog {
    Q_OBJECT

public:
    // The port shows the dialog's own message (OK without a selected career).
    explicit ReplaceCareerDialog(UserPort& port, QWidget* parent = nullptr);

    // Fills the list with one row per career, in career order, and selects the row of the
    // `selected` career, or the first row when there is no such career.
    void SetCareers(const std::vector<CareerRow>& careers, std::optional<std::uint32_t> selected = std::nullopt);
    std::uint32_t ChosenCareer() const { return chosenCareer_; }

    FullRowListView* CareerList() const { return careerList_; }
    QPushButton* OkButton() const { return okButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }

    void accept() override;

private:
    void CreateWidgets();
    void ConnectWidgets();

    UserPort& port_;
    QLabel* explanation_ = nullptr;
    FullRowListView* careerList_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    std::uint32_t chosenCareer_ = 0;
};

}  // namespace tw
