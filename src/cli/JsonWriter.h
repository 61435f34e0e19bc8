#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tw::cli {

// Appends JSON values to a string. Texts given as bytes are written as the characters with the
// same numbers (U+0000 to U+00FF), so no byte is lost; UTF-8 texts are written as they are.
class JsonWriter {
public:
    void Raw(std::string_view text) { out_ += text; }
    void Integer(std::int64_t value) { out_ += std::to_string(value); }
    void Bool(bool value) { out_ += value ? "true" : "false"; }
    void ByteText(std::string_view bytes);
    void Utf8Text(std::string_view utf8);
    // Writes "name": (commas are the caller's).
    void Key(std::string_view name);

    const std::string& Text() const { return out_; }

private:
    void Escaped(std::string_view utf8);
    std::string out_;
};

}  // namespace tw::cli
