#pragma once

#include <QString>

// "file:line: text", or "file: text" when no line is known: the form every
// compiler error takes, so editors can jump to the place.
inline QString wlSourceMessage(const QString &file, int line, const QString &text)
{
    if (line > 0)
        return QStringLiteral("%1:%2: %3").arg(file, QString::number(line), text);
    return QStringLiteral("%1: %2").arg(file, text);
}

// Names a character the way error messages show it: U+00E9 'é'.
inline QString wlDescribeCharacter(char32_t codePoint)
{
    const QString hex =
        QStringLiteral("%1").arg(uint(codePoint), 4, 16, QLatin1Char('0')).toUpper();
    if (codePoint < 0x20 || codePoint == 0x7F)
        return QStringLiteral("U+") + hex;
    return QStringLiteral("U+%1 '%2'").arg(hex, QString::fromUcs4(&codePoint, 1));
}
