#pragma once

#include "support/TempFolder.h"

#include "icons/Bitmap.h"
#include "icons/IconStrips.h"
#include "model/CareerSet.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace tw {
class IFFFile;
}

namespace tw::test {

// A small game built in code: careers with job levels, texts in two languages, chance cards
// with texts, and icon strips whose every icon has pixels of its own.
struct ExchangeGame {
    CareerSet careers;
    IconStrips icons;
};

// Careers `names` with resource ids `ids`. Career c has card texts at the levels where
// (level + c) % 3 == 0, with text rows numbered from 1 in career and level order; every other
// row up to 300 is free. Each career's texts also hold two languages without a slot, with texts
// naming the career (AddUnslottedLanguages). The strips hold `popupIcons` and `buttonIcons` icons.
void BuildGame(ExchangeGame& game, const std::vector<std::string>& names, const std::vector<std::uint16_t>& ids,
               std::uint32_t popupIcons = 6, std::uint32_t buttonIcons = 6);
void BuildStandardGame(ExchangeGame& game);  // "Business" 1, "Science" 3, "Xenobiology" 4

// The icon with pixels of its own for `number` in a strip of the given width and icon height.
Bitmap MakeIcon(std::int32_t width, std::int32_t height, std::uint32_t number);

// Everything an import may change, for comparing the whole game before and after.
struct GameSnapshot {
    std::vector<std::vector<std::uint8_t>> tracks;
    std::vector<ChunkHandle> trackHandles;
    std::vector<std::vector<std::tuple<std::size_t, int, int, std::string>>> texts;
    std::vector<ChanceCard> cards;
    std::vector<std::uint16_t> ids;
    std::vector<std::tuple<std::size_t, int, int, std::string>> cardTexts;
    std::size_t cardTextRows = 0;
    std::array<bool, 301> freeCardTextRows{};
    Bitmap popupStrip;
    Bitmap buttonStrip;

    bool operator==(const GameSnapshot&) const = default;
};
GameSnapshot Snapshot(const ExchangeGame& game);

// Gives `table` texts in two languages that have no slot, as a game's file may hold them (only
// decoding makes them): code 8 with 2 rows, fewer than the table's, and code 12 with 40, more.
void AddUnslottedLanguages(StringTable& table, const std::string& name);
// Every (row, slot, which, text) of a table whose text is not empty; the texts of a language
// without a slot stand under the slot -code.
std::vector<std::tuple<std::size_t, int, int, std::string>> NonEmptyTexts(const StringTable& table);
// The encoded career track.
std::vector<std::uint8_t> EncodedTrack(const CareerTrack& track);
// The encoded string table.
std::vector<std::uint8_t> EncodedTable(const StringTable& table);

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// Rewrites the container file at `from` into `to` after `edit` has changed it (all chunks loaded).
void RewriteContainer(const std::filesystem::path& from, const std::filesystem::path& to,
                      const std::function<void(IFFFile&)>& edit);
// Makes `data` the data of chunk (type, id).
void SetChunk(IFFFile& container, ResourceType type, std::uint16_t id, const std::vector<std::uint8_t>& data);

}  // namespace tw::test
