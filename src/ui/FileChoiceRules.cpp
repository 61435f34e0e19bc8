#include "ui/FileChoiceRules.h"

#include <algorithm>

#include <QRegularExpression>
#include <QStringList>

namespace tw {

namespace {

void AddPattern(QStringList& patterns, const QString& pattern) {
    for (const QString& form : {pattern, pattern.toUpper(), pattern.toLower()})
        if (!form.isEmpty() && !patterns.contains(form)) patterns.append(form);
}

void AddPatterns(QStringList& patterns, const QString& list) {
    static const QRegularExpression separators(QStringLiteral("[;\\s]+"));
    for (const QString& pattern : list.split(separators, Qt::SkipEmptyParts)) AddPattern(patterns, pattern);
}

QString QtFilter(const QString& description, const QString& patternList) {
    QString label = description.trimmed();
    QStringList patterns;
    // A description that ends in a parenthesised pattern list names its patterns itself;
    // they move into the one list that Qt reads from the end of the filter.
    if (label.endsWith(QLatin1Char(')'))) {
        const qsizetype open = label.lastIndexOf(QLatin1Char('('));
        if (open >= 0) {
            AddPatterns(patterns, label.mid(open + 1, label.size() - open - 2));
            label = label.left(open).trimmed();
        }
    }
    AddPatterns(patterns, patternList);
    if (patterns.isEmpty()) patterns.append(QStringLiteral("*"));
    if (label.isEmpty()) label = patterns.join(QLatin1Char(' '));
    return label + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

}  // namespace

QString QtNameFilters(const std::string& platformFilter) {
    const QStringList parts = QString::fromStdString(platformFilter).split(QLatin1Char('|'));
    QStringList filters;
    // Pairs of description and patterns; the list ends at the first empty description, which
    // the closing double bar gives.
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        if (parts[i].trimmed().isEmpty()) break;
        filters.append(QtFilter(parts[i], i + 1 < parts.size() ? parts[i + 1] : QString()));
    }
    return filters.join(QStringLiteral(";;"));
}

QString InitialSelection(const std::string& initialName) {
    const QString name = QString::fromStdString(initialName);
    if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'))) return {};
    return name;
}

QString WithDefaultExtension(const QString& path, const std::string& extension) {
    if (extension.empty() || path.isEmpty()) return path;
    const qsizetype nameStart = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1;
    const QString name = path.mid(nameStart);
    if (name.isEmpty() || name.contains(QLatin1Char('.'))) return path;
    return path + QLatin1Char('.') + QString::fromStdString(extension);
}

QString ExecutableBaseName(const QString& executablePath) {
    QString name = executablePath;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

}  // namespace tw
