#include "util/CodePage.h"

#include <algorithm>

#ifdef _WIN32
#include "util/Win32.h"
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace tw {

CodePage SlotCodePage(std::uint16_t slot) {
    switch (slot) {
        case 9: return CodePage::ShiftJis;
        case 10: return CodePage::Windows1250;
        case 11: return CodePage::Big5;
        case 12: return CodePage::Gbk;
        case 13: return CodePage::Windows874;
        case 14: return CodePage::Windows949;
        default: return CodePage::Windows1252;
    }
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

namespace {

// The code point at `i` of UTF-8 text, and the bytes it takes; an invalid or cut-off
// sequence takes one byte and gives none.
struct Utf8Char {
    std::optional<char32_t> codePoint;
    std::size_t size = 1;
};

Utf8Char NextUtf8(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) return {lead, 1};
    std::size_t size = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4;
        c = lead & 0x07;
    } else {
        return {};
    }
    if (size > text.size() - i) return {};
    for (std::size_t k = 1; k < size; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return {};
        c = (c << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are no characters.
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[size] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return {};
    return {c, size};
}

}  // namespace

ConvertedText ConvertText(std::string_view bytes, CodePage from, CodePage to) {
    if (from == to) return {std::string(bytes), false};
    ConvertedText converted;
    converted.bytes = EncodeFromUtf8Replacing(DecodeToUtf8(bytes, from), to, '?', &converted.lost);
    return converted;
}

#ifdef _WIN32

std::string DecodeToUtf8(std::string_view bytes, CodePage page) {
    std::string out;
    const UINT cp = static_cast<UINT>(page);
    std::size_t i = 0;
    while (i < bytes.size()) {
        // Decode one character at a time so that a bad byte costs only itself.
        const int lead = IsDBCSLeadByteEx(cp, static_cast<BYTE>(bytes[i])) ? 2 : 1;
        const int length = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(lead), bytes.size() - i));
        wchar_t wide[2] = {};
        const int got = MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, bytes.data() + i, length, wide, 2);
        if (got <= 0) {
            AppendUtf8(out, 0xFFFD);
            ++i;
            continue;
        }
        for (int k = 0; k < got; ++k) AppendUtf8(out, static_cast<char32_t>(wide[k]));
        i += static_cast<std::size_t>(length);
    }
    return out;
}

std::optional<std::string> EncodeFromUtf8(std::string_view utf8, CodePage page) {
    if (utf8.empty()) return std::string();
    const int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (wideLength <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), wideLength);
    BOOL lossy = FALSE;
    const UINT cp = static_cast<UINT>(page);
    const int length = WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy) return std::nullopt;
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, out.data(), length, nullptr, &lossy);
    if (lossy) return std::nullopt;
    return out;
}

std::string EncodeFromUtf8Replacing(std::string_view utf8, CodePage page, char replacement, bool* replaced) {
    std::string out;
    bool any = false;
    const UINT cp = static_cast<UINT>(page);
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Char next = NextUtf8(utf8, i);
        i += next.size;
        if (next.codePoint && *next.codePoint < 0x80) {
            out += static_cast<char>(*next.codePoint);
            continue;
        }
        int got = 0;
        char bytes[8];
        BOOL lossy = FALSE;
        if (next.codePoint) {
            // One character as UTF-16: one unit, or a surrogate pair.
            wchar_t units[2];
            int unitCount = 1;
            const char32_t c = *next.codePoint;
            if (c < 0x10000) {
                units[0] = static_cast<wchar_t>(c);
            } else {
                units[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
                units[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
                unitCount = 2;
            }
            got = WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, units, unitCount, bytes, sizeof bytes, nullptr, &lossy);
        }
        if (got <= 0 || lossy) {
            out += replacement;
            any = true;
        } else {
            out.append(bytes, static_cast<std::size_t>(got));
        }
    }
    if (replaced != nullptr) *replaced = any;
    return out;
}

#else

namespace {

const char* IconvName(CodePage page) {
    switch (page) {
        case CodePage::ShiftJis: return "CP932";
        case CodePage::Windows1250: return "CP1250";
        case CodePage::Big5: return "CP950";
        case CodePage::Gbk: return "CP936";
        case CodePage::Windows874: return "CP874";
        case CodePage::Windows949: return "CP949";
        case CodePage::Windows1252: break;
    }
    return "CP1252";
}

// Converts with iconv; on a byte sequence that has no character, `onBad` decides (returns false
// to give up). Returns false when the converter is missing or gave up.
template <typename OnBad>
bool Convert(const char* from, const char* to, std::string_view in, std::string& out, OnBad onBad) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buffer[256];
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            if (!onBad(out, src, srcLeft)) {
                ok = false;
                break;
            }
        }
    }
    iconv_close(cd);
    return ok;
}

}  // namespace

std::string DecodeToUtf8(std::string_view bytes, CodePage page) {
    std::string out;
    const bool converted = Convert(IconvName(page), "UTF-8", bytes, out, [](std::string& o, char*& src, std::size_t& left) {
        AppendUtf8(o, 0xFFFD);
        ++src;
        --left;
        return true;
    });
    if (!converted) {
        // No converter for the page: show each byte as the character of the same number.
        out.clear();
        for (unsigned char c : bytes) AppendUtf8(out, c);
    }
    return out;
}

std::optional<std::string> EncodeFromUtf8(std::string_view utf8, CodePage page) {
    std::string out;
    if (!Convert("UTF-8", IconvName(page), utf8, out, [](std::string&, char*&, std::size_t&) { return false; }))
        return std::nullopt;
    return out;
}

std::string EncodeFromUtf8Replacing(std::string_view utf8, CodePage page, char replacement, bool* replaced) {
    std::string out;
    bool any = false;
    const bool converted = Convert("UTF-8", IconvName(page), utf8, out, [&](std::string& o, char*& src, std::size_t& left) {
        // The converter stopped at a character it has no bytes for (or at invalid UTF-8): one
        // replacement, and on after that character.
        const std::string_view rest(src, left);
        const std::size_t size = NextUtf8(rest, 0).size;
        o += replacement;
        any = true;
        src += size;
        left -= size;
        return true;
    });
    if (!converted) {
        // No converter for the page: ASCII is the same in every one of them.
        out.clear();
        any = false;
        for (std::size_t i = 0; i < utf8.size();) {
            const Utf8Char next = NextUtf8(utf8, i);
            i += next.size;
            const bool ascii = next.codePoint && *next.codePoint < 0x80;
            out += ascii ? static_cast<char>(*next.codePoint) : replacement;
            any = any || !ascii;
        }
    }
    if (replaced != nullptr) *replaced = any;
    return out;
}

#endif

}  // namespace tw
