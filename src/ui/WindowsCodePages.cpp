#ifdef _WIN32

#include "ui/WindowsCodePages.h"

#include <climits>

#include <QByteArrayView>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace tw {

unsigned WindowsCodePages::Number(const char* name) {
    const QByteArray lower = QByteArray(name).toLower();
    unsigned number = 0;
    if (lower == "windows-31j" || lower == "shift_jis") {
        number = 932;
    } else {
        QByteArray digits;
        if (lower.startsWith("windows-")) digits = lower.mid(8);
        if (lower.startsWith("cp")) digits = lower.mid(2);
        bool ok = false;
        number = digits.toUInt(&ok);
        if (!ok) number = 0;
    }
    return number != 0 && IsValidCodePage(number) ? number : 0;
}

bool WindowsCodePages::Decode(unsigned codePage, const char* data, qsizetype size, QString& out) {
    out.clear();
    if (size == 0) return true;
    if (size > INT_MAX) return false;
    const int length = static_cast<int>(size);
    const int wide = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, data, length, nullptr, 0);
    if (wide <= 0) return false;
    out.resize(wide);
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, data, length,
                               reinterpret_cast<wchar_t*>(out.data()), wide) == wide;
}

bool WindowsCodePages::Encode(unsigned codePage, const QString& text, QByteArray& out) {
    out.clear();
    if (text.isEmpty()) return true;
    if (text.size() > INT_MAX) return false;
    const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
    const int length = static_cast<int>(text.size());
    // No "best fit" stand-ins (an accented letter as its plain one): only exact encodings count.
    BOOL lossy = FALSE;
    const int bytes = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, nullptr, &lossy);
    if (bytes <= 0 || lossy) return false;
    out.resize(bytes);
    return WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, length, out.data(), bytes, nullptr, &lossy) ==
               bytes &&
           !lossy;
}

}  // namespace tw

#endif
