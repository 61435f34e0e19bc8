#include "ui/LineBreaks.h"

#include "text/LineBreakForms.h"

namespace tw {

QString ToFieldLineBreaks(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

QString ToStoredLineBreaks(const QString& fieldText, const std::string& storedBefore) {
    return QString::fromStdString(StoredLineBreaks(fieldText.toStdString(), storedBefore));
}

}  // namespace tw
