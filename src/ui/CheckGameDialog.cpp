#include "ui/CheckGameDialog.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "edit/EditSession.h"
#include "ui/SideWindows.h"

namespace tw {

CheckGameDialog::CheckGameDialog(EditSession& session, QWidget* parent) : QDialog(parent), session_(session) {
    setWindowTitle(QStringLiteral("Check Game"));
    ShareWindowKeys(parent, *this);
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel(this);
    summary_->setWordWrap(true);
    layout->addWidget(summary_);
    list_ = new QTreeWidget(this);
    list_->setColumnCount(ColumnCount);
    list_->setHeaderLabels({QStringLiteral("Kind"), QStringLiteral("Where"), QStringLiteral("What")});
    list_->setRootIsDecorated(false);
    list_->setWordWrap(true);
    list_->header()->setStretchLastSection(true);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* goTo = buttons->addButton(QStringLiteral("&Go To"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);
    connect(goTo, &QPushButton::clicked, this, &CheckGameDialog::GoToSelected);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &CheckGameDialog::GoToSelected);
    resize(760, 420);
}

QString CheckGameDialog::PlaceText(const Finding& finding) {
    QStringList parts;
    if (!finding.file.empty()) {
        QString chunk = QString::fromStdString(finding.file);
        if (!finding.type.empty()) chunk += QStringLiteral(" ") + QString::fromStdString(finding.type);
        if (finding.id) chunk += QStringLiteral(" %1").arg(*finding.id);
        parts << chunk;
    }
    if (finding.career) parts << QStringLiteral("career #%1").arg(*finding.career);
    if (finding.level) parts << QStringLiteral("level %1").arg(*finding.level);
    if (!finding.field.empty()) parts << QString::fromStdString(finding.field);
    return parts.join(QStringLiteral(", "));
}

void CheckGameDialog::Refresh() {
    findings_ = session_.Check();
    list_->clear();
    int counting = 0;
    for (const Finding& finding : findings_) {
        QString kind = QString::fromLatin1(KindName(finding.kind));
        if (finding.kind == Finding::Kind::Rule) kind += QStringLiteral(" (%1)").arg(QString::fromStdString(finding.rule));
        if (finding.severity == Finding::Severity::Note) kind += QStringLiteral(", note");
        list_->addTopLevelItem(new QTreeWidgetItem({kind, PlaceText(finding), QString::fromStdString(finding.message)}));
        if (CountsAgainst(finding)) ++counting;
    }
    summary_->setText(findings_.empty() ? QStringLiteral("Nothing found: a save would keep the game's files as they are.")
                                        : QStringLiteral("%1 findings, %2 of them to look at (losses, damaged parts and "
                                                         "problems); the rest are notes.")
                                              .arg(findings_.size())
                                              .arg(counting));
    if (!findings_.empty()) list_->setCurrentItem(list_->topLevelItem(0));
}

void CheckGameDialog::GoToSelected() {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row < 0 || static_cast<std::size_t>(row) >= findings_.size() || !goTo_) return;
    const Finding& finding = findings_[static_cast<std::size_t>(row)];
    if (!finding.career) return;
    const std::vector<Career>& careers = session_.Careers().careers;
    const auto it = std::find_if(careers.begin(), careers.end(), [&](const Career& c) { return c.id == *finding.career; });
    if (it == careers.end()) return;
    EditPlace place;
    place.career = static_cast<std::uint32_t>(it - careers.begin());
    place.level = finding.level;
    goTo_(place);
}

}  // namespace tw
