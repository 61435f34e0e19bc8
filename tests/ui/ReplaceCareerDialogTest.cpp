#include "ui/ReplaceCareerDialog.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "support/ScriptedPort.h"
#include "ui/DialogUnits.h"
#include "ui/FullRowListView.h"

namespace tw {
namespace {

const std::vector<CareerRow> Careers = {{1, "Business"}, {12, "Caf\xE9 worker"}, {65535, "Slacker"}};

TEST(ReplaceCareerDialogTest, ListsEveryCareerAndOpensOnTheFirst) {
    test::ScriptedPort port;
    ReplaceCareerDialog dialog(port);
    dialog.SetCareers(Careers);
    const FullRowListView* list = dialog.CareerList();

    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Replace career track"));
    ASSERT_EQ(list->RowCount(), 3);
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("ID"));
    EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("Internal career name"));
    EXPECT_EQ(list->columnWidth(0), 35);
    EXPECT_EQ(list->columnWidth(1), 275);
    EXPECT_EQ(list->RowText(1, 0), QStringLiteral("#12"));
    EXPECT_EQ(list->RowText(1, 1), QString::fromUtf8("Caf\u00E9 worker"));
    EXPECT_EQ(list->RowText(2, 0), QStringLiteral("#65535"));
    EXPECT_EQ(list->RowData(2), 2u);
    EXPECT_EQ(list->SelectedRow(), 0);

    const DialogUnits units(dialog.font());
    EXPECT_EQ(dialog.size(), units.Size(244, 221));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_TRUE(dialog.OkButton()->isDefault());
    EXPECT_EQ(dialog.OkButton()->nextInFocusChain(), dialog.CancelButton());
}

TEST(ReplaceCareerDialogTest, OkAtOnceChoosesTheSelectedCareerElseTheFirst) {
    const struct {
        std::optional<std::uint32_t> selected;
        std::uint32_t chosen;
    } cases[] = {{std::nullopt, 0}, {2, 2}, {1, 1}, {3, 0}};
    for (const auto& c : cases) {
        test::ScriptedPort port;
        ReplaceCareerDialog dialog(port);
        dialog.SetCareers(Careers, c.selected);
        dialog.show();
        EXPECT_EQ(dialog.focusWidget(), dialog.CareerList());
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.ChosenCareer(), c.chosen) << c.selected.value_or(99);
        EXPECT_TRUE(port.calls.empty());
    }
}

TEST(ReplaceCareerDialogTest, OkWithoutSelectionComplainsAndStaysOpen) {
    for (const bool empty : {true, false}) {
        test::ScriptedPort port;
        ReplaceCareerDialog dialog(port);
        dialog.SetCareers(empty ? std::vector<CareerRow>{} : Careers);
        dialog.CareerList()->clearSelection();
        dialog.show();
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        ASSERT_EQ(port.Shown(), std::vector<std::string>{"Error: You need to select a career to replace!"});
        EXPECT_EQ(port.calls[0].message.icon, MessageIcon::Stop);
    }
}

}  // namespace
}  // namespace tw
