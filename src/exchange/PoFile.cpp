#include "exchange/PoFile.h"

#include "text/Utf8.h"
#include "util/HostPath.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <tuple>

namespace tw {
namespace {

// gettext's tools keep each line of a PO file within 79 columns.
constexpr std::size_t LineWidth = 79;
// msgstr[N] indices beyond this are no plural form any language has.
constexpr std::size_t MaxPluralForms = 100;

std::string_view Trimmed(std::string_view text, std::string_view blanks = " \t") {
    while (!text.empty() && blanks.find(text.front()) != std::string_view::npos) text.remove_prefix(1);
    while (!text.empty() && blanks.find(text.back()) != std::string_view::npos) text.remove_suffix(1);
    return text;
}

bool ValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Char c = NextUtf8(text, at);
        if (!c.codePoint) return false;
        at += c.size;
    }
    return true;
}

// --- Writing ---------------------------------------------------------------------------------

std::string Escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case '\a': out += "\\a"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\v': out += "\\v"; break;
            default: {
                const auto byte = static_cast<unsigned char>(c);
                if (byte < 0x20 || byte == 0x7F) {
                    out += '\\';
                    out += static_cast<char>('0' + (byte >> 6));
                    out += static_cast<char>('0' + ((byte >> 3) & 7));
                    out += static_cast<char>('0' + (byte & 7));
                } else {
                    out += c;
                }
            }
        }
    }
    return out;
}

// The escaped lines of a string: one after each line break, and long ones broken after a space
// (never inside an escape or a character, which hold no space).
std::vector<std::string> StringLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
        std::string line = Escaped(text.substr(start, end - start));
        constexpr std::size_t room = LineWidth - 2;  // the quotes
        while (line.size() > room) {
            std::size_t cut = line.rfind(' ', room - 1);
            if (cut == std::string::npos) cut = line.find(' ', room);
            if (cut == std::string::npos || cut + 1 == line.size()) break;
            lines.push_back(line.substr(0, cut + 1));
            line.erase(0, cut + 1);
        }
        lines.push_back(std::move(line));
        start = end;
    }
    return lines;
}

void WriteString(std::string& out, std::string_view keyword, std::string_view text) {
    const std::vector<std::string> lines = StringLines(text);
    if (lines.size() <= 1) {
        const std::string line = lines.empty() ? std::string() : lines.front();
        if (keyword.size() + line.size() + 3 <= LineWidth) {
            out.append(keyword).append(" \"").append(line).append("\"\n");
            return;
        }
    }
    out.append(keyword).append(" \"\"\n");
    for (const std::string& line : lines) out.append("\"").append(line).append("\"\n");
}

void WriteComments(std::string& out, std::string_view mark, const std::vector<std::string>& comments) {
    for (const std::string& comment : comments) {
        // A comment that holds line breaks goes on as many lines.
        std::size_t start = 0;
        do {
            const std::size_t end = std::min(comment.find('\n', start), comment.size());
            const std::string_view line = std::string_view(comment).substr(start, end - start);
            out.append(mark);
            if (!line.empty()) out.append(" ").append(line);
            out += '\n';
            start = end + 1;
        } while (start <= comment.size());
    }
}

void WriteEntry(std::string& out, const PoEntry& entry) {
    WriteComments(out, "#", entry.translatorComments);
    WriteComments(out, "#.", entry.extractedComments);
    WriteComments(out, "#:", entry.references);
    if (!entry.flags.empty()) {
        out += "#,";
        for (std::size_t i = 0; i < entry.flags.size(); ++i) out += (i == 0 ? " " : ", ") + entry.flags[i];
        out += '\n';
    }
    if (entry.context) WriteString(out, "msgctxt", *entry.context);
    WriteString(out, "msgid", entry.id);
    if (entry.idPlural) {
        WriteString(out, "msgid_plural", *entry.idPlural);
        WriteString(out, "msgstr[0]", entry.str);
        for (std::size_t i = 0; i < entry.pluralStrs.size(); ++i)
            WriteString(out, "msgstr[" + std::to_string(i + 1) + "]", entry.pluralStrs[i]);
    } else {
        WriteString(out, "msgstr", entry.str);
    }
}

// --- Reading ---------------------------------------------------------------------------------

class PoReader {
public:
    explicit PoReader(std::string_view text) : text_(text) {}

    Expected<PoCatalog> Read() {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);
        std::size_t start = 0;
        while (start < text_.size()) {
            ++line_;
            std::size_t end = text_.find('\n', start);
            if (end == std::string_view::npos) end = text_.size();
            std::string_view line = text_.substr(start, end - start);
            start = end + 1;
            // CR LF line ends, and a CR left before one by a conversion done twice.
            while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            if (Status read = ReadLine(line); !read) return std::move(read).Err();
        }
        if (Status last = Finish(); !last) return std::move(last).Err();
        return std::move(catalog_);
    }

private:
    Error Fail(const std::string& why, std::size_t line = 0) const {
        return Failure("line " + std::to_string(line != 0 ? line : line_) + ": " + why, ErrorKind::Damaged);
    }

    Status ReadLine(std::string_view line) {
        if (!ValidUtf8(line)) return Fail("bytes that are not UTF-8");
        // No text of the game can hold it, and no PO file may: its escape is refused as well.
        if (line.find('\0') != std::string_view::npos) return Fail("a NUL byte");
        // Comments keep the spaces at their ends, as they were written.
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (line.empty()) {
            // A blank line ends an entry: a string after it continues nothing.
            return hasStr_ ? Finish() : Status{};
        }
        if (line.substr(0, 2) == "#~") {
            // An obsolete entry takes the comments above it along.
            if (hasStr_) {
                if (Status done = Finish(); !done) return done;
            } else if (!hasId_ && !hasContext_) {
                entry_ = PoEntry{};
            } else {
                return Fail("an obsolete line inside an entry");
            }
            target_ = nullptr;
            return {};
        }
        if (line.front() == '#') return ReadComment(line);
        line = Trimmed(line);
        if (line.front() == '"') {
            if (target_ == nullptr) return Fail("a string without its keyword");
            return ReadString(line, *target_);
        }
        const std::size_t wordEnd = std::min(line.find_first_of(" \t\""), line.size());
        return ReadKeyword(line.substr(0, wordEnd), line.substr(wordEnd));
    }

    Status ReadComment(std::string_view line) {
        if (hasStr_) {
            if (Status done = Finish(); !done) return done;
        } else if (hasId_ || hasContext_) {
            return Fail("a comment inside an entry");
        }
        target_ = nullptr;
        const char kind = line.size() > 1 ? line[1] : ' ';
        const auto rest = [&](std::size_t from) {
            std::string_view text = line.substr(std::min(from, line.size()));
            if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
            return std::string(text);
        };
        switch (kind) {
            case '.': entry_.extractedComments.push_back(rest(2)); break;
            case ':': entry_.references.push_back(rest(2)); break;
            case '|': break;  // the previous msgid of a fuzzy entry, which nothing here uses
            case ',': {
                std::string_view flags = line.substr(2);
                while (!flags.empty()) {
                    const std::size_t comma = std::min(flags.find(','), flags.size());
                    // A CR is no part of a flag: one at the line's end would not survive a write.
                    const std::string_view flag = Trimmed(flags.substr(0, comma), " \t\r");
                    if (!flag.empty()) entry_.flags.emplace_back(flag);
                    flags.remove_prefix(std::min(comma + 1, flags.size()));
                }
                break;
            }
            default: entry_.translatorComments.push_back(rest(1)); break;
        }
        return {};
    }

    Status ReadKeyword(std::string_view word, std::string_view rest) {
        if (word == "msgctxt" || word == "msgid") {
            if (hasStr_) {
                if (Status done = Finish(); !done) return done;
            }
            if (hasId_) return Fail("msgid without msgstr", idLine_);
            if (word == "msgctxt") {
                if (hasContext_) return Fail("msgctxt given twice");
                hasContext_ = true;
                entry_.context.emplace();
                target_ = &*entry_.context;
            } else {
                hasId_ = true;
                idLine_ = line_;
                target_ = &entry_.id;
            }
            return ReadString(rest, *target_);
        }
        if (!hasId_) return Fail("'" + std::string(word) + "' before msgid");
        if (word == "msgid_plural") {
            if (entry_.idPlural || hasStr_) return Fail("msgid_plural out of place");
            entry_.idPlural.emplace();
            target_ = &*entry_.idPlural;
        } else if (word == "msgstr") {
            if (entry_.idPlural) return Fail("msgstr without an index in a plural entry");
            if (hasStr_) return Fail("msgstr given twice");
            target_ = &entry_.str;
        } else if (word.substr(0, 7) == "msgstr[" && word.back() == ']') {
            if (!entry_.idPlural) return Fail("msgstr[N] without msgid_plural");
            const std::string_view digits = word.substr(7, word.size() - 8);
            const std::size_t expected = hasStr_ ? entry_.pluralStrs.size() + 1 : 0;
            if (digits != std::to_string(expected) || expected >= MaxPluralForms)
                return Fail("'" + std::string(word) + "' where msgstr[" + std::to_string(expected) + "] belongs");
            target_ = hasStr_ ? &entry_.pluralStrs.emplace_back() : &entry_.str;
        } else {
            return Fail("unknown keyword '" + std::string(word) + "'");
        }
        hasStr_ = hasStr_ || word.substr(0, 6) == "msgstr";
        return ReadString(rest, *target_);
    }

    // One quoted string with C escapes, appended to `out`.
    Status ReadString(std::string_view line, std::string& out) {
        line = Trimmed(line);
        if (line.size() < 2 || line.front() != '"') return Fail("a string without its quotes");
        std::size_t at = 1;
        while (true) {
            if (at >= line.size()) return Fail("a string without its closing quote");
            const char c = line[at++];
            if (c == '"') break;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at >= line.size()) return Fail("a string without its closing quote");
            const char e = line[at++];
            switch (e) {
                case 'n': out += '\n'; break;
                case 't': out += '\t'; break;
                case 'r': out += '\r'; break;
                case 'a': out += '\a'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'v': out += '\v'; break;
                case '\\': case '"': case '\'': case '?': out += e; break;
                default: {
                    unsigned value = 0;
                    std::size_t digits = 0;
                    if (e >= '0' && e <= '7') {
                        value = static_cast<unsigned>(e - '0');
                        for (digits = 1; digits < 3 && at < line.size() && line[at] >= '0' && line[at] <= '7'; ++digits)
                            value = value * 8 + static_cast<unsigned>(line[at++] - '0');
                    } else if (e == 'x') {
                        for (; at < line.size() && std::isxdigit(static_cast<unsigned char>(line[at])); ++digits) {
                            const char h = static_cast<char>(std::tolower(static_cast<unsigned char>(line[at++])));
                            value = value * 16 + static_cast<unsigned>(h <= '9' ? h - '0' : h - 'a' + 10);
                            if (value > 0xFF) return Fail("a \\x escape beyond one byte");
                        }
                        if (digits == 0) return Fail("a \\x escape without digits");
                    } else {
                        return Fail(std::string("an unknown escape \\") + e);
                    }
                    if (value == 0 || value > 0xFF) return Fail("an escape of no character");
                    out += static_cast<char>(value);
                }
            }
        }
        if (!Trimmed(line.substr(at)).empty()) return Fail("text after a string's closing quote");
        return {};
    }

    // Ends the entry being read: the header's fields, or one more message.
    Status Finish() {
        target_ = nullptr;
        if (!hasId_) {
            if (hasContext_) return Fail("msgctxt without msgid");
            entry_ = PoEntry{};  // comments at the end, or above an obsolete entry
            return {};
        }
        if (!hasStr_) return Fail("msgid without msgstr", idLine_);
        PoEntry entry = std::move(entry_);
        entry_ = PoEntry{};
        hasId_ = hasContext_ = hasStr_ = false;
        for (const std::string* text : {&entry.id, &entry.str})
            if (!ValidUtf8(*text)) return Fail("a message that is not UTF-8", idLine_);
        if (entry.context && !ValidUtf8(*entry.context)) return Fail("a message that is not UTF-8", idLine_);
        if (!entry.context && entry.id.empty()) return ReadHeader(entry);
        if (!seen_.insert({entry.context, entry.id}).second)
            return Fail("the message \"" + entry.id + "\" is given twice", idLine_);
        catalog_.entries.push_back(std::move(entry));
        return {};
    }

    Status ReadHeader(const PoEntry& entry) {
        if (haveHeader_) return Fail("a second header entry", idLine_);
        haveHeader_ = true;
        catalog_.headerComments = entry.translatorComments;
        std::string_view fields = entry.str;
        while (!fields.empty()) {
            const std::size_t end = std::min(fields.find('\n'), fields.size());
            const std::string_view field = fields.substr(0, end);
            fields.remove_prefix(std::min(end + 1, fields.size()));
            const std::size_t colon = field.find(':');
            if (colon == std::string_view::npos) continue;
            catalog_.header.emplace_back(std::string(Trimmed(field.substr(0, colon))),
                                         std::string(Trimmed(field.substr(colon + 1))));
        }
        const std::optional<std::string> type = catalog_.HeaderField("Content-Type");
        const std::size_t at = type ? type->find("charset=") : std::string::npos;
        if (at == std::string::npos) return {};
        const std::string charset = type->substr(at + 8, type->find_first_of("; \t", at + 8) - (at + 8));
        for (const char* known : {"UTF-8", "UTF8", "ASCII", "US-ASCII", "CHARSET"})
            if (EqualsIgnoringCase(charset, known)) return {};
        return Fail("the file's charset is " + charset + "; only UTF-8 is read", idLine_);
    }

    std::string_view text_;
    std::size_t line_ = 0;
    PoCatalog catalog_;
    PoEntry entry_;
    bool hasContext_ = false;
    bool hasId_ = false;
    bool hasStr_ = false;
    bool haveHeader_ = false;
    std::size_t idLine_ = 0;
    std::string* target_ = nullptr;  // the string that a line starting with a quote continues
    std::set<std::tuple<std::optional<std::string>, std::string>> seen_;
};

}  // namespace

bool PoEntry::HasFlag(std::string_view flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

std::optional<std::string> PoCatalog::HeaderField(std::string_view name) const {
    for (const auto& [field, value] : header)
        if (EqualsIgnoringCase(field, name)) return value;
    return std::nullopt;
}

std::string WritePo(const PoCatalog& catalog) {
    std::string out;
    WriteComments(out, "#", catalog.headerComments);
    PoEntry header;
    for (const auto& [field, value] : catalog.header) header.str += field + ": " + value + "\n";
    WriteString(out, "msgid", "");
    WriteString(out, "msgstr", header.str);
    for (const PoEntry& entry : catalog.entries) {
        out += '\n';
        WriteEntry(out, entry);
    }
    return out;
}

Expected<PoCatalog> ReadPo(std::string_view text) { return PoReader(text).Read(); }

}  // namespace tw
