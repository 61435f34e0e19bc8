#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QAction>
#include <QCoreApplication>
#include <QPointer>
#include <QTableView>

#include "MainWindowTestFixture.h"
#include "edit/LevelTable.h"
#include "ui/LevelTableDialog.h"
#include "ui/TranslationsDialog.h"

namespace tw {
namespace {

class MainWindowViewsTest : public test::MainWindowTest {
protected:
    // What a cell of a view shows.
    static QString Cell(QTableView* table, int row, int column) {
        return table->model()->data(table->model()->index(row, column)).toString();
    }
};

// Both views edit the one history: what they change reaches the window's lists and fields, and
// the window's undo reaches what they show.
TEST_F(MainWindowViewsTest, EditsInTheViewsAreTheWindowsStepsAndItsUndoReachesThem) {
    SelectCareer(1);
    SelectJob(2);
    window->MenuAction(QStringLiteral("&Career"), QStringLiteral("&Translations..."))->trigger();
    window->MenuAction(QStringLiteral("&Career"), QStringLiteral("&Level Table..."))->trigger();
    TranslationsDialog* translations = window->TranslationsWindow();
    LevelTableDialog* levels = window->LevelTableWindow();
    ASSERT_NE(translations, nullptr);
    ASSERT_NE(levels, nullptr);
    const QString name = Shown(MainWindow::CareerName);
    const QString salary = Cell(levels->Table(), 2, static_cast<int>(LevelColumn::Salary));
    const QString jobName = Cell(levels->Table(), 2, static_cast<int>(LevelColumn::InternalName));

    QAbstractItemModel* texts = translations->Table()->model();
    ASSERT_TRUE(texts->setData(texts->index(0, 0), QStringLiteral("Beekeeping")));
    QAbstractItemModel* values = levels->Table()->model();
    ASSERT_TRUE(values->setData(values->index(2, static_cast<int>(LevelColumn::Salary)), QStringLiteral("4321")));
    ASSERT_TRUE(values->setData(values->index(2, static_cast<int>(LevelColumn::InternalName)), QStringLiteral("Keeper")));
    QCoreApplication::processEvents();
    EXPECT_EQ(Shown(MainWindow::CareerName), QStringLiteral("Beekeeping"));
    EXPECT_EQ(window->JobList()->RowText(2, 1), QStringLiteral("Keeper"));
    EXPECT_EQ(window->CurrentCareer(), 1u);
    EXPECT_EQ(window->CurrentLevel(), 2u);
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(window->UndoAction()->text(), QStringLiteral("&Undo Job Details"));

    window->UndoAction()->trigger();
    window->UndoAction()->trigger();
    EXPECT_EQ(Cell(levels->Table(), 2, static_cast<int>(LevelColumn::Salary)), salary);
    EXPECT_EQ(Cell(levels->Table(), 2, static_cast<int>(LevelColumn::InternalName)), jobName);
    window->UndoAction()->trigger();
    EXPECT_EQ(Cell(translations->Table(), 0, 0), name);
    EXPECT_EQ(Shown(MainWindow::CareerName), name);
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_TRUE(port.calls.empty());

    // Asked for again on another career, each view shows that one instead.
    SelectCareer(0);
    const QPointer<LevelTableDialog> first(levels);
    window->MenuAction(QStringLiteral("&Career"), QStringLiteral("&Level Table..."))->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    ASSERT_NE(window->LevelTableWindow(), nullptr);
    EXPECT_EQ(Cell(window->LevelTableWindow()->Table(), 0, static_cast<int>(LevelColumn::InternalName)),
              QString::fromStdString(session.CareerAt(0)->track.levels[0].texts[0]));
}

}  // namespace
}  // namespace tw
