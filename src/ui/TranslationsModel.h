#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QAbstractTableModel>

#include "edit/TranslationTable.h"

namespace tw {

// The cells of Career > Translations for a table view: some rows of a TranslationTable (headed
// by their labels) in its 16 language columns. A cell the person edits goes to the editor it is
// given, which stores it or refuses it; the model itself changes only through Show.
class TranslationsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // Whether a cell's text is written in lines (a bool).
    static constexpr int MultiLineRole = Qt::UserRole;

    // Takes a typed cell: its table row, slot and text; true when stored (or unchanged).
    using CellEditor = std::function<bool(std::size_t row, std::uint16_t slot, const QString& text)>;

    explicit TranslationsModel(CellEditor edit, QObject* parent = nullptr);

    // Shows `rows` of `table`. When those are the texts already shown, only the cells change, so
    // that the view keeps its place and an open editor.
    void Show(TranslationTable table, std::vector<std::size_t> rows);
    const TranslationTable& Table() const { return table_; }
    // The table row shown in view row `row`; none out of range.
    std::optional<std::size_t> TableRow(int row) const;
    // The view row of a table row; -1 when it is not shown.
    int ViewRow(std::size_t tableRow) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    CellEditor edit_;
    TranslationTable table_;
    std::vector<std::size_t> rows_;
};

}  // namespace tw
