#pragma once

#ifdef _WIN32

#include <QByteArray>
#include <QString>

namespace tw {

// The code page converters of Windows itself, for the text codec: Qt for Windows is built
// without ICU, and without ICU its converters know no code page but the system's.
class WindowsCodePages {
public:
    // The code page number of a converter name ("windows-1250", "Windows-31J", "cp1252"), when
    // this Windows has that code page; 0 otherwise.
    static unsigned Number(const char* name);
    // The whole of the bytes as text; false when any of them does not decode, a character cut
    // off at the end included.
    static bool Decode(unsigned codePage, const char* data, qsizetype size, QString& out);
    // The text as bytes; false when a character has no exact encoding there.
    static bool Encode(unsigned codePage, const QString& text, QByteArray& out);
};

}  // namespace tw

#endif
