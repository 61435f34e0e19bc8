#pragma once

#include "model/CardTexts.h"
#include "model/CareerSet.h"
#include "util/JsonValue.h"
#include "util/StrictJsonReader.h"

#include <string>
#include <vector>

namespace tw {

// How the texts of a document are written: as byte strings (each byte the character with the
// same number) or as UTF-8 decoded from each language slot's code page.
enum class DocumentTexts { Bytes, Utf8 };

// The careers and chance cards as a document says they should be.
struct DocumentReading {
    std::vector<JsonProblem> problems;
    // Meaningful only without problems: the loaded careers and card texts with the document's
    // values, and whether any of them differs from the loaded ones.
    std::vector<Career> careers;
    CardTexts cardTexts;
    bool changed = false;
    // With byte-string texts, one per string table row (path, "row N: ...") where a changed value
    // holds the bytes of another language's value that its code page reads as other characters.
    std::vector<JsonProblem> warnings;
};

// Reads a document of the shape that the command-line tool's `dump` prints against the loaded
// careers `loaded`: the same careers in the same order with the same number of levels; everything
// else (names, level values and texts, string tables, cards, card texts and free text rows) is the
// new state. Only what differs from the loaded state is checked, as the editor's dialogs check it
// on OK; a problem between two places is reported at the later one (in the order in which `dump`
// writes them). With `chanceCardsDisabled`, the cards are those `dump` shows (no text, no items,
// no card texts, no free rows) and any change to them is refused.
// Malformed documents (wrong shapes, unknown, duplicate or missing keys, numbers that are not
// integers) give problems, never a failure of their own.
DocumentReading ReadDocument(const CareerSet& loaded, bool chanceCardsDisabled, const JsonValue& document,
                             DocumentTexts texts);

}  // namespace tw
