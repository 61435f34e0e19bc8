// Career > Level Table... on the sample installation: a cell typed into and refused as Job
// details refuses it, a value that falls marked, levels copied and pasted with the keys, and each
// change one step of the session.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "edit/EditSession.h"
#include "edit/LevelTable.h"
#include "gamefiles/GameLoad.h"
#include "sample/SampleInstallation.h"
#include "support/ScriptedPort.h"
#include "support/TempFolder.h"
#include "ui/LevelTableDialog.h"
#include "ui/TextCodec.h"

namespace tw {
namespace {

constexpr std::uint32_t Career = 1;

int Column(LevelColumn column) { return static_cast<int>(column); }

// The cells of a row as the table shows them.
QStringList Row(const QAbstractItemModel& model, int row) {
    QStringList cells;
    for (int column = 0; column < model.columnCount(); ++column) cells << model.index(row, column).data().toString();
    return cells;
}

TEST(LevelTableDialogTest, EditsInPlaceRefusesAsJobDetailsAndPastesAsOneStep) {
    test::TempFolder temp{"tw-ui"};
    const Status written = WriteSampleInstallation(temp.Path() / "game");
    ASSERT_TRUE(written) << written.Reason();
    EditSession session;
    test::ScriptedPort port;
    session.Context().gameFolder = (temp.Path() / "game").string();
    ASSERT_TRUE(session.TakeGame(port, false));
    ASSERT_EQ(session.Load([&](GameContext& c) { return RunLoad(c, port); }), LoadRequest::Loaded);
    port.calls.clear();
    const auto levels = [&]() -> const std::vector<JobLevel>& { return session.Careers().careers[Career].track.levels; };
    ASSERT_GE(levels().size(), 5u);
    ASSERT_GT(levels()[1].values[JobLevel::Salary], 0);
    ASSERT_GE(levels()[2].values[JobLevel::Salary], levels()[1].values[JobLevel::Salary]);

    LevelTableDialog dialog(session, Career, port);
    QSignalSpy edited(&dialog, &LevelTableDialog::Edited);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_FALSE(dialog.isModal());
    EXPECT_EQ(dialog.windowTitle(),
              QStringLiteral("Level Table - ") + TextCodec::DecodeInternal(session.Careers().careers[Career].track.name));
    QTableView* table = dialog.Table();
    QAbstractItemModel& model = *table->model();
    EXPECT_EQ(model.rowCount(), static_cast<int>(levels().size()));

    // Typed into the cell's editor: cooking below the level below's is refused with Job details'
    // message, told once the editor has closed, and the cell keeps its value.
    const QModelIndex cooking = model.index(2, Column(LevelColumn::Cooking));
    const QString cookingShown = cooking.data().toString();
    table->setFocus();
    table->setCurrentIndex(cooking);
    table->edit(cooking);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QString::number(levels()[1].values[1] - 1));
    QTest::keyClick(editor, Qt::Key_Return);
    // The editor commits on a posted event, and the message comes on another.
    for (int round = 0; round < 2; ++round) QCoreApplication::sendPostedEvents();
    ASSERT_EQ(port.calls.size(), 1u);
    EXPECT_EQ(port.Shown()[0], "trackwright: Please enter an integer between " +
                                   std::to_string(levels()[1].values[1]) + " and 1000.");
    EXPECT_EQ(port.calls[0].message.icon, MessageIcon::Warning);
    EXPECT_EQ(cooking.data().toString(), cookingShown);
    EXPECT_FALSE(session.CanUndo());
    EXPECT_EQ(edited.count(), 0);

    // A salary below the level below's is taken, as one Job Details step, and marked.
    const QModelIndex salary = model.index(2, Column(LevelColumn::Salary));
    const QString salaryShown = salary.data().toString();
    const std::int32_t lower = levels()[1].values[JobLevel::Salary] - 1;
    EXPECT_FALSE(salary.data(Qt::BackgroundRole).isValid());
    ASSERT_TRUE(model.setData(salary, QString::number(lower)));
    EXPECT_EQ(levels()[2].values[JobLevel::Salary], lower);
    EXPECT_EQ(session.StepsDone(), 1u);
    EXPECT_EQ(session.UndoName(), "Job Details");
    EXPECT_EQ(edited.count(), 1);
    EXPECT_TRUE(salary.data(Qt::BackgroundRole).isValid());
    EXPECT_TRUE(salary.data(Qt::ToolTipRole).toString().startsWith(QStringLiteral("Pays less than the level below")));
    session.Undo();
    dialog.Refresh();
    EXPECT_EQ(salary.data().toString(), salaryShown);
    EXPECT_FALSE(salary.data(Qt::BackgroundRole).isValid());

    // Ctrl+C on level 3, Ctrl+V on level 4: level 4 shows what level 3 shows, in one step.
    const std::vector<JobLevel> before = levels();
    table->setFocus();
    table->selectRow(3);
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromStdString(CopyLevels(session.Careers().careers[Career].track, {3})));
    table->clearSelection();
    table->selectRow(4);
    QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Row(model, 4), Row(model, 3));
    EXPECT_EQ(session.UndoName(), "Paste Levels");
    EXPECT_EQ(session.StepsDone(), 1u);
    EXPECT_EQ(edited.count(), 2);

    // A paste that does not fit changes nothing and says why.
    const std::vector<JobLevel> pasted = levels();
    QGuiApplication::clipboard()->setText(QStringLiteral("x\ty\r\n"));
    QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(port.calls.size(), 2u);
    EXPECT_EQ(port.Shown()[1], "trackwright: Level 4: 2 cells pasted where a level has 23.");
    EXPECT_EQ(levels(), pasted);
    EXPECT_EQ(session.StepsDone(), 1u);

    session.Undo();
    dialog.Refresh();
    EXPECT_EQ(levels(), before);
    EXPECT_NE(Row(model, 4), Row(model, 3));

    // The car pool is picked from the list.
    ASSERT_NE(levels()[0].values[JobLevel::CarPool], 8);
    const QModelIndex carPool = model.index(0, Column(LevelColumn::CarPool));
    table->setCurrentIndex(carPool);
    table->edit(carPool);
    auto* list = table->findChild<QComboBox*>();
    ASSERT_NE(list, nullptr);
    list->setCurrentIndex(list->findText(QStringLiteral("Limo")));
    QTest::keyClick(list, Qt::Key_Return);
    for (int round = 0; round < 2; ++round) QCoreApplication::sendPostedEvents();
    EXPECT_EQ(levels()[0].values[JobLevel::CarPool], 8);
    EXPECT_EQ(carPool.data().toString(), QStringLiteral("Limo"));
}

}  // namespace
}  // namespace tw
