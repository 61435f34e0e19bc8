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

namespace {

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

}  // namespace

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

#endif

}  // namespace tw
