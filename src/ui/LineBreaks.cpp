#include "ui/LineBreaks.h"

namespace tw {

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
