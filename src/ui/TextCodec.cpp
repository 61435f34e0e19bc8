#include "ui/TextCodec.h"

#include <array>

#include <QByteArrayView>
#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

#include "ui/WindowsCodePages.h"  // Qt for Windows has no ICU: Windows converts there

namespace tw {

namespace {

// The language slots' code pages in slot order: the nine Western European languages, Japanese,
// Polish, Traditional Chinese, Simplified Chinese, Thai, Korean, and the slot without a menu item.
constexpr std::array<const char*, 16> SlotCodePages = {
    "windows-1252", "windows-1252", "windows-1252", "windows-1252", "windows-1252", "windows-1252",
    "windows-1252", "windows-1252", "windows-1252", "Windows-31J",  "windows-1250", "windows-950",
    "windows-936",  "windows-874",  "windows-949",  "windows-1252"};

// Windows-1252 from 0x80 to 0x9F; the five bytes it leaves undefined map to the C1 controls of
// the same number, as the platform's converter does. The rest of the page is Latin-1.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsWindows1252(const char* codePage) {
    const QByteArrayView name(codePage);
    return name.compare("windows-1252", Qt::CaseInsensitive) == 0 ||
           name.compare("cp1252", Qt::CaseInsensitive) == 0;
}

void AppendCodePoint(QString& out, char32_t codePoint) {
    const char32_t one[1] = {codePoint};
    out += QString::fromUcs4(one, 1);
}

void AppendRawByte(QString& out, unsigned char byte) { AppendCodePoint(out, TextCodec::RawByteBase + byte); }

bool IsRawByte(char32_t codePoint) {
    return codePoint >= TextCodec::RawByteBase && codePoint <= TextCodec::RawByteBase + 0xFF;
}

// Decodes a piece on its own; false when the converter met anything it could not decode,
// including a sequence cut off at the end.
bool DecodePiece(const char* codePage, const char* data, qsizetype size, QString& out) {
#ifdef _WIN32
    return WindowsCodePages::Decode(WindowsCodePages::Number(codePage), data, size, out);
#else
    QStringDecoder decoder(codePage, QStringConverter::Flag::Stateless);
    out = decoder(QByteArrayView(data, size));
    return !decoder.hasError();
#endif
}

QString DecodeWithConverter(const std::string& bytes, const char* codePage) {
    QString whole;
    if (DecodePiece(codePage, bytes.data(), static_cast<qsizetype>(bytes.size()), whole)) return whole;

    // Something did not decode: go character by character. Every code page used here stores a
    // character in one or two bytes, so a byte that neither starts a one-byte nor a two-byte
    // character is kept as its private-use character.
    QString out;
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    while (i < size) {
        QString piece;
        if (DecodePiece(codePage, bytes.data() + i, 1, piece) && !piece.isEmpty()) {
            out += piece;
            i += 1;
            continue;
        }
        if (i + 1 < size && DecodePiece(codePage, bytes.data() + i, 2, piece) && !piece.isEmpty()) {
            out += piece;
            i += 2;
            continue;
        }
        AppendRawByte(out, static_cast<unsigned char>(bytes[i]));
        i += 1;
    }
    return out;
}

QString DecodeWithoutConverter(const std::string& bytes, bool windows1252) {
    QString out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80)
            out += QChar(static_cast<char16_t>(byte));
        else if (!windows1252)
            AppendRawByte(out, byte);
        else if (byte < 0xA0)
            out += QChar(Windows1252High[byte - 0x80u]);
        else
            out += QChar(static_cast<char16_t>(byte));
    }
    return out;
}

bool EncodeRun(const QString& run, const char* codePage, bool converter, bool windows1252, std::string& out) {
    if (run.isEmpty()) return true;
    if (converter) {
#ifdef _WIN32
        QByteArray encoded;
        if (!WindowsCodePages::Encode(WindowsCodePages::Number(codePage), run, encoded)) return false;
        out.append(encoded.constData(), static_cast<std::size_t>(encoded.size()));
        return true;
#else
        QStringEncoder encoder(codePage, QStringConverter::Flag::Stateless);
        const QByteArray bytes = encoder(run);
        if (encoder.hasError()) return false;
        out.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        return true;
#endif
    }
    for (const QChar c : run) {
        const char16_t unit = c.unicode();
        if (unit < 0x80 || (windows1252 && unit >= 0xA0 && unit <= 0xFF)) {
            out += static_cast<char>(unit);
            continue;
        }
        bool found = false;
        for (std::size_t k = 0; windows1252 && k < Windows1252High.size(); ++k)
            if (Windows1252High[k] == unit) {
                out += static_cast<char>(0x80 + k);
                found = true;
                break;
            }
        if (!found) return false;
    }
    return true;
}

}  // namespace

const char* TextCodec::CodePageName(std::uint16_t slot) {
    return slot < SlotCodePages.size() ? SlotCodePages[slot] : InternalCodePageName();
}

bool TextCodec::HasConverter(const char* codePage) {
#ifdef _WIN32
    return WindowsCodePages::Number(codePage) != 0;
#else
    return QStringDecoder(codePage).isValid() && QStringEncoder(codePage).isValid();
#endif
}

QString TextCodec::DecodeWith(const std::string& bytes, const char* codePage, bool useConverter) {
    if (useConverter && HasConverter(codePage)) return DecodeWithConverter(bytes, codePage);
    return DecodeWithoutConverter(bytes, IsWindows1252(codePage));
}

std::optional<std::string> TextCodec::EncodeWith(const QString& text, const char* codePage, bool useConverter) {
    const bool converter = useConverter && HasConverter(codePage);
    const bool windows1252 = IsWindows1252(codePage);
    std::string out;
    QString run;
    for (const uint ucs4 : text.toUcs4()) {
        const auto codePoint = static_cast<char32_t>(ucs4);
        if (codePoint == 0) return std::nullopt;  // would end the text in the file
        if (!IsRawByte(codePoint)) {
            AppendCodePoint(run, codePoint);
            continue;
        }
        // Only bytes that cannot be decoded have a private-use character; ASCII always decodes.
        const auto byte = static_cast<unsigned char>(codePoint - RawByteBase);
        if (byte < 0x80) return std::nullopt;
        if (!EncodeRun(run, codePage, converter, windows1252, out)) return std::nullopt;
        run.clear();
        out += static_cast<char>(byte);
    }
    if (!EncodeRun(run, codePage, converter, windows1252, out)) return std::nullopt;
    // The bytes must read back as the very text the person sees: this refuses fall-back
    // mappings and a kept byte that would join the next character into a different one.
    if (DecodeWith(out, codePage, converter) != text) return std::nullopt;
    return out;
}

QString TextCodec::Decode(const std::string& bytes, std::uint16_t slot) { return DecodeWith(bytes, CodePageName(slot)); }

std::optional<std::string> TextCodec::Encode(const QString& text, std::uint16_t slot) {
    return EncodeWith(text, CodePageName(slot));
}

std::optional<std::string> TextCodec::EncodeEdit(const QString& text, const std::string& previous, std::uint16_t slot) {
    if (text == Decode(previous, slot)) return previous;
    return Encode(text, slot);
}

QString TextCodec::DecodeInternal(const std::string& bytes) { return DecodeWith(bytes, InternalCodePageName()); }

std::optional<std::string> TextCodec::EncodeInternal(const QString& text) {
    return EncodeWith(text, InternalCodePageName());
}

}  // namespace tw
