#pragma once

#include <QString>

// The LIKE patterns of one keyword (backslash is the escape character).
struct WLSearchPatterns {
    QString equal;   // whole-word search
    QString keyword; // partial-match search
};

// Turns a keyword as typed into the patterns of the two searches: "*" is
// any run of characters, "?" exactly one, and a typed "%", "_" or "\"
// matches only itself. Without a wildcard the partial-match pattern is a
// prefix search; with one, both searches use the same pattern. The keyword
// is folded to lower case first, as look strings are stored; an empty
// keyword gives empty patterns.
WLSearchPatterns searchPatternsForKeyword(const QString &keyword);

// The text whose first character picks a pattern's letter range: an escaped
// first character counts as itself ("\%" as "%", which covers every letter).
QString rangeKeyForPattern(const QString &pattern);
