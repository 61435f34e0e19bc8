#pragma once

#include <cstdint>

#include <QAbstractTableModel>
#include <QString>

namespace tw {

class CareerTrack;
class EditSession;

// The job levels of one career as a table that is edited in place: one row per level, the
// columns of LevelTable. A cell that is set goes into the session as one Job Details step; a
// value the table refuses leaves the cell as it was and is reported by Refused.
class LevelTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    LevelTableModel(EditSession& session, std::uint32_t career, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Retakes every cell from the session.
    void Refresh();

signals:
    // The message that refuses what was typed into a cell.
    void Refused(const QString& message);
    // A cell changed the session.
    void Edited();

private:
    const CareerTrack* Track() const;
    int LevelCount() const;

    EditSession& session_;
    std::uint32_t career_;
    // The rows the view knows of, which change only through a reset.
    int rows_ = 0;
};

}  // namespace tw
