// The text codec. An input is a code page byte and the rest as bytes of that page, then the same
// rest as UTF-8. Any bytes decode to valid UTF-8. Unless the text keeps a byte that formed no
// character (which Windows' form of the character after it may join), it encodes back to bytes
// reading as the same text: the very bytes, or Windows' own form of a character read from
// several. A conversion to another page never grows past two bytes a byte; UTF-8 that encodes
// decodes back to itself.
#include "text/TextCodec.h"
#include "text/Utf8.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void Fail() { __builtin_trap(); }

bool ValidUtf8(std::string_view text, bool& keepsAByte) {
    keepsAByte = false;
    for (std::size_t at = 0; at < text.size();) {
        const tw::Utf8Char next = tw::NextUtf8(text, at);
        if (!next.codePoint) return false;
        keepsAByte = keepsAByte || *next.codePoint >= tw::RawByteBase;
        at += next.size;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto& pages = tw::AllCodePages;
    const tw::CodePage page = pages[data[0] % std::size(pages)];
    const tw::CodePage other = pages[(data[0] / std::size(pages)) % std::size(pages)];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    const std::string text = tw::DecodeToUtf8(bytes, page);
    bool keepsAByte = false;
    if (!ValidUtf8(text, keepsAByte)) Fail();
    if (bytes.find('\0') == std::string_view::npos) {
        const std::optional<std::string> back = tw::EncodeFromUtf8(text, page);
        if (back ? tw::DecodeToUtf8(*back, page) != text : !keepsAByte) Fail();
    }
    const tw::ConvertedText converted = tw::ConvertText(bytes, page, other);
    if (converted.bytes.size() > 2 * bytes.size()) Fail();
    if (page == other && converted.bytes != bytes) Fail();

    if (const std::optional<std::string> encoded = tw::EncodeFromUtf8(bytes, page))
        if (tw::DecodeToUtf8(*encoded, page) != bytes) Fail();
    return 0;
}
