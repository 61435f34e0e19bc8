#include "locate/WineRegistry.h"

#include "text/Utf8.h"

namespace tw {
namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// UTF-16 code units up to the first zero unit (or the end) as UTF-8; unpaired surrogates
// become U+FFFD.
std::string Utf8FromUnits(const std::u16string& units) {
    std::string out;
    for (std::size_t i = 0; i < units.size() && units[i] != 0; ++i) {
        const char16_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                                (static_cast<char32_t>(units[i + 1]) - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::string BytesFromUnits(const std::u16string& units) {
    std::string out;
    out.reserve(units.size() * 2);
    for (char16_t unit : units) {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>(unit >> 8));
    }
    return out;
}

// Walks the file line by line; the hex form of a value may continue on following lines.
class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    bool NextLine(std::string_view& line) {
        if (position_ >= text_.size()) return false;
        std::size_t end = text_.find('\n', position_);
        if (end == std::string_view::npos) end = text_.size();
        line = text_.substr(position_, end - position_);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        position_ = end + 1;
        ++lineNumber_;
        return true;
    }

    std::size_t LineNumber() const { return lineNumber_; }

private:
    std::string_view text_;
    std::size_t position_ = 0;
    std::size_t lineNumber_ = 0;
};

// Reads an escaped text that starts at `at` and ends with the unescaped `end` character, which
// is consumed. Wine writes \\, the escaped end characters, the C escapes \a \b \e \f \n \r \t \v,
// octal \N..\NNN and \x with one to four hex digits; bytes above 127 stand for themselves.
Expected<std::u16string> ReadEscaped(std::string_view line, std::size_t& at, char end) {
    std::u16string out;
    auto bad = [](std::string why) -> Expected<std::u16string> { return Failure(std::move(why), ErrorKind::Damaged); };
    while (at < line.size()) {
        const char c = line[at++];
        if (c == end) return out;
        if (c != '\\') {
            out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
            continue;
        }
        if (at >= line.size()) return bad("a backslash at the end of the line");
        const char e = line[at++];
        switch (e) {
            case 'a': out.push_back(u'\a'); break;
            case 'b': out.push_back(u'\b'); break;
            case 'e': out.push_back(u'\x1b'); break;
            case 'f': out.push_back(u'\f'); break;
            case 'n': out.push_back(u'\n'); break;
            case 'r': out.push_back(u'\r'); break;
            case 't': out.push_back(u'\t'); break;
            case 'v': out.push_back(u'\v'); break;
            case '\\': case '"': case '[': case ']': out.push_back(static_cast<char16_t>(e)); break;
            case 'x': {
                unsigned value = 0;
                int digits = 0;
                while (digits < 4 && at < line.size() && HexDigit(line[at]) >= 0) {
                    value = value * 16 + static_cast<unsigned>(HexDigit(line[at++]));
                    ++digits;
                }
                if (digits == 0) {
                    return bad("\\x without hex digits");
                }
                out.push_back(static_cast<char16_t>(value));
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    unsigned value = static_cast<unsigned>(e - '0');
                    for (int digits = 1; digits < 3 && at < line.size() && line[at] >= '0' && line[at] <= '7'; ++digits) {
                        value = value * 8 + static_cast<unsigned>(line[at++] - '0');
                    }
                    out.push_back(static_cast<char16_t>(value));
                    break;
                }
                return bad(std::string("unknown escape \\") + e);
        }
    }
    return bad(std::string("no closing ") + end);
}

bool RestIsBlank(std::string_view line, std::size_t at) {
    for (; at < line.size(); ++at) {
        if (!IsBlank(line[at])) return false;
    }
    return true;
}

// Reads the hex digits of a type number up to the closing parenthesis: "hex(7)", "str(2)".
bool ReadTypeNumber(std::string_view line, std::size_t& at, std::uint32_t& type) {
    type = 0;
    int digits = 0;
    while (at < line.size() && HexDigit(line[at]) >= 0) {
        if (++digits > 8) return false;
        type = type * 16 + static_cast<std::uint32_t>(HexDigit(line[at++]));
    }
    if (digits == 0 || at >= line.size() || line[at] != ')') return false;
    ++at;
    return true;
}

}  // namespace

Status WineRegistry::Parse(std::string_view text) {
    keys_.clear();
    Parser parser(text);
    auto fail = [&](const std::string& what) -> Status {
        keys_.clear();
        return Failure("line " + std::to_string(parser.LineNumber()) + ": " + what, ErrorKind::Damaged);
    };

    std::string_view line;
    if (!parser.NextLine(line) || line != "WINE REGISTRY Version 2") {
        return fail("not a Wine registry file (no \"WINE REGISTRY Version 2\" header)");
    }

    ValueMap* key = nullptr;
    while (parser.NextLine(line)) {
        if (line.find('\0') != std::string_view::npos) return fail("a zero byte");
        std::size_t at = 0;
        while (at < line.size() && IsBlank(line[at])) ++at;
        if (at == line.size() || line[at] == ';' || line[at] == '#') continue;  // blank, comment, option

        if (line[at] == '[') {
            ++at;
            Expected<std::u16string> path = ReadEscaped(line, at, ']');
            if (!path) return fail("key name: " + path.Reason());
            // The key's time stamp may follow.
            while (at < line.size() && IsBlank(line[at])) ++at;
            while (at < line.size() && line[at] >= '0' && line[at] <= '9') ++at;
            if (!RestIsBlank(line, at)) return fail("unexpected text after the key name");
            key = &keys_[Lower(Utf8FromUnits(*path))];
            continue;
        }

        if (line[at] != '"' && line[at] != '@') return fail("expected a key, a value or a comment");
        if (key == nullptr) return fail("a value before the first key");
        std::u16string name;
        if (line[at] == '@') {
            ++at;
        } else {
            ++at;
            Expected<std::u16string> readName = ReadEscaped(line, at, '"');
            if (!readName) return fail("value name: " + readName.Reason());
            name = std::move(*readName);
        }
        if (at >= line.size() || line[at] != '=') return fail("expected = after the value name");
        ++at;

        Value value;
        const std::string_view rest = line.substr(at);
        if (rest.starts_with("\"") || rest.starts_with("str(")) {
            value.type = TypeSz;
            if (rest.starts_with("str(")) {
                at += 4;
                if (!ReadTypeNumber(line, at, value.type) || at >= line.size() || line[at] != ':') {
                    return fail("malformed str(type): prefix");
                }
                ++at;
                if (at >= line.size() || line[at] != '"') return fail("expected a quoted string after str(type):");
            }
            ++at;
            Expected<std::u16string> units = ReadEscaped(line, at, '"');
            if (!units) return fail("string value: " + units.Reason());
            if (!RestIsBlank(line, at)) return fail("unexpected text after the string value");
            units->push_back(0);
            value.data = BytesFromUnits(*units);
        } else if (rest.starts_with("dword:")) {
            at += 6;
            std::uint32_t number = 0;
            int digits = 0;
            while (at < line.size() && HexDigit(line[at]) >= 0) {
                if (++digits > 8) return fail("dword value with more than eight hex digits");
                number = number * 16 + static_cast<std::uint32_t>(HexDigit(line[at++]));
            }
            if (digits == 0 || !RestIsBlank(line, at)) return fail("malformed dword value");
            value.type = TypeDword;
            for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<char>((number >> (8 * i)) & 0xFF));
        } else if (rest.starts_with("hex:") || rest.starts_with("hex(")) {
            value.type = TypeBinary;
            if (rest.starts_with("hex(")) {
                at += 4;
                if (!ReadTypeNumber(line, at, value.type)) return fail("malformed hex(type): prefix");
            } else {
                at += 3;
            }
            if (at >= line.size() || line[at] != ':') return fail("malformed hex(type): prefix");
            ++at;
            // Bytes are two hex digits separated by commas; after a comma, a backslash at the end
            // of the line continues the list on the next line.
            bool afterComma = false;
            for (;;) {
                while (at < line.size() && IsBlank(line[at])) ++at;
                if (at == line.size()) {
                    if (afterComma) return fail("hex data ends with a comma");
                    break;
                }
                if (line[at] == '\\' && afterComma && RestIsBlank(line, at + 1)) {
                    if (!parser.NextLine(line)) return fail("hex data continues past the end of the file");
                    if (line.find('\0') != std::string_view::npos) return fail("a zero byte");
                    at = 0;
                    continue;
                }
                if (at + 1 >= line.size() || HexDigit(line[at]) < 0 || HexDigit(line[at + 1]) < 0) {
                    return fail("expected two hex digits in hex data");
                }
                value.data.push_back(static_cast<char>(HexDigit(line[at]) * 16 + HexDigit(line[at + 1])));
                at += 2;
                while (at < line.size() && IsBlank(line[at])) ++at;
                afterComma = at < line.size() && line[at] == ',';
                if (afterComma) {
                    ++at;
                } else if (at < line.size()) {
                    return fail("expected a comma in hex data");
                }
            }
        } else {
            return fail("unknown value form");
        }
        (*key)[Lower(Utf8FromUnits(name))] = std::move(value);
    }
    return {};
}

bool WineRegistry::HasKey(std::string_view keyPath) const {
    return keys_.find(Lower(keyPath)) != keys_.end();
}

const WineRegistry::Value* WineRegistry::FindValue(std::string_view keyPath, std::string_view name) const {
    const auto key = keys_.find(Lower(keyPath));
    if (key == keys_.end()) return nullptr;
    const auto value = key->second.find(Lower(name));
    return value == key->second.end() ? nullptr : &value->second;
}

std::string WineRegistry::Text(const Value& value) {
    if (value.type == TypeSz || value.type == TypeExpandSz || value.type == TypeLink || value.type == TypeMultiSz) {
        std::u16string units;
        for (std::size_t i = 0; i + 1 < value.data.size(); i += 2) {
            units.push_back(static_cast<char16_t>(static_cast<unsigned char>(value.data[i]) |
                                                  (static_cast<unsigned char>(value.data[i + 1]) << 8)));
        }
        return Utf8FromUnits(units);
    }
    const std::size_t zero = value.data.find('\0');
    return value.data.substr(0, zero == std::string::npos ? value.data.size() : zero);
}

}  // namespace tw
