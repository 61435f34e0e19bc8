// Reads arbitrary text as a document to apply to two sample careers, in both text forms. Every
// problem names its reason; a document that was accepted, read again against the careers it
// made, is accepted and changes nothing.
#include "edit/ApplyDocument.h"
#include "sample/SampleCareerData.h"
#include "util/JsonReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

// The first two sample careers with the card texts of their cards (rows 1 to 16), the other
// rows free as a load finds them; small enough for documents of the fuzzer's length.
const tw::CareerSet& Loaded() {
    static const tw::CareerSet set = [] {
        tw::CareerSet all = tw::BuildSampleCareerData(1).careers;
        tw::CareerSet two;
        two.careers.assign(all.careers.begin(), all.careers.begin() + 2);
        for (std::uint16_t row = 0; row < 16; ++row) {
            for (std::uint16_t slot = 0; slot < tw::StringTable::SlotCount; ++slot) {
                std::string text;
                all.cardTexts.table.GetText(row, slot, tw::StringTable::Value, text);
                two.cardTexts.table.SetText(row, slot, tw::StringTable::Value, text);
            }
        }
        two.cardTexts.FreeAll();
        for (const tw::Career& career : two.careers)
            for (const tw::ChanceCard& card : career.cards) two.cardTexts.SetFree(card.textRow, false);
        return two;
    }();
    return set;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto document = tw::ParseJson(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!document) return 0;
    for (tw::DocumentTexts texts : {tw::DocumentTexts::Bytes, tw::DocumentTexts::Utf8}) {
        const tw::DocumentReading reading = tw::ReadDocument(Loaded(), false, *document, texts);
        for (const tw::JsonProblem& problem : reading.problems)
            if (problem.reason.empty()) __builtin_trap();
        if (!reading.problems.empty()) continue;
        tw::CareerSet applied;
        applied.careers = reading.careers;
        applied.cardTexts = reading.cardTexts;
        const tw::DocumentReading again = tw::ReadDocument(applied, false, *document, texts);
        if (!again.problems.empty() || again.changed) __builtin_trap();
    }
    return 0;
}
