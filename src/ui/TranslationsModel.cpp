#include "ui/TranslationsModel.h"

#include <algorithm>

namespace tw {

TranslationsModel::TranslationsModel(CellEditor edit, QObject* parent)
    : QAbstractTableModel(parent), edit_(std::move(edit)) {}

void TranslationsModel::Show(TranslationTable table, std::vector<std::size_t> rows) {
    const auto texts = [](const TranslationTable& of, const std::vector<std::size_t>& shown) {
        std::vector<TranslatableText> list;
        for (std::size_t row : shown) list.push_back(of.Text(row));
        return list;
    };
    const bool sameTexts = texts(table, rows) == texts(table_, rows_);
    if (!sameTexts) beginResetModel();
    table_ = std::move(table);
    rows_ = std::move(rows);
    if (!sameTexts) {
        endResetModel();
        return;
    }
    if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

std::optional<std::size_t> TranslationsModel::TableRow(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return std::nullopt;
    return rows_[static_cast<std::size_t>(row)];
}

int TranslationsModel::ViewRow(std::size_t tableRow) const {
    const auto found = std::find(rows_.begin(), rows_.end(), tableRow);
    return found != rows_.end() ? static_cast<int>(found - rows_.begin()) : -1;
}

int TranslationsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TranslationsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : TranslationTable::SlotCount;
}

QVariant TranslationsModel::data(const QModelIndex& index, int role) const {
    const std::optional<std::size_t> row = TableRow(index.row());
    if (!row || index.column() < 0 || index.column() >= TranslationTable::SlotCount) return {};
    const auto slot = static_cast<std::uint16_t>(index.column());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
        case Qt::ToolTipRole: return QString::fromStdString(table_.Shown(*row, slot));
        case MultiLineRole: return TranslationTable::MultiLine(table_.Text(*row));
        default: return {};
    }
}

QVariant TranslationsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= TranslationTable::SlotCount) return {};
        return QString::fromStdString(TranslationTable::SlotName(static_cast<std::uint16_t>(section)));
    }
    const std::optional<std::size_t> row = TableRow(section);
    return row ? QString::fromStdString(TranslatableLabel(table_.Text(*row))) : QVariant();
}

Qt::ItemFlags TranslationsModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | (index.isValid() ? Qt::ItemIsEditable : Qt::NoItemFlags);
}

bool TranslationsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const std::optional<std::size_t> row = TableRow(index.row());
    if (role != Qt::EditRole || !row || index.column() < 0 || index.column() >= TranslationTable::SlotCount || !edit_)
        return false;
    return edit_(*row, static_cast<std::uint16_t>(index.column()), value.toString());
}

}  // namespace tw
