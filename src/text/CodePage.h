#pragma once

#include <cstdint>

namespace tw {

// The single- and double-byte code pages in which the game stores the texts of each language.
enum class CodePage : std::uint16_t {
    Windows1252 = 1252,  // the Western European languages and internal names
    ShiftJis = 932,      // Japanese
    Windows1250 = 1250,  // Polish
    Big5 = 950,          // Traditional Chinese
    Gbk = 936,           // Simplified Chinese
    Windows874 = 874,    // Thai
    Windows949 = 949,    // Korean
};

inline constexpr CodePage AllCodePages[] = {CodePage::Windows1252, CodePage::Windows1250, CodePage::Windows874,
                                            CodePage::ShiftJis,    CodePage::Gbk,         CodePage::Windows949,
                                            CodePage::Big5};

// The code page of a language slot (0 to 15); slot 15 and out-of-range slots use Windows-1252.
constexpr CodePage SlotCodePage(std::uint16_t slot) {
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

}  // namespace tw
