#pragma once

#include <cstdint>

namespace tw {

// The game's code pages as Windows converts them, generated once from Windows' own converters
// (tools/codepages). Values are UTF-16 units: every character of these code pages is in the BMP.
inline constexpr std::uint16_t NoCharacter = 0xFFFF;
inline constexpr std::uint16_t LeadByte = 0xFFFE;

// The characters of the two-byte sequences that start with `lead`, for trail bytes `firstTrail`
// to `firstTrail + count - 1` (NoCharacter where a pair forms none).
struct DoubleByteRow {
    std::uint8_t lead;
    std::uint8_t firstTrail;
    std::uint16_t count;
    const std::uint16_t* characters;
};

// The bytes Windows writes for a character that several sequences read as (or none, 0x10000,
// when it writes none that reads back); `bytes` is a byte or lead << 8 | trail.
struct EncodingChoice {
    std::uint16_t character;
    std::uint32_t bytes;
};

struct CodePageTable {
    std::uint16_t number;
    const std::uint16_t* single;  // 256 entries: a character, LeadByte or NoCharacter
    const DoubleByteRow* rows;    // ends with a row whose `characters` is null and `lead` 0
    const EncodingChoice* choices;  // ends with {0, 0}
};

extern const CodePageTable CodePageTables[7];

}  // namespace tw
