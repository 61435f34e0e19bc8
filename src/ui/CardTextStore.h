#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tw {

// What the chance card dialog needs of the card texts and of the flags that say which text
// rows are free. Every operation takes a card's text row number as the card holds it:
// 1-based, so text row t is row t - 1 of the card texts' string table.
class CardTextStore {
public:
    virtual ~CardTextStore() = default;

    // The value text of text row `textRow` in language `slot`; none when the table lacks it.
    virtual std::optional<std::string> GetText(std::uint16_t textRow, std::uint16_t slot) const = 0;
    // Writes the value text of one language only; false when the table cannot take the row.
    virtual bool SetText(std::uint16_t textRow, std::uint16_t slot, const std::string& text) = 0;
    // Whether no card holds the row. Rows outside 1 to 300 are never free.
    virtual bool IsFree(std::uint16_t textRow) const = 0;
    // Rows outside 1 to 300 are ignored.
    virtual void SetFree(std::uint16_t textRow, bool free) = 0;
};

}  // namespace tw
