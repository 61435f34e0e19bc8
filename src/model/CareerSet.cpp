#include "model/CareerSet.h"

#include "iff/IFFFile.h"
#include "util/CodePage.h"

#include <algorithm>
#include <new>

namespace tw {
namespace {

bool IsCareerId(std::uint16_t id) { return static_cast<std::int16_t>(id) > 0; }

}  // namespace

bool CareerSet::LoadCareers(IFFFile& container) {
    careers.clear();
    try {
        for (auto position = container.LowestIdChunk(TypeCARR); position != container.NoPosition();
             container.NextHigherIdChunk(position)) {
            const ChunkHandle chunk = container.HandleAt(position);
            const ChunkRecord* record = container.Store().Resolve(chunk);
            if (record == nullptr) return false;
            if (!IsCareerId(record->id)) continue;
            Career& career = careers.emplace_back();
            career.id = record->id;
            if (!career.track.LoadFromIFF(container, chunk)) return false;
            ChunkHandle textChunk = 0;
            if (!container.FindChunk(textChunk, TypeSTR, career.id)) return false;
            if (!career.texts.table.LoadFromIFF(container, textChunk)) return false;
        }
    } catch (const std::bad_alloc&) {
        careers.clear();
        return false;
    }
    return !careers.empty();
}

bool CareerSet::SaveCareers(IFFFile& container) { return StoreCareers(container) && container.SaveIFFFile(); }

bool CareerSet::StoreCareers(IFFFile& container, std::string* reason) {
    auto fail = [&](std::size_t career, const char* what) {
        if (reason != nullptr) *reason = std::string(what) + " of the career " + CareerName(career) + " cannot be stored";
        return false;
    };
    // Nothing loaded: there is nothing that could be written back.
    if (careers.empty()) {
        if (reason != nullptr) *reason = "no careers are loaded";
        return false;
    }
    for (std::size_t index = 0; index < careers.size(); ++index) {
        Career& career = careers[index];
        if (!career.track.SaveToIFF(container)) return fail(index, "the job levels");
        if (!career.texts.table.SaveToIFF(container)) return fail(index, "the texts");

        // The game takes job names from a second table; keep its names in step with ours.
        const auto namesId = static_cast<std::uint16_t>(career.id + JobNamesIdOffset);
        ChunkHandle namesChunk = 0;
        if (!container.FindChunk(namesChunk, TypeSTR, namesId)) {
            std::vector<std::uint8_t> whole;
            if (career.texts.table.Encode(whole)) container.AddChunk(TypeSTR, namesId, "Strings", std::move(whole));
            continue;
        }
        StringTable names;
        if (!names.LoadFromIFF(container, namesChunk)) return fail(index, "the job names");
        career.texts.UpdateJobNames(names);
        if (!names.SaveToIFF(container)) return fail(index, "the job names");
    }
    return true;
}

void CareerSet::ClearCards() {
    for (Career& career : careers) career.cards.fill(ChanceCard{});
}

LanguageSet CareerSet::CopyCardTextsToAllLanguages(std::uint32_t career, std::uint16_t slot) {
    LanguageSet lost;
    if (career >= careers.size()) return lost;
    for (const ChanceCard& card : careers[career].cards) {
        if (card.textRow == 0) continue;
        const std::optional<std::string> text = cardTexts.Get(card.textRow, slot);
        if (!text) continue;
        for (std::uint16_t target = 0; target < CareerTexts::MenuSlotCount; ++target) {
            if (target == slot) continue;
            const ConvertedText converted = ConvertText(*text, SlotCodePage(slot), SlotCodePage(target));
            cardTexts.Set(card.textRow, target, converted.bytes);
            if (converted.lost) lost.set(target);
        }
    }
    return lost;
}

std::string CareerSet::CareerName(std::size_t career) const {
    if (career < careers.size()) return "\"" + DecodeToUtf8(careers[career].track.name, CodePage::Windows1252) + "\"";
    return std::to_string(career);
}

}  // namespace tw
