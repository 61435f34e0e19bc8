#include "edit/TranslationCatalog.h"

#include "model/Languages.h"
#include "text/CodePage.h"
#include "text/LineBreakForms.h"
#include "text/TextCodec.h"
#include "text/Utf8.h"
#include "util/HostPath.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <map>

namespace tw {
namespace {

constexpr std::array<const char*, 16> LanguageCodes = {"en_US", "en_GB", "fr", "de", "it", "es", "nl", "sv",
                                                       "pt",    "ja",    "pl", "zh_TW", "zh_CN", "th", "ko", "und"};
// How much of a msgid a refusal quotes.
constexpr std::size_t QuotedLength = 40;

// A stored text as the PO file holds it: UTF-8, with the game's CR LF line breaks as "\n".
// An import gives them back in the form the stored text has (StoredLineBreaks).
std::string Exported(const std::string& bytes, std::uint16_t slot) {
    return ShownLineBreaks(DecodeToUtf8(bytes, SlotCodePage(slot)));
}

// A comment as the lines of a PO file; none for an empty one. A CR at a line's end is left out:
// the file would read it as part of the line end.
std::vector<std::string> CommentLines(const std::string& bytes, std::uint16_t slot) {
    std::vector<std::string> lines;
    const std::string text = Exported(bytes, slot);
    if (text.empty()) return lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        while (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

std::string Context(const CareerSet& set, const TranslatableText& text) {
    return "Career #" + std::to_string(set.careers[text.career].id) + ": " + TranslatableLabel(text);
}

// A msgid as a refusal names it: on one line, long ones cut short.
std::string Quoted(const std::string& text) {
    std::string out;
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) {
        const Utf8Char c = NextUtf8(text, at);
        if (count == QuotedLength) {
            out += "...";
            break;
        }
        const std::string_view piece = std::string_view(text).substr(at, c.size);
        out += piece == "\n" ? std::string_view("\\n") : piece;
        at += c.size;
    }
    return "\"" + out + "\"";
}

// Why the code page of `slot` cannot hold `text`: the characters it lacks, by name.
std::string Unencodable(const std::string& text, std::uint16_t slot) {
    std::string lacking;
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Char c = NextUtf8(text, at);
        if (c.codePoint && !CanEncode(*c.codePoint, SlotCodePage(slot))) {
            const std::string shown = text.substr(at, c.size);
            if (lacking.find(shown) == std::string::npos)
                lacking += (lacking.empty() ? "" : ", ") + shown + " (" + CharacterName(*c.codePoint) + ")";
        }
        at += c.size;
    }
    const std::string language = slot < LanguageNames.size() ? LanguageNames[slot] : "slot " + std::to_string(slot);
    if (lacking.empty()) return "the text cannot be stored in " + language + "'s code page";
    return "the code page of " + language + " has no " + lacking;
}

}  // namespace

std::string TranslationLanguageCode(std::uint16_t slot) {
    return slot < LanguageCodes.size() ? LanguageCodes[slot] : std::string();
}

std::optional<std::uint16_t> TranslationSlotNamed(const std::string& name) {
    const bool digits = std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!name.empty() && name.size() <= 2 && digits) {
        const int slot = std::stoi(name);
        if (slot < StringTable::SlotCount) return static_cast<std::uint16_t>(slot);
        return std::nullopt;
    }
    for (std::size_t slot = 0; slot < LanguageNames.size(); ++slot)
        if (EqualsIgnoringCase(name, LanguageNames[slot])) return static_cast<std::uint16_t>(slot);
    return std::nullopt;
}

std::string PoRevisionDateNow() {
    using namespace std::chrono;
    const auto now = floor<minutes>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss time{now - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d+0000", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()));
    return text;
}

PoCatalog ExportTranslations(const CareerSet& set, bool withCards, std::uint16_t slot,
                             const std::string& revisionDate) {
    PoCatalog catalog;
    catalog.header = {{"Project-Id-Version", "The Sims careers"},
                      {"PO-Revision-Date", revisionDate},
                      {"Last-Translator", ""},
                      {"Language-Team", ""},
                      {"Language", TranslationLanguageCode(slot)},
                      {"MIME-Version", "1.0"},
                      {"Content-Type", "text/plain; charset=UTF-8"},
                      {"Content-Transfer-Encoding", "8bit"},
                      {SlotHeaderField, std::to_string(slot)}};
    for (const TranslatableText& text : AllTranslatableTexts(set, withCards)) {
        const std::string source = TranslatableBytes(set, text, 0);
        if (source.empty()) continue;
        PoEntry entry;
        entry.context = Context(set, text);
        entry.id = Exported(source, 0);
        entry.str = Exported(TranslatableBytes(set, text, slot), slot);
        entry.extractedComments = CommentLines(TranslatableBytes(set, text, 0, StringTable::Comment), 0);
        entry.translatorComments = CommentLines(TranslatableBytes(set, text, slot, StringTable::Comment), slot);
        catalog.entries.push_back(std::move(entry));
    }
    return catalog;
}

Expected<std::uint16_t> TranslationSlot(const PoCatalog& catalog) {
    if (const std::optional<std::string> field = catalog.HeaderField(SlotHeaderField)) {
        const std::optional<std::uint16_t> slot = TranslationSlotNamed(*field);
        if (slot && std::isdigit(static_cast<unsigned char>(field->front())))
            return *slot;
        return Failure("the file's " + std::string(SlotHeaderField) + " \"" + *field +
                       "\" is no language slot (0 to 15)");
    }
    const std::optional<std::string> field = catalog.HeaderField("Language");
    if (!field || field->empty()) return Failure("the file does not say which language it holds");
    // "pt_BR.UTF-8@euro" is "pt_BR"; a country the game has no language of falls back to the
    // language alone when the game has it once.
    const std::string code = field->substr(0, field->find_first_of(".@"));
    std::optional<std::uint16_t> byLanguage;
    int sameLanguage = 0;
    for (std::uint16_t slot = 0; slot < LanguageCodes.size(); ++slot) {
        const std::string known = LanguageCodes[slot];
        if (EqualsIgnoringCase(known, code)) return slot;
        if (EqualsIgnoringCase(known.substr(0, known.find('_')), code.substr(0, code.find('_')))) {
            byLanguage = slot;
            ++sameLanguage;
        }
    }
    if (sameLanguage == 1) return *byLanguage;
    return Failure("the file's language \"" + *field + "\" is " +
                   (sameLanguage > 1 ? "more than one of the game's" : "none of the game's"));
}

TranslationPlan PlanTranslationImport(const CareerSet& set, bool withCards, const PoCatalog& catalog,
                                      std::uint16_t slot) {
    TranslationPlan plan;
    std::map<std::string, TranslatableText> texts;
    for (const TranslatableText& text : AllTranslatableTexts(set, withCards)) texts.emplace(Context(set, text), text);
    const CodePage page = SlotCodePage(slot);
    for (const PoEntry& entry : catalog.entries) {
        if (entry.Fuzzy()) continue;
        const std::string name =
            "\"" + entry.context.value_or("") + "\" " + Quoted(entry.id) + ": ";
        const auto found = entry.context ? texts.find(*entry.context) : texts.end();
        if (found == texts.end()) {
            plan.refused.push_back(name + "no such text in this game");
            continue;
        }
        const TranslatableText& text = found->second;
        if (entry.id != Exported(TranslatableBytes(set, text, 0), 0)) {
            plan.refused.push_back(name + "the text to translate is no longer this one");
            continue;
        }
        if (entry.str.empty()) continue;
        bool changed = false;
        const std::string stored = TranslatableBytes(set, text, slot);
        if (entry.str != Exported(stored, slot)) {
            const std::optional<std::string> bytes = EncodeFromUtf8(StoredLineBreaks(entry.str, stored), page);
            if (!bytes) {
                plan.refused.push_back(name + Unencodable(entry.str, slot));
                continue;
            }
            plan.edits.push_back({text, StringTable::Value, *bytes});
            changed = true;
        }
        const std::string comment = TranslatableBytes(set, text, slot, StringTable::Comment);
        if (entry.translatorComments != CommentLines(comment, slot)) {
            std::string joined;
            for (std::size_t i = 0; i < entry.translatorComments.size(); ++i)
                joined += (i == 0 ? "" : "\n") + entry.translatorComments[i];
            const std::optional<std::string> bytes = EncodeFromUtf8(StoredLineBreaks(joined, comment), page);
            if (!bytes) {
                plan.refused.push_back(name + "its comment: " + Unencodable(joined, slot));
                continue;
            }
            plan.edits.push_back({text, StringTable::Comment, *bytes});
            changed = true;
        }
        if (changed) ++plan.textsChanged;
    }
    if (!plan.refused.empty()) {
        plan.edits.clear();
        plan.textsChanged = 0;
    }
    return plan;
}

}  // namespace tw
