#include "exchange/ExchangeFormat.h"

#include "model/CareerSet.h"
#include "util/ByteReader.h"
#include "util/ByteWriter.h"

#include <cstring>
#include <string_view>

namespace tw {
namespace {

constexpr std::uint8_t EndOfTexts = 0xFF;
constexpr std::size_t CardItemSize = 12;

}  // namespace

std::vector<std::uint8_t> MakeInformationHeader(std::uint32_t exportType) {
    ByteWriter out;
    out.PutU32Le(exportType);
    const std::string_view text = exportType == ExportTypeBackup ? BackupVersionText : TrackVersionText;
    out.PutText(text);
    out.PutZeros(InformationHeaderSize - out.Size());
    return out.Take();
}

std::vector<std::uint8_t> EncodeCardBlocks(const CareerSet& careers, std::uint32_t career) {
    ByteWriter out;
    out.PutText("CARD");
    out.PutU32Le(CardBlockCount);
    for (std::uint32_t level = 0; level < CardBlockCount; ++level) {
        const ChanceCard& card = careers.careers.at(career).cards[level];
        // A card without items is never shown by the game, so its text is not carried along.
        if (card.textRow != 0 && !card.items.empty()) {
            for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot) {
                const std::string text = careers.cardTexts.Get(card.textRow, slot).value_or("");
                // The text ends at its first NUL in the file; anything after it would be read as
                // the next entry.
                out.PutU8(static_cast<std::uint8_t>(slot));
                out.PutCString(std::string_view(text.c_str()));
            }
        }
        out.PutU8(EndOfTexts);
        out.PutU32Le(static_cast<std::uint32_t>(card.items.size()));
        for (const CardItem& item : card.items) {
            out.PutU32Le(item.kind);
            out.PutU32Le(item.parameter);
            out.PutU32Le(item.value);
        }
    }
    return out.Take();
}

bool DecodeCardBlocks(std::span<const std::uint8_t> data, CardBlocks& out) {
    if (data.size() < 8 || std::memcmp(data.data(), "CARD", 4) != 0 || LoadU32Le(data.data() + 4) != CardBlockCount)
        return false;
    ByteReader reader(data, 8);
    for (CardBlock& block : out) {
        block = CardBlock{};
        std::uint8_t next = reader.U8();
        while (reader.Ok() && next != EndOfTexts) {
            block.hasTexts = true;
            std::string text = reader.CString();
            if (!reader.Ok()) return false;
            block.texts.emplace_back(next, std::move(text));
            next = reader.U8();
        }
        const std::uint32_t count = reader.U32Le();
        if (!reader.Ok() || count > reader.Remaining() / CardItemSize) return false;
        block.items.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            CardItem item;
            item.kind = reader.U32Le();
            item.parameter = reader.U32Le();
            item.value = reader.U32Le();
            block.items.push_back(item);
        }
    }
    return reader.Ok();
}

}  // namespace tw
