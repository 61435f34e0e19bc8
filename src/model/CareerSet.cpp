#include "model/CareerSet.h"

#include "iff/IFFFile.h"
#include "util/CodePage.h"
#include "util/MemoryStream.h"

#include <algorithm>
#include <new>

namespace tw {
namespace {

// The rows of a career's texts that hold job names: the male names of levels 0 to 9 (3, 5, ...,
// 21) and the female names (23 to 32).
constexpr std::array<std::uint16_t, 20> JobNameRows = {3,  5,  7,  9,  11, 13, 15, 17, 19, 21,
                                                       23, 24, 25, 26, 27, 28, 29, 30, 31, 32};
constexpr std::uint16_t CareerTextRowCount = 33;
constexpr std::uint16_t MenuSlotCount = 15;

bool IsCareerId(std::uint16_t id) { return static_cast<std::int16_t>(id) > 0; }

}  // namespace

bool CareerSet::LoadCareers(IFFFile& careers) {
    tracks.clear();
    texts.clear();
    cards.clear();
    ids.clear();
    careerCount = 0;

    std::uint32_t count = 0;
    for (auto position = careers.FirstChunkOfType(TypeCARR); position != careers.NoPosition();) {
        const ChunkRecord* record = careers.Store().Resolve(careers.NextChunkOfType(position));
        if (record != nullptr && IFFFile::IsChunkLoaded(*record) && IsCareerId(record->id)) ++count;
    }
    if (count == 0) return false;
    try {
        tracks.resize(count);
        texts.resize(count);
        cards.resize(std::size_t{count} * CardsPerCareer);
        ids.resize(count);
    } catch (const std::bad_alloc&) {
        tracks.clear();
        texts.clear();
        cards.clear();
        ids.clear();
        return false;
    }
    careerCount = count;

    std::uint32_t loaded = 0;
    for (auto position = careers.LowestIdChunk(TypeCARR); position != careers.NoPosition();
         careers.NextHigherIdChunk(position)) {
        const ChunkHandle chunk = careers.HandleAt(position);
        const ChunkRecord* record = careers.Store().Resolve(chunk);
        if (record == nullptr) return false;
        if (!IsCareerId(record->id)) continue;
        // The walk reads chunks that the count did not see (data not read yet); the arrays have
        // no room for them.
        if (loaded == count) return false;
        const std::uint16_t id = record->id;
        ids[loaded] = id;
        if (!tracks[loaded].LoadFromIFF(careers, chunk)) return false;
        ChunkHandle textChunk = 0;
        if (!careers.FindChunk(textChunk, TypeSTR, id)) return false;
        if (!texts[loaded].LoadFromIFF(careers, textChunk)) return false;
        ++loaded;
    }
    // Chunks sharing an id were counted once each but are one career.
    if (loaded < count) {
        tracks.resize(loaded);
        texts.resize(loaded);
        cards.resize(std::size_t{loaded} * CardsPerCareer);
        ids.resize(loaded);
        careerCount = loaded;
    }
    return loaded > 0;
}

bool CareerSet::SaveCareers(IFFFile& careers) { return StoreCareers(careers) && careers.SaveIFFFile(); }

bool CareerSet::StoreCareers(IFFFile& careers, std::string* reason) {
    auto fail = [&](std::uint32_t career, const char* what) {
        if (reason != nullptr) *reason = std::string(what) + " of the career " + CareerName(career) + " cannot be stored";
        return false;
    };
    // Nothing loaded (or arrays cut short): there is nothing that could be written back.
    if (careerCount == 0 || tracks.size() < careerCount || texts.size() < careerCount || ids.size() < careerCount) {
        if (reason != nullptr) *reason = "no careers are loaded";
        return false;
    }
    for (std::uint32_t career = 0; career < careerCount; ++career) {
        StringTable& careerTexts = texts[career];
        if (!tracks[career].SaveToIFF(careers)) return fail(career, "the job levels");
        if (!careerTexts.SaveToIFF(careers)) return fail(career, "the texts");

        // The game takes job names from a second table; keep its names in step with ours.
        const auto namesId = static_cast<std::uint16_t>(ids[career] + JobNamesIdOffset);
        ChunkHandle namesChunk = 0;
        if (!careers.FindChunk(namesChunk, TypeSTR, namesId)) {
            MemoryStream whole;
            if (careerTexts.WriteToStream(whole)) careers.AddChunk(TypeSTR, namesId, "Strings", whole);
            continue;
        }
        StringTable names;
        if (!names.LoadFromIFF(careers, namesChunk)) return fail(career, "the job names");
        for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot) {
            for (std::uint16_t row : JobNameRows) {
                std::string text;
                if (careerTexts.GetText(row, slot, StringTable::Value, text))
                    names.SetText(row, slot, StringTable::Value, text);
            }
        }
        if (!names.SaveToIFF(careers)) return fail(career, "the job names");
    }
    return true;
}

void CareerSet::CopyTextsToAllLanguages(std::uint32_t career, std::uint16_t slot) {
    if (career >= texts.size()) return;
    StringTable& table = texts[career];
    for (std::uint16_t row = 0; row < CareerTextRowCount; ++row) {
        std::string text;
        if (!table.GetText(row, slot, StringTable::Value, text)) continue;
        for (std::uint16_t target = 0; target < MenuSlotCount; ++target) {
            if (target != slot) table.SetText(row, target, StringTable::Value, text);
        }
    }
}

void CareerSet::CopyCardTextsToAllLanguages(std::uint32_t career, std::uint16_t slot) {
    for (std::uint32_t level = 0; level < CardsPerCareer; ++level) {
        const std::size_t index = std::size_t{career} * CardsPerCareer + level;
        if (index >= cards.size()) return;
        const std::uint16_t textRow = cards[index].textRow;
        if (textRow == 0) continue;
        std::string text;
        const auto row = static_cast<std::uint16_t>(textRow - 1);
        if (!cardTexts.GetText(row, slot, StringTable::Value, text)) continue;
        for (std::uint16_t target = 0; target < MenuSlotCount; ++target) {
            if (target != slot) cardTexts.SetText(row, target, StringTable::Value, text);
        }
    }
}

std::string CareerSet::CareerName(std::size_t career) const {
    if (career < tracks.size()) return "\"" + DecodeToUtf8(tracks[career].name, CodePage::Windows1252) + "\"";
    return std::to_string(career);
}

std::size_t CareerSet::CareersWithCards() const {
    return std::min<std::size_t>({careerCount, ids.size(), cards.size() / CardsPerCareer});
}

}  // namespace tw
