#include "ui/LevelTableModel.h"

#include <algorithm>
#include <optional>
#include <string>

#include <QColor>

#include "edit/EditSession.h"
#include "edit/LevelTable.h"

namespace tw {
namespace {

// Behind a value that falls below the level below's.
const QColor FallingBackground(255, 208, 208);

bool IsNumberColumn(int column) {
    return column >= static_cast<int>(LevelColumn::Friends) && column != static_cast<int>(LevelColumn::CarPool);
}

}  // namespace

LevelTableModel::LevelTableModel(EditSession& session, std::uint32_t career, QObject* parent)
    : QAbstractTableModel(parent), session_(session), career_(career), rows_(LevelCount()) {}

const CareerTrack* LevelTableModel::Track() const {
    const Career* career = session_.CareerAt(career_);
    return career != nullptr ? &career->track : nullptr;
}

int LevelTableModel::LevelCount() const {
    const CareerTrack* track = Track();
    return track != nullptr ? static_cast<int>(track->levels.size()) : 0;
}

int LevelTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int LevelTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(LevelColumnCount);
}

QVariant LevelTableModel::data(const QModelIndex& index, int role) const {
    const CareerTrack* track = Track();
    if (track == nullptr || !index.isValid() || index.row() >= static_cast<int>(track->levels.size())) return {};
    const auto level = static_cast<std::size_t>(index.row());
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return QString::fromStdString(LevelCellText(track->levels[level], column));
        case Qt::TextAlignmentRole:
            if (IsNumberColumn(index.column())) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        case Qt::BackgroundRole:
            if (LevelCellFalls(*track, level, column)) return FallingBackground;
            return {};
        case Qt::ToolTipRole:
            if (const std::optional<std::string> reason = LevelCellFalls(*track, level, column))
                return QString::fromStdString(*reason);
            return {};
        default: return {};
    }
}

QVariant LevelTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0) return {};
    if (orientation == Qt::Vertical) return QString::number(section);
    return QString::fromLatin1(LevelColumnName(static_cast<std::size_t>(section)));
}

Qt::ItemFlags LevelTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool LevelTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const CareerTrack* track = Track();
    if (role != Qt::EditRole || track == nullptr || !index.isValid() ||
        index.row() >= static_cast<int>(track->levels.size()))
        return false;
    const auto level = static_cast<std::uint32_t>(index.row());
    const LevelReading reading =
        ReadLevelCell(track->levels[level], static_cast<std::size_t>(index.column()), value.toString().toStdString(),
                      session_.RequirementsBelowLevel(career_, level));
    if (!reading.job) {
        emit Refused(QString::fromStdString(reading.message));
        return false;
    }
    if (!session_.SetJobLevel(career_, level, *reading.job)) return true;
    // The level above is bound by this one: its marks may change too.
    const int lastRow = std::min(index.row() + 1, rows_ - 1);
    emit dataChanged(this->index(index.row(), 0), this->index(lastRow, columnCount() - 1));
    emit Edited();
    return true;
}

void LevelTableModel::Refresh() {
    const int levels = LevelCount();
    if (levels != rows_) {
        beginResetModel();
        rows_ = levels;
        endResetModel();
        return;
    }
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
}

}  // namespace tw
