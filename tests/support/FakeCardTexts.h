#pragma once

#include <cstdint>
#include <string>

#include "model/CardTexts.h"

namespace tw::test {

// Card texts with `rowCount` empty rows, every text row of 1 to 300 taken unless freed.
struct FakeCardTexts {
    CardTexts store;

    explicit FakeCardTexts(std::size_t rowCount = 20) {
        for (std::size_t row = 0; row < rowCount; ++row)
            store.table.SetText(static_cast<std::uint16_t>(row), 0, StringTable::Value, "");
    }

    // Text of 1-based text row `textRow`.
    std::string Text(std::uint16_t textRow, std::uint16_t slot) const { return store.Get(textRow, slot).value_or(""); }
    void SetText(std::uint16_t textRow, std::uint16_t slot, const std::string& text) { store.Set(textRow, slot, text); }
    void Free(std::initializer_list<std::uint16_t> rows) {
        for (std::uint16_t row : rows) store.SetFree(row, true);
    }
    bool IsFree(std::uint16_t textRow) const { return store.IsFree(textRow); }
};

}  // namespace tw::test
