#pragma once

#include <cstdint>

#include <QColor>
#include <QPalette>
#include <QStringList>
#include <QTreeWidget>

namespace tw {

// The report-style list of every career and job list: text columns of fixed pixel widths, one
// 32-bit data value per row, one selected row at a time. It paints its cells itself so that the
// selected row is marked across all its columns, stays marked in muted colours while the list
// does not have the keyboard focus, and shows no focus frame; a click anywhere on a row's
// columns selects that row. A text cut off by its column has itself whole as its tooltip.
class FullRowListView : public QTreeWidget {
    Q_OBJECT

public:
    struct CellColors {
        QColor text;
        QColor background;
    };

    explicit FullRowListView(QWidget* parent = nullptr);

    // Adds a column at the right with its header text and width in pixels.
    void AddColumn(const QString& title, int widthPixels);

    // Appends a row; texts beyond the column count are dropped. Returns the new row's index.
    int AppendRow(const QStringList& texts, std::uint32_t rowData);
    void SetRowText(int row, int column, const QString& text);
    QString RowText(int row, int column) const;
    std::uint32_t RowData(int row) const;
    int RowCount() const;
    // Removes every row (the columns stay).
    void RemoveAllRows();

    // The selected row, or -1 when none is.
    int SelectedRow() const;
    // Selects the row, makes it the current row and scrolls it into view. A row that does not
    // exist leaves no row selected.
    void SelectRow(int row);

    // The colours of a cell: selection colours for the selected row while the list has the
    // focus, window text on the button face while it has not, the plain list colours otherwise.
    static CellColors ColorsFor(bool selectedRow, bool listHasFocus, const QPalette& palette);

signals:
    // Sent for every row whose selection state changed, deselections before selections. When
    // it arrives the list already shows the final selection.
    void ItemStateChanged(int row, bool selected);

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void SetCellText(QTreeWidgetItem& item, int column, const QString& text);
    void SelectRowUnder(const QPoint& position);
    void RepaintSelectedRows();
    void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
};

}  // namespace tw
