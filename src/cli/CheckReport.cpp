#include "cli/CheckReport.h"

#include "cli/JsonWriter.h"

namespace tw::cli {
namespace {

bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        if (c < 0x80)
            extra = 0;
        else if (c >= 0xC2 && c <= 0xDF)
            extra = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            extra = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            extra = 3;
        else
            return false;
        if (text.size() - i <= extra) return extra == 0;
        for (std::size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += extra + 1;
    }
    return true;
}

std::string Place(const Finding& f) {
    std::string place;
    auto add = [&place](const std::string& part) {
        if (part.empty()) return;
        if (!place.empty()) place += ' ';
        place += part;
    };
    add(f.file);
    if (!f.type.empty()) add(f.type + (f.id ? " " + std::to_string(*f.id) : std::string()));
    if (!f.label.empty()) add("\"" + f.label + "\"");
    if (f.career) add("career #" + std::to_string(*f.career));
    if (f.level) add("level " + std::to_string(*f.level));
    add(f.field);
    return place;
}

std::string Heading(const Finding& f) {
    if (f.kind == Finding::Kind::Rule) return std::string("rule ") + f.rule + " (" + SeverityName(f.severity) + ")";
    return KindName(f.kind);
}

}  // namespace

std::string CheckText(const std::vector<Finding>& findings) {
    std::string text;
    for (const Finding& f : findings) {
        const std::string place = Place(f);
        text += Heading(f) + ": " + (place.empty() ? std::string() : place + ": ") + f.message + "\n";
    }
    return text;
}

std::string ListFindings(const std::vector<Finding>& findings) {
    std::string text;
    for (const Finding& f : findings) {
        const std::string place = Place(f);
        text += "- " + (place.empty() ? std::string() : place + ": ") + f.message + "\n";
    }
    return text;
}

std::string CheckJson(const std::vector<Finding>& findings) {
    JsonWriter json;
    json.Raw("{\"findings\": [");
    bool first = true;
    for (const Finding& f : findings) {
        json.Raw(first ? "\n  {" : ",\n  {");
        first = false;
        bool firstKey = true;
        auto key = [&](std::string_view name) {
            if (!firstKey) json.Raw(", ");
            firstKey = false;
            json.Key(name);
        };
        auto text = [&](std::string_view name, const std::string& value) {
            if (value.empty()) return;
            key(name);
            if (IsUtf8(value))
                json.Utf8Text(value);
            else
                json.ByteText(value);
        };
        auto number = [&](std::string_view name, std::optional<std::int64_t> value) {
            if (!value) return;
            key(name);
            json.Integer(*value);
        };
        text("kind", KindName(f.kind));
        text("severity", SeverityName(f.severity));
        text("file", f.file);
        text("type", f.type);
        number("id", f.id ? std::optional<std::int64_t>(*f.id) : std::nullopt);
        if (!f.label.empty()) {
            key("label");
            json.ByteText(f.label);
        }
        number("career", f.career ? std::optional<std::int64_t>(*f.career) : std::nullopt);
        number("level", f.level ? std::optional<std::int64_t>(*f.level) : std::nullopt);
        text("field", f.field);
        text("rule", f.rule);
        key("message");
        if (IsUtf8(f.message))
            json.Utf8Text(f.message);
        else
            json.ByteText(f.message);
        json.Raw("}");
    }
    json.Raw(first ? "]}\n" : "\n]}\n");
    return json.Text();
}

}  // namespace tw::cli
