#include "WLSearchPattern.h"

WLSearchPatterns searchPatternsForKeyword(const QString &keyword)
{
    const bool wildcard = keyword.contains(u'*') || keyword.contains(u'?');
    // Backslashes are doubled before any escape is added, and the typed "%"
    // and "_" are escaped before "*" and "?" become them.
    QString pattern = keyword.toLower().normalized(QString::NormalizationForm_C);
    pattern.replace(u'\\', QStringLiteral("\\\\"));
    pattern.replace(u'%', QStringLiteral("\\%"));
    pattern.replace(u'_', QStringLiteral("\\_"));
    pattern.replace(u'*', u'%');
    pattern.replace(u'?', u'_');
    WLSearchPatterns patterns;
    patterns.equal = pattern;
    patterns.keyword = wildcard || pattern.isEmpty() ? pattern : pattern + u'%';
    return patterns;
}

QString rangeKeyForPattern(const QString &pattern)
{
    if (pattern.size() > 1 && pattern.at(0) == u'\\')
        return pattern.mid(1);
    return pattern;
}
