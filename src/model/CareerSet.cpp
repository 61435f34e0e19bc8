#include "model/CareerSet.h"

#include "iff/IFFFile.h"
#include "text/TextCodec.h"

#include <algorithm>
#include <new>

namespace tw {
namespace {

bool IsCareerId(std::uint16_t id) { return static_cast<std::int16_t>(id) > 0; }

// Why a container gave no career: it holds none, or every one it holds is left out (each named
// in the container's problems, the first of them here).
std::string NoCareerReason(const IFFFile& container, std::size_t leftOut) {
    if (leftOut == 0) return "the file holds no career (no CARR resource with an id from 1 to 32767)";
    std::string reason = "none of its " + std::to_string(leftOut) + " careers can be read";
    if (!container.Problems().empty()) reason += "; the first: " + container.Problems().front().reason;
    return reason;
}

}  // namespace

Status CareerSet::LoadCareers(IFFFile& container) {
    careers.clear();
    leftOut.clear();
    // A chunk that the container could not read is named once, by the container.
    auto named = [&container](ResourceType type, std::uint16_t id) {
        for (const ChunkProblem& problem : container.Problems())
            if (problem.type == type && problem.id == id) return true;
        return false;
    };
    // The career being read is left out; `type` and `id` name the chunk that is at fault.
    auto leaveOut = [&](ResourceType type, std::uint16_t id, ChunkHandle chunk, const std::string& reason) {
        if (!named(type, id)) {
            const ChunkRecord* record = container.Store().Resolve(chunk);
            container.AddProblem({type, id, record != nullptr ? record->label : std::string(), reason, true});
        }
        leftOut.push_back(careers.back().id);
        careers.pop_back();
    };
    // A career whose track the container lists but could not read at all is left out too.
    for (const ChunkProblem& problem : container.Problems())
        if (problem.type == TypeCARR && IsCareerId(problem.id) &&
            std::find(leftOut.begin(), leftOut.end(), problem.id) == leftOut.end())
            leftOut.push_back(problem.id);
    try {
        for (auto position = container.LowestIdChunk(TypeCARR); position != container.NoPosition();
             container.NextHigherIdChunk(position)) {
            const ChunkHandle chunk = container.HandleAt(position);
            const ChunkRecord* record = container.Store().Resolve(chunk);
            if (record == nullptr) continue;
            if (!IsCareerId(record->id)) continue;
            const std::uint16_t id = record->id;
            Career& career = careers.emplace_back();
            career.id = id;
            if (!career.track.LoadFromIFF(container, chunk)) {
                leaveOut(TypeCARR, id, chunk, "the career's job levels cannot be decoded; the career is left out");
                continue;
            }
            ChunkHandle textChunk = 0;
            if (!container.FindChunk(textChunk, TypeSTR, id)) {
                leaveOut(TypeCARR, id, chunk, "the career has no texts (no STR# " + std::to_string(id) +
                                                  "); the career is left out");
                continue;
            }
            if (!career.texts.table.LoadFromIFF(container, textChunk)) {
                leaveOut(TypeSTR, id, textChunk, "the career's texts cannot be decoded; the career is left out");
                continue;
            }
            // A save rewrites the job names from the career's texts: a table that does not decode
            // would be lost.
            const auto namesId = static_cast<std::uint16_t>(id + JobNamesIdOffset);
            ChunkHandle namesChunk = 0;
            StringTable names;
            if (container.FindChunk(namesChunk, TypeSTR, namesId) && !names.LoadFromIFF(container, namesChunk)) {
                leaveOut(TypeSTR, namesId, namesChunk,
                         "the career's job names cannot be decoded; the career is left out");
                continue;
            }
        }
    } catch (const std::bad_alloc&) {
        careers.clear();
        return Failure("not enough memory", ErrorKind::System);
    }
    std::sort(leftOut.begin(), leftOut.end());
    leftOut.erase(std::unique(leftOut.begin(), leftOut.end()), leftOut.end());
    // A career that loaded after all (its chunk was found elsewhere) is not left out.
    std::erase_if(leftOut, [this](std::uint16_t id) {
        return std::any_of(careers.begin(), careers.end(), [id](const Career& c) { return c.id == id; });
    });
    if (!careers.empty()) return {};
    return Failure(NoCareerReason(container, leftOut.size()), ErrorKind::Damaged);
}

Status CareerSet::SaveCareers(IFFFile& container) {
    if (Status stored = StoreCareers(container); !stored) return stored;
    return container.SaveIFFFile();
}

Status CareerSet::StoreCareers(IFFFile& container) {
    auto fail = [&](std::size_t career, const char* what) {
        return Failure(std::string(what) + " of the career " + CareerName(career) + " cannot be stored");
    };
    // Nothing loaded: there is nothing that could be written back.
    if (careers.empty()) return Failure("no careers are loaded");
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
    return {};
}

void CareerSet::ClearCards() {
    for (Career& career : careers) career.cards.fill(ChanceCard{});
    otherCards.clear();
}

const std::array<ChanceCard, Career::CardCount>* CareerSet::CardsOf(std::uint16_t id) const {
    for (const Career& career : careers)
        if (career.id == id) return &career.cards;
    for (const auto& [other, cards] : otherCards)
        if (other == id) return &cards;
    return nullptr;
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
