#include "ui/FullRowListView.h"

#include <algorithm>
#include <set>

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

namespace tw {

FullRowListView::FullRowListView(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(0);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setTextElideMode(Qt::ElideNone);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setHighlightSections(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &FullRowListView::OnSelectionChanged);
}

void FullRowListView::AddColumn(const QString& title, int widthPixels) {
    const int column = columnCount();
    setColumnCount(column + 1);
    headerItem()->setText(column, title);
    setColumnWidth(column, widthPixels);
}

int FullRowListView::AppendRow(const QStringList& texts, std::uint32_t rowData) {
    auto* item = new QTreeWidgetItem(this);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    const int columns = std::min(static_cast<int>(texts.size()), columnCount());
    for (int column = 0; column < columns; ++column) SetCellText(*item, column, texts[column]);
    item->setData(0, Qt::UserRole, QVariant::fromValue<quint32>(rowData));
    return indexOfTopLevelItem(item);
}

void FullRowListView::SetRowText(int row, int column, const QString& text) {
    if (QTreeWidgetItem* item = topLevelItem(row); item && column >= 0 && column < columnCount())
        SetCellText(*item, column, text);
}

void FullRowListView::SetCellText(QTreeWidgetItem& item, int column, const QString& text) {
    item.setText(column, text);
    // The cells are drawn from their left edge without margins (see drawRow).
    const bool cutOff = fontMetrics().horizontalAdvance(text) > columnWidth(column);
    item.setToolTip(column, cutOff ? text : QString());
}

QString FullRowListView::RowText(int row, int column) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(column) : QString();
}

std::uint32_t FullRowListView::RowData(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->data(0, Qt::UserRole).value<quint32>() : 0;
}

int FullRowListView::RowCount() const { return topLevelItemCount(); }

void FullRowListView::RemoveAllRows() { clear(); }

int FullRowListView::SelectedRow() const {
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        if (first < 0 || index.row() < first) first = index.row();
    return first;
}

void FullRowListView::SelectRow(int row) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item) {
        clearSelection();
        return;
    }
    const QModelIndex index = indexFromItem(item);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollToItem(item);
}

FullRowListView::CellColors FullRowListView::ColorsFor(bool selectedRow, bool listHasFocus, const QPalette& palette) {
    if (selectedRow && listHasFocus) return {palette.color(QPalette::HighlightedText), palette.color(QPalette::Highlight)};
    if (selectedRow) return {palette.color(QPalette::WindowText), palette.color(QPalette::Button)};
    return {palette.color(QPalette::Text), palette.color(QPalette::Base)};
}

void FullRowListView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QPalette colours = palette();
    colours.setCurrentColorGroup(isEnabled() ? QPalette::Active : QPalette::Disabled);
    const CellColors colors = ColorsFor(index.row() == SelectedRow(), hasFocus(), colours);
    // Every cell is filled and written here and nothing else is drawn: no branch area, no
    // default selection and no focus frame.
    for (int column = 0; column < header()->count(); ++column) {
        if (isColumnHidden(column)) continue;
        const QRect cell(columnViewportPosition(column), option.rect.y(), columnWidth(column), option.rect.height());
        if (cell.width() <= 0) continue;
        painter->fillRect(cell, colors.background);
        const QString text = index.siblingAtColumn(column).data(Qt::DisplayRole).toString();
        if (text.isEmpty()) continue;
        painter->save();
        painter->setClipRect(cell);
        painter->setPen(colors.text);
        painter->setFont(font());
        painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        painter->restore();
    }
}

void FullRowListView::SelectRowUnder(const QPoint& position) {
    const QModelIndex index = indexAt(position);
    if (!index.isValid()) return;
    const QModelIndex rowStart = index.siblingAtColumn(0);
    if (!selectionModel()->isRowSelected(rowStart.row(), rowStart.parent()))
        selectionModel()->select(rowStart, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (currentIndex().row() != rowStart.row())
        selectionModel()->setCurrentIndex(rowStart, QItemSelectionModel::NoUpdate);
}

void FullRowListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) SelectRowUnder(event->position().toPoint());
    QTreeWidget::mousePressEvent(event);
}

void FullRowListView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) SelectRowUnder(event->position().toPoint());
    QTreeWidget::mouseDoubleClickEvent(event);
}

void FullRowListView::focusInEvent(QFocusEvent* event) {
    QTreeWidget::focusInEvent(event);
    RepaintSelectedRows();
}

void FullRowListView::focusOutEvent(QFocusEvent* event) {
    QTreeWidget::focusOutEvent(event);
    RepaintSelectedRows();
}

void FullRowListView::RepaintSelectedRows() {
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        const QRect rowRect = visualRect(index);
        viewport()->update(QRect(0, rowRect.y(), viewport()->width(), rowRect.height()));
    }
}

void FullRowListView::OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    const auto rowsOf = [](const QItemSelection& selection) {
        std::set<int> rows;
        for (const QModelIndex& index : selection.indexes()) rows.insert(index.row());
        return rows;
    };
    for (const int row : rowsOf(deselected)) emit ItemStateChanged(row, false);
    for (const int row : rowsOf(selected)) emit ItemStateChanged(row, true);
}

}  // namespace tw
