#include "ui/TextConversion.h"

#include <QByteArray>
#include <QStringDecoder>
#include <QStringEncoder>

namespace tw {

TextConversion TextConversion::ForCodePage(const char* name) {
    const std::string codePage = name;
    if (!QStringDecoder(codePage.c_str()).isValid() || !QStringEncoder(codePage.c_str()).isValid()) {
        return {[](const std::string& bytes) { return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())); },
                [](const QString& text) { return text.toLatin1().toStdString(); }};
    }
    return {[codePage](const std::string& bytes) {
                QStringDecoder decoder(codePage.c_str());
                return QString(decoder(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))));
            },
            [codePage](const QString& text) {
                QStringEncoder encoder(codePage.c_str());
                const QByteArray bytes = encoder(text);
                return bytes.toStdString();
            }};
}

const char* TextConversion::CodePageName(std::uint16_t slot) {
    switch (slot) {
        case 9: return "Shift_JIS";
        case 10: return "windows-1250";
        case 11: return "Big5";
        case 12: return "GBK";
        case 13: return "windows-874";
        case 14: return "CP949";
        default: return "windows-1252";
    }
}

TextConversion TextConversion::ForLanguageSlot(std::uint16_t slot) { return ForCodePage(CodePageName(slot)); }

QString ToFieldLineBreaks(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

QString ToStoredLineBreaks(const QString& fieldText, const std::string& storedBefore) {
    const bool bareOnly = storedBefore.find('\n') != std::string::npos && storedBefore.find("\r\n") == std::string::npos;
    if (bareOnly) return fieldText;
    QString stored = fieldText;
    stored.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return stored;
}

}  // namespace tw
