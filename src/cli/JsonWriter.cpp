#include "cli/JsonWriter.h"

#include <cstdio>

namespace tw::cli {

void JsonWriter::Escaped(std::string_view utf8) {
    out_ += '"';
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"': out_ += "\\\""; break;
            case '\\': out_ += "\\\\"; break;
            case '\b': out_ += "\\b"; break;
            case '\f': out_ += "\\f"; break;
            case '\n': out_ += "\\n"; break;
            case '\r': out_ += "\\r"; break;
            case '\t': out_ += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                    out_ += buffer;
                } else {
                    out_ += ch;
                }
        }
    }
    out_ += '"';
}

void JsonWriter::ByteText(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size());
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            utf8 += ch;
        } else {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    Escaped(utf8);
}

void JsonWriter::Utf8Text(std::string_view utf8) { Escaped(utf8); }

void JsonWriter::Key(std::string_view name) {
    Escaped(name);
    out_ += ": ";
}

}  // namespace tw::cli
