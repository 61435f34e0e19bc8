#pragma once

#include "util/Error.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tw {

// One message of a gettext PO file. Strings are UTF-8, without their C escapes.
struct PoEntry {
    std::vector<std::string> translatorComments;  // "# ..." lines
    std::vector<std::string> extractedComments;   // "#. ..." lines
    std::vector<std::string> references;          // "#: ..." lines
    std::vector<std::string> flags;               // from "#, fuzzy, c-format"
    std::optional<std::string> context;           // msgctxt
    std::string id;                               // msgid
    std::optional<std::string> idPlural;          // msgid_plural: read, not used
    std::string str;                              // msgstr, or msgstr[0] of a plural entry
    std::vector<std::string> pluralStrs;          // msgstr[1], msgstr[2], ...

    bool HasFlag(std::string_view flag) const;
    bool Fuzzy() const { return HasFlag("fuzzy"); }
    bool operator==(const PoEntry&) const = default;
};

// A PO file: its header's fields ("Language", "de") in their order, the header entry's own
// translator comments, and every other entry that is not obsolete ("#~"), in file order.
struct PoCatalog {
    std::vector<std::pair<std::string, std::string>> header;
    std::vector<std::string> headerComments;
    std::vector<PoEntry> entries;

    // The value of header field `name` (compared without regard to case); none when missing.
    std::optional<std::string> HeaderField(std::string_view name) const;
    bool operator==(const PoCatalog&) const = default;
};

// The catalog as a PO file as gettext's tools write one: "\n" line ends, strings that hold line
// breaks or are long split over lines, controls as C escapes.
std::string WritePo(const PoCatalog& catalog);

// Reads a PO file in UTF-8: a BOM, CRLF line ends, multi-line strings, obsolete and previous
// ("#|") entries and plural entries are all accepted. A malformed file (a string without its
// quotes, an unknown escape, a keyword out of place, a msgid without msgstr, an entry given
// twice, bytes that are not UTF-8 or a charset other than UTF-8) gives a failure that names the
// line: "line 12: ...".
Expected<PoCatalog> ReadPo(std::string_view text);

}  // namespace tw
