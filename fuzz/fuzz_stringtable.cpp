// Decodes arbitrary bytes as a string table; what decodes must encode to a fixed point.
#include "model/StringTable.h"
#include "util/MemoryStream.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tw::MemoryStream input(std::vector<std::uint8_t>(data, data + size));
    tw::StringTable table;
    if (!table.LoadFromStream(input)) return 0;
    std::string text;
    for (std::uint16_t row = 0; row < table.RowCount() && row < 64; ++row) table.GetText(row, 15, tw::StringTable::Comment, text);

    tw::MemoryStream first;
    if (!table.WriteToStream(first)) return 0;
    const std::vector<std::uint8_t> encoded = first.Copy();
    // A length-prefixed count whose two bytes read as a format word cannot come back as the
    // same format; such a table needs some 65000 entries.
    const std::uint16_t word = static_cast<std::uint16_t>(encoded[0] | (encoded[1] << 8));
    if (table.lengthPrefixed && word >= 0xFFFD) return 0;

    if (!table.LoadFromStream(first)) __builtin_trap();
    tw::MemoryStream second;
    if (!table.WriteToStream(second) || second.Copy() != encoded) __builtin_trap();
    return 0;
}
