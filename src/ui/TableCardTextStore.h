#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "ui/CardTextStore.h"

namespace tw {

// Puts the card texts' string table and the free-row flags of the career set behind the
// dialog's interface. `Table` is the model's string table: GetText/SetText(row, slot, which, text)
// with which 0 for the value text.
template <class Table>
class TableCardTextStore final : public CardTextStore {
public:
    static constexpr std::size_t FlagCount = 301;  // index = text row number; 0 is unused

    TableCardTextStore(Table& table, std::array<bool, FlagCount>& freeRows) : table_(table), freeRows_(freeRows) {}

    std::optional<std::string> GetText(std::uint16_t textRow, std::uint16_t slot) const override {
        if (textRow == 0) return std::nullopt;
        std::string text;
        if (!table_.GetText(static_cast<std::uint16_t>(textRow - 1), slot, 0, text)) return std::nullopt;
        return text;
    }

    bool SetText(std::uint16_t textRow, std::uint16_t slot, const std::string& text) override {
        if (textRow == 0) return false;
        return table_.SetText(static_cast<std::uint16_t>(textRow - 1), slot, 0, text);
    }

    bool IsFree(std::uint16_t textRow) const override {
        return textRow >= 1 && textRow < FlagCount && freeRows_[textRow];
    }

    void SetFree(std::uint16_t textRow, bool free) override {
        if (textRow >= 1 && textRow < FlagCount) freeRows_[textRow] = free;
    }

private:
    Table& table_;
    std::array<bool, FlagCount>& freeRows_;
};

}  // namespace tw
