#include "ui/MainWindowDialogs.h"

#include <QDialog>

#include "edit/EditSession.h"
#include "ui/AboutBox.h"
#include "ui/ChanceCardDialog.h"
#include "ui/JobDetailsDialog.h"
#include "ui/ModifyIconsDialog.h"

namespace tw {

MainWindowDialogs MainWindowDialogs::Default(EditSession& session, UserPort& port) {
    MainWindowDialogs dialogs;
    dialogs.jobDetails = [&port](QWidget* parent, const JobLevel& job, const Requirements& below) -> std::optional<JobLevel> {
        JobDetailsDialog dialog(job, below, port, parent);
        if (dialog.exec() == QDialog::Rejected) return std::nullopt;
        return dialog.WorkingJob();
    };
    dialogs.chanceCard = [&session, &port](QWidget* parent, std::uint16_t textRow, const std::vector<CardItem>& items,
                                           std::uint16_t slot, const CardConfirm& confirm) {
        ChanceCardDialog dialog(textRow, items, slot, session.Careers().cardTexts, confirm, port, parent);
        dialog.exec();
    };
    dialogs.about = [](QWidget* parent) {
        AboutBox box(parent);
        box.exec();
    };
    dialogs.modifyIcons = [&session, &port](QWidget* parent, std::uint16_t number) -> std::optional<Icons> {
        ModifyIconsDialog dialog(number, session.Context().iconStrips, port, parent);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return Icons{dialog.PopupIcon(), dialog.ButtonIcon()};
    };
    return dialogs;
}

}  // namespace tw
