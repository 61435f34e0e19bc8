#include "ExchangeFixture.h"

#include "icons/BitmapFile.h"
#include "iff/IFFFile.h"
#include "util/ByteReader.h"
#include "util/ByteWriter.h"
#include "util/FileStream.h"
#include "util/MemoryStream.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>

namespace tw::test {
namespace {

Bitmap MakeStrip(std::int32_t width, std::int32_t iconHeight, std::uint32_t count) {
    Bitmap strip(width, iconHeight * static_cast<std::int32_t>(count));
    for (std::uint32_t n = 0; n < count; ++n) {
        const Bitmap icon = MakeIcon(width, iconHeight, n);
        for (std::int32_t y = 0; y < iconHeight; ++y)
            for (std::int32_t x = 0; x < width; ++x)
                strip.SetPixel(x, static_cast<std::int32_t>(n) * iconHeight + y, icon.Pixel(x, y));
    }
    return strip;
}

}  // namespace

Bitmap MakeIcon(std::int32_t width, std::int32_t height, std::uint32_t number) {
    Bitmap icon(width, height);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            icon.SetPixel(x, y, (static_cast<std::uint32_t>(x * 3 + static_cast<std::int32_t>(number)) & 0xFF) << 16 |
                                    static_cast<std::uint32_t>(y) << 8 | (number * 29 & 0xFF));
    return icon;
}

void BuildGame(ExchangeGame& game, const std::vector<std::string>& names, const std::vector<std::uint16_t>& ids,
               std::uint32_t popupIcons, std::uint32_t buttonIcons) {
    CareerSet& set = game.careers;
    set = CareerSet{};
    set.cardTexts.FreeAll();
    std::uint16_t nextRow = 1;
    for (std::uint32_t c = 0; c < names.size(); ++c) {
        Career& career = set.careers.emplace_back();
        career.id = ids[c];
        CareerTrack& track = career.track;
        track.name = names[c];
        for (int level = 0; level < 10; ++level) {
            JobLevel job;
            for (std::size_t v = 0; v < JobLevel::ValueCount; ++v)
                job.values[v] = static_cast<std::int32_t>(c * 100 + static_cast<std::uint32_t>(level) * 10 + v) - 50;
            job.texts = {names[c] + " job " + std::to_string(level), "skin-m", "skin-f", "tex", ""};
            track.levels.push_back(job);
        }

        StringTable& texts = career.texts.table;
        for (std::uint16_t row = 0; row < 33; ++row) {
            texts.SetText(row, 0, StringTable::Value, names[c] + " text " + std::to_string(row));
            if (row % 4 == 0) texts.SetText(row, 2, StringTable::Value, "fr " + std::to_string(row));
        }
        texts.SetText(0, 0, StringTable::Comment, "career name");
        AddUnslottedLanguages(texts, names[c]);

        for (std::uint32_t level = 0; level < 10; ++level) {
            ChanceCard& card = career.cards[level];
            if ((level + c) % 3 == 0) {
                card.textRow = nextRow++;
                set.cardTexts.SetFree(card.textRow, false);
                set.cardTexts.Set(card.textRow, 0, names[c] + " card " + std::to_string(level));
                set.cardTexts.Set(card.textRow, 2, "carte " + std::to_string(level));
                card.items = {{4, 2, 312}, {1, level % 2, 100 * level}};
            } else if (level % 2 == 1) {
                card.items = {{2, 0, (10u << 16) | level}};
            }
        }
    }

    MemoryStream popup;
    MemoryStream button;
    ASSERT_TRUE(SaveBitmapFile(popup, MakeStrip(84, IconStrips::PopupIconHeight, popupIcons)));
    ASSERT_TRUE(SaveBitmapFile(button, MakeStrip(112, IconStrips::ButtonIconHeight, buttonIcons)));
    game.icons = IconStrips{};
    ASSERT_TRUE(game.icons.LoadPopupStrip(popup));
    ASSERT_TRUE(game.icons.LoadButtonStrip(button));
}

void BuildStandardGame(ExchangeGame& game) { BuildGame(game, {"Business", "Science", "Xenobiology"}, {1, 3, 4}); }

void AddUnslottedLanguages(StringTable& table, const std::string& name) {
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(table.Encode(bytes));
    ASSERT_TRUE(table.hasLanguage);
    std::uint16_t count = LoadU16Le(bytes.data() + 2);
    auto entry = [&](std::uint8_t code, const std::string& value, const std::string& comment) {
        bytes.push_back(code);
        bytes.insert(bytes.end(), value.begin(), value.end());
        bytes.push_back(0);
        bytes.insert(bytes.end(), comment.begin(), comment.end());
        bytes.push_back(0);
        ++count;
    };
    entry(8, name + " in code 8", "a comment");
    entry(8, "", "");
    for (int row = 0; row < 40; ++row) entry(12, row % 5 == 0 ? name + " row " + std::to_string(row) : "", "");
    StoreU16Le(bytes.data() + 2, count);
    ASSERT_TRUE(table.Decode(bytes));
}

std::vector<std::tuple<std::size_t, int, int, std::string>> NonEmptyTexts(const StringTable& table) {
    std::vector<std::tuple<std::size_t, int, int, std::string>> texts;
    for (std::size_t row = 0; row < table.RowCount(); ++row)
        for (int slot = 0; slot < 16; ++slot)
            for (int which = 0; which < 2; ++which) {
                std::string text;
                table.GetText(static_cast<std::uint16_t>(row), static_cast<std::uint16_t>(slot), which, text);
                if (!text.empty()) texts.emplace_back(row, slot, which, text);
            }
    for (int code = 0; code < 256; ++code)
        for (std::size_t row = 0; row < table.UnslottedRowCount(static_cast<std::uint8_t>(code)); ++row)
            for (int which = 0; which < 2; ++which) {
                std::string text;
                table.GetUnslottedText(static_cast<std::uint8_t>(code), static_cast<std::uint16_t>(row), which, text);
                if (!text.empty()) texts.emplace_back(row, -code, which, text);
            }
    return texts;
}

std::vector<std::uint8_t> EncodedTrack(const CareerTrack& track) {
    CareerTrack copy = track;
    MemoryStream stream;
    EXPECT_TRUE(copy.WriteToStream(stream));
    return stream.Copy();
}

std::vector<std::uint8_t> EncodedTable(const StringTable& table) {
    StringTable copy = table;
    MemoryStream stream;
    EXPECT_TRUE(copy.WriteToStream(stream));
    return stream.Copy();
}

GameSnapshot Snapshot(const ExchangeGame& game) {
    GameSnapshot s;
    const CareerSet& set = game.careers;
    for (const Career& career : set.careers) {
        s.tracks.push_back(EncodedTrack(career.track));
        s.trackHandles.push_back(career.track.handle);
        s.texts.push_back(NonEmptyTexts(career.texts.table));
        s.cards.insert(s.cards.end(), career.cards.begin(), career.cards.end());
        s.ids.push_back(career.id);
    }
    s.cardTexts = NonEmptyTexts(set.cardTexts.table);
    s.cardTextRows = set.cardTexts.table.RowCount();
    for (std::uint16_t row = 0; row <= CardTexts::FlaggedRows; ++row) s.freeCardTextRows[row] = set.cardTexts.IsFree(row);
    s.popupStrip = game.icons.PopupStrip();
    s.buttonStrip = game.icons.ButtonStrip();
    return s;
}

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void RewriteContainer(const std::filesystem::path& from, const std::filesystem::path& to,
                      const std::function<void(IFFFile&)>& edit) {
    ChunkStore store;
    IFFFile container(store);
    {
        const auto file = FileStream::Open(from, FileMode::ReadShared);
        container.AttachFile(*file);
    }
    ASSERT_TRUE(container.OpenIFFFile(nullptr, true));
    ASSERT_TRUE(container.LoadAllChunks());
    edit(container);
    MemoryStream out;
    ASSERT_TRUE(container.SaveIFFFile(&out));
    WriteFileBytes(to, out.Copy());
}

void SetChunk(IFFFile& container, ResourceType type, std::uint16_t id, const std::vector<std::uint8_t>& data) {
    MemoryStream stream(data);
    ASSERT_TRUE(container.ReplaceChunkData(type, id, stream));
}

}  // namespace tw::test
