#pragma once

#include "model/Career.h"

#include "model/CardItem.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace tw {

class CareerSet;

// The career exchange files: an exported career track and the backup of all careers. Both are
// IFF containers; one track is six chunks of one id (CAR#, STR#, CARD, BMP1, BMP2, INFO), 0 in
// an export and career index + 1 in a backup, whose INFO id 0 lists the stored career indices.

// Export types of the information header.
inline constexpr std::uint32_t ExportTypeTrack = 1;
inline constexpr std::uint32_t ExportTypeBackup = 2;

// Information header (INFO data), little-endian:
//   0  u32 export type
//   4  28 bytes: the version text and NUL bytes
//   32 (backup only) u32 career index per stored career, in the order stored
inline constexpr std::size_t InformationHeaderSize = 32;
inline constexpr char TrackVersionText[] = "Exported Career Track v1.0";
inline constexpr char BackupVersionText[] = "Backup of All Careers v1.0";

inline constexpr char PopupLabel[] = "Popup";
inline constexpr char ButtonLabel[] = "Button";
inline constexpr char InformationLabel[] = "Information header";

// The icon sizes that a stored track must have.
inline constexpr std::int32_t PopupIconWidth = 84;
inline constexpr std::int32_t ButtonIconWidth = 112;

// The 32-byte information header of an export type: the type and its version text.
std::vector<std::uint8_t> MakeInformationHeader(std::uint32_t exportType);

// One card block of the CARD data as read, before the card is given a text row.
struct CardBlock {
    bool hasTexts = false;
    // (language slot, value text) in the order stored.
    std::vector<std::pair<std::uint8_t, std::string>> texts;
    std::vector<CardItem> items;

    bool operator==(const CardBlock&) const = default;
};

inline constexpr std::uint32_t CardBlockCount = Career::CardCount;
using CardBlocks = std::array<CardBlock, CardBlockCount>;

// CARD data, little-endian: "CARD", u32 10, then one block per job level 0 to 9:
//   texts (only when the card has a text row and items): per slot 0 to 15 a slot byte and the
//   card's value text in that slot, NUL-terminated
//   0xFF, the end of the texts
//   u32 item count, then per item u32 kind, u32 parameter, u32 value
//
// The CARD data of one career's ten chance cards.
std::vector<std::uint8_t> EncodeCardBlocks(const CareerSet& careers, std::uint32_t career);

// Reads CARD data. False for a wrong header, and for blocks, texts or items that run past the
// end of the data; `out` then holds what was read before. Bytes after the tenth block are ignored.
bool DecodeCardBlocks(std::span<const std::uint8_t> data, CardBlocks& out);

}  // namespace tw
