// Parses arbitrary text as JSON. A document read is written back and must read as the same value;
// the verdict must be the library's own except where ours is stricter (nesting, NUL bytes); a
// refusal must be placed inside the text.
#include "util/JsonReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace {

void Write(const tw::JsonValue& v, std::string& out) {
    switch (v.GetKind()) {
        case tw::JsonValue::Kind::Null: out += "null"; return;
        case tw::JsonValue::Kind::Boolean: out += v.BooleanValue() ? "true" : "false"; return;
        case tw::JsonValue::Kind::Integer:
        case tw::JsonValue::Kind::Number: out += v.NumberText(); return;
        case tw::JsonValue::Kind::String:
            out += '"';
            for (const char c : v.StringValue()) {
                if (c == '"' || c == '\\') {
                    out += '\\';
                    out += c;
                } else if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    out += escaped;
                } else {
                    out += c;
                }
            }
            out += '"';
            return;
        case tw::JsonValue::Kind::Array:
            out += '[';
            for (std::size_t i = 0; i < v.Items().size(); ++i) {
                if (i > 0) out += ',';
                Write(v.Items()[i], out);
            }
            out += ']';
            return;
        case tw::JsonValue::Kind::Object:
            out += '{';
            for (std::size_t i = 0; i < v.Members().size(); ++i) {
                if (i > 0) out += ',';
                Write(tw::JsonValue::String(v.Members()[i].key), out);
                out += ':';
                Write(v.Members()[i].value, out);
            }
            out += '}';
            return;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const tw::Expected<tw::JsonValue> value = tw::ParseJson(text);
    if (!value) {
        // "line L, column C: message", L and C from 1.
        const std::string reason = value.Reason();
        if (!reason.starts_with("line ") || reason.starts_with("line 0,") || reason.find(", column 0:") != std::string::npos ||
            reason.find(": ") == std::string::npos || reason.ends_with(": "))
            __builtin_trap();
        const bool stricter = text.find('\0') != std::string_view::npos ||
                              reason.find("arrays and objects nested more than") != std::string::npos;
        if (!stricter && nlohmann::json::accept(text)) __builtin_trap();
        return 0;
    }
    if (!nlohmann::json::accept(text)) __builtin_trap();
    std::string written;
    Write(*value, written);
    const tw::Expected<tw::JsonValue> again = tw::ParseJson(written);
    if (!again || !(*again == *value)) __builtin_trap();
    return 0;
}
