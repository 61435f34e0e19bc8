#include "ui/FullRowListView.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace tw {
namespace {

// A window with a list of three careers and a field to move the focus to.
struct ListWindow {
    QWidget window;
    FullRowListView* list = new FullRowListView(&window);
    QLineEdit* field = new QLineEdit(&window);

    ListWindow() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(list);
        layout->addWidget(field);
        list->AddColumn(QStringLiteral("ID"), 35);
        list->AddColumn(QStringLiteral("Internal career name"), 125);
        list->AppendRow({QStringLiteral("#1"), QStringLiteral("Business")}, 0);
        list->AppendRow({QStringLiteral("#2"), QStringLiteral("Medicine")}, 1);
        list->AppendRow({QStringLiteral("#7"), QStringLiteral("Slacker"), QStringLiteral("dropped")}, 2);
        window.resize(300, 240);
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QPoint CellCentre(int row, int column) const { return list->visualRect(list->model()->index(row, column)).center(); }
    QColor PixelInSelectedRow() const {
        // A point of the name column to the right of its text, where only the background is.
        const QRect cell = list->visualRect(list->model()->index(list->SelectedRow(), 1));
        return list->viewport()->grab().toImage().pixelColor(cell.right() - 3, cell.center().y());
    }
};

TEST(FullRowListViewTest, ClickInAnyColumnSelectsTheRowAndMakesItCurrent) {
    ListWindow w;
    QSignalSpy changes(w.list, &FullRowListView::ItemStateChanged);
    QTest::mouseClick(w.list->viewport(), Qt::LeftButton, {}, w.CellCentre(1, 1));
    EXPECT_EQ(w.list->SelectedRow(), 1);
    EXPECT_EQ(w.list->currentIndex().row(), 1);
    QTest::mouseClick(w.list->viewport(), Qt::LeftButton, {}, w.CellCentre(2, 0));
    EXPECT_EQ(w.list->SelectedRow(), 2);
    EXPECT_EQ(w.list->currentIndex().row(), 2);

    // Selecting row 1, then leaving it for row 2: deselections come before selections.
    ASSERT_EQ(changes.count(), 3);
    const std::vector<std::pair<int, bool>> expected = {{1, true}, {1, false}, {2, true}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(changes[i][0].toInt(), expected[i].first);
        EXPECT_EQ(changes[i][1].toBool(), expected[i].second);
    }
}

TEST(FullRowListViewTest, RowsKeepTheirDataAndTexts) {
    ListWindow w;
    EXPECT_EQ(w.list->RowCount(), 3);
    EXPECT_EQ(w.list->RowData(2), 2u);
    EXPECT_EQ(w.list->RowText(2, 1), QStringLiteral("Slacker"));
    EXPECT_EQ(w.list->columnCount(), 2);
    EXPECT_EQ(w.list->columnWidth(1), 125);
    EXPECT_FALSE(w.list->header()->sectionsClickable());
    w.list->SetRowText(2, 1, QStringLiteral("Layabout"));
    EXPECT_EQ(w.list->RowText(2, 1), QStringLiteral("Layabout"));

    w.list->SelectRow(1);
    EXPECT_EQ(w.list->SelectedRow(), 1);
    w.list->SelectRow(9);  // no such row: nothing stays selected
    EXPECT_EQ(w.list->SelectedRow(), -1);
    w.list->SelectRow(2);
    QSignalSpy changes(w.list, &FullRowListView::ItemStateChanged);
    w.list->RemoveAllRows();
    EXPECT_EQ(w.list->RowCount(), 0);
    ASSERT_EQ(changes.count(), 1);  // the selected row's deselection
    EXPECT_EQ(changes[0][0].toInt(), 2);
    EXPECT_FALSE(changes[0][1].toBool());
    EXPECT_EQ(w.list->columnCount(), 2);
}

TEST(FullRowListViewTest, CellColoursFollowSelectionAndFocus) {
    QPalette palette;
    palette.setColor(QPalette::Highlight, Qt::darkBlue);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Button, Qt::lightGray);
    palette.setColor(QPalette::WindowText, Qt::darkRed);
    palette.setColor(QPalette::Base, Qt::yellow);
    palette.setColor(QPalette::Text, Qt::black);
    const struct {
        bool selected, focused;
        QColor text, background;
    } cases[] = {
        {true, true, Qt::white, Qt::darkBlue},
        {true, false, Qt::darkRed, Qt::lightGray},
        {false, true, Qt::black, Qt::yellow},
        {false, false, Qt::black, Qt::yellow},
    };
    for (const auto& c : cases) {
        const auto colors = FullRowListView::ColorsFor(c.selected, c.focused, palette);
        EXPECT_EQ(colors.text, c.text) << c.selected << c.focused;
        EXPECT_EQ(colors.background, c.background) << c.selected << c.focused;
    }
}

TEST(FullRowListViewTest, SelectedRowIsPaintedInSelectionColoursOnlyWhileFocused) {
    ListWindow w;
    QPalette palette = w.list->palette();
    palette.setColor(QPalette::Highlight, QColor(0, 0, 200));
    palette.setColor(QPalette::Button, QColor(200, 200, 200));
    w.list->setPalette(palette);

    QTest::mouseClick(w.list->viewport(), Qt::LeftButton, {}, w.CellCentre(1, 1));
    ASSERT_TRUE(w.list->hasFocus());
    EXPECT_EQ(w.PixelInSelectedRow(), QColor(0, 0, 200));

    w.field->setFocus();
    ASSERT_FALSE(w.list->hasFocus());
    EXPECT_EQ(w.PixelInSelectedRow(), QColor(200, 200, 200));
    EXPECT_EQ(w.list->SelectedRow(), 1);
}

TEST(FullRowListViewTest, ACutOffNameHasItselfWholeAsTooltip) {
    ListWindow w;
    const QString longName = QStringLiteral("Extraordinarily long internal career name");
    ASSERT_GT(w.list->fontMetrics().horizontalAdvance(longName), w.list->columnWidth(1));
    w.list->SetRowText(1, 1, longName);
    w.list->AppendRow({QStringLiteral("#8"), longName}, 3);
    for (const int row : {1, 3}) EXPECT_EQ(w.list->topLevelItem(row)->toolTip(1), longName) << row;
    // A name that fits needs none, also after a long one stood there.
    w.list->SetRowText(1, 1, QStringLiteral("Medicine"));
    EXPECT_TRUE(w.list->topLevelItem(1)->toolTip(1).isEmpty());
    EXPECT_TRUE(w.list->topLevelItem(0)->toolTip(0).isEmpty());
}

}  // namespace
}  // namespace tw
