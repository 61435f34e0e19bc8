#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/TableCardTextStore.h"

namespace tw::test {

// A string table that behaves as the model's does at its edges: a row past the end cannot be
// read, and only the row just past the end can be written (it is appended).
struct FakeStringTable {
    std::vector<std::array<std::string, 16>> rows;

    bool GetText(std::uint16_t row, std::uint16_t slot, int which, std::string& out) const {
        if (row >= rows.size() || slot >= 16 || which != 0) return false;
        out = rows[row][slot];
        return true;
    }
    bool SetText(std::uint16_t row, std::uint16_t slot, int which, const std::string& text) {
        if (row > rows.size() || slot >= 16 || which != 0) return false;
        if (row == rows.size()) rows.emplace_back();
        rows[row][slot] = text;
        return true;
    }
};

// The card texts and free-row flags of a career set, every row of 1 to 300 used unless freed.
struct FakeCardTexts {
    FakeStringTable table;
    std::array<bool, 301> freeRows{};
    TableCardTextStore<FakeStringTable> store{table, freeRows};

    explicit FakeCardTexts(std::size_t rowCount = 20) { table.rows.resize(rowCount); }

    // Text of 1-based text row `textRow`.
    std::string& Text(std::uint16_t textRow, std::uint16_t slot) { return table.rows.at(textRow - 1u)[slot]; }
};

}  // namespace tw::test
