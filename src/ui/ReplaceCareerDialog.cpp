#include "ui/ReplaceCareerDialog.h"

#include <QLabel>
#include <QPushButton>

#include "ui/DialogUnits.h"
#include "ui/FullRowListView.h"
#include "ui/TextCodec.h"
#include "util/UserPort.h"

namespace tw {

ReplaceCareerDialog::ReplaceCareerDialog(UserPort& port, QWidget* parent) : QDialog(parent), port_(port) {
    CreateWidgets();
    ConnectWidgets();
}

void ReplaceCareerDialog::CreateWidgets() {
    setWindowTitle(QStringLiteral("Replace career track"));
    setModal(true);
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());

    explanation_ = new QLabel(this);
    explanation_->setTextFormat(Qt::PlainText);
    explanation_->setWordWrap(true);
    explanation_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    explanation_->setText(QStringLiteral("Because of the way The Sims is organised, you cannot add new careers!\n"
                                         "You therefore need to select the career you want to overwrite / replace."));
    explanation_->setGeometry(units.Rect(7, 7, 230, 17));

    careerList_ = new FullRowListView(this);
    careerList_->setGeometry(units.Rect(7, 34, 230, 156));
    careerList_->AddColumn(QStringLiteral("ID"), 35);
    careerList_->AddColumn(QStringLiteral("Internal career name"), 275);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setGeometry(units.Rect(129, 200, 50, 14));
    okButton_->setDefault(true);
    okButton_->setAutoDefault(true);

    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setGeometry(units.Rect(187, 200, 50, 14));
    cancelButton_->setAutoDefault(false);

    setTabOrder(careerList_, okButton_);
    setTabOrder(okButton_, cancelButton_);
    setFixedSize(units.Size(244, 221));
}

void ReplaceCareerDialog::ConnectWidgets() {
    connect(okButton_, &QPushButton::clicked, this, &ReplaceCareerDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &ReplaceCareerDialog::reject);
}

void ReplaceCareerDialog::SetCareers(const std::vector<CareerRow>& careers, std::optional<std::uint32_t> selected) {
    careerList_->RemoveAllRows();
    for (std::size_t i = 0; i < careers.size(); ++i) {
        const QString id = QStringLiteral("#%1").arg(careers[i].id);
        careerList_->AppendRow({id, TextCodec::DecodeInternal(careers[i].name)}, static_cast<std::uint32_t>(i));
    }
    // The rows stand in career order, so a career's row is its index.
    careerList_->SelectRow(selected && *selected < careers.size() ? static_cast<int>(*selected) : 0);
    careerList_->setFocus();
}

void ReplaceCareerDialog::accept() {
    const int row = careerList_->SelectedRow();
    if (row < 0) {
        port_.Tell("You need to select a career to replace!", "Error", MessageIcon::Stop);
        return;
    }
    chosenCareer_ = careerList_->RowData(row);
    QDialog::accept();
}

}  // namespace tw
