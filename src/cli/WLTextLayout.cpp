#include "WLTextLayout.h"

#include <unicode/uchar.h>

#include <algorithm>

#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr QChar kEscape = QChar(0x1b);
constexpr QChar kEllipsis = QChar(0x2026);
constexpr int kColumnGap = 2;
// A column shrinks no further than this, so that some of each cell shows.
constexpr int kNarrowestColumn = 6;

int codePointWidth(char32_t c)
{
    if (c < 0x20 || (c >= 0x7f && c < 0xa0))
        return 0;
    const int8_t category = u_charType(UChar32(c));
    if (category == U_NON_SPACING_MARK || category == U_ENCLOSING_MARK || category == U_FORMAT_CHAR)
        return 0;
    // Hangul vowels and final consonants join the syllable before them.
    if (c >= 0x1160 && c <= 0x11ff)
        return 0;
    const int eastAsian = u_getIntPropertyValue(UChar32(c), UCHAR_EAST_ASIAN_WIDTH);
    return eastAsian == U_EA_WIDE || eastAsian == U_EA_FULLWIDTH ? 2 : 1;
}

// Walks text one code point or ANSI sequence at a time: the units it takes
// and the columns it needs.
struct Step
{
    qsizetype units;
    int width;
};

Step stepAt(QStringView text, qsizetype i)
{
    const QChar c = text[i];
    if (c == kEscape && i + 1 < text.size() && text[i + 1] == u'[') {
        // CSI: parameters, then one final character from '@' to '~'.
        qsizetype end = i + 2;
        while (end < text.size() && (text[end] < u'@' || text[end] > u'~'))
            ++end;
        return {qMin(end + 1, text.size()) - i, 0};
    }
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return {2, codePointWidth(QChar::surrogateToUcs4(c, text[i + 1]))};
    return {1, codePointWidth(c.unicode())};
}

// Where the text of a line starts, after its indentation and any style
// sequences before or within it.
qsizetype textStart(QStringView line)
{
    qsizetype i = 0;
    while (i < line.size()) {
        if (line[i] == u' ')
            ++i;
        else if (line[i] == kEscape)
            i += stepAt(line, i).units;
        else
            break;
    }
    return i;
}

QString wrappedLine(QStringView line, int width)
{
    const qsizetype start = textStart(line);
    const int indent = WLTextLayout::displayWidth(line.left(start));
    // A deeply indented line would leave its continuations no room.
    const QString continuation(qMin(indent, width / 2), u' ');
    QString result = line.left(start).toString();
    int used = indent;
    bool lineHasWord = false;
    qsizetype i = start;
    while (i < line.size()) {
        qsizetype spacesEnd = i;
        while (spacesEnd < line.size() && line[spacesEnd] == u' ')
            ++spacesEnd;
        qsizetype wordEnd = spacesEnd;
        while (wordEnd < line.size() && line[wordEnd] != u' ')
            ++wordEnd;
        const QStringView spaces = line.mid(i, spacesEnd - i);
        const QStringView word = line.mid(spacesEnd, wordEnd - spacesEnd);
        if (word.isEmpty())
            break; // trailing spaces
        const int wordWidth = WLTextLayout::displayWidth(word);
        if (lineHasWord && used + int(spaces.size()) + wordWidth > width) {
            result += u'\n' + continuation;
            used = int(continuation.size());
        } else {
            result += spaces;
            used += int(spaces.size());
        }
        result += word;
        used += wordWidth;
        lineHasWord = true;
        i = wordEnd;
    }
    return result;
}

} // namespace

int WLTextLayout::displayWidth(QStringView text)
{
    int width = 0;
    for (qsizetype i = 0; i < text.size();) {
        const Step step = stepAt(text, i);
        width += step.width;
        i += step.units;
    }
    return width;
}

QString WLTextLayout::elided(const QString &text, int width)
{
    if (displayWidth(text) <= width)
        return text;
    if (width <= 0)
        return {};
    const int room = width - 1;
    int used = 0;
    qsizetype kept = 0;
    while (kept < text.size()) {
        const Step step = stepAt(text, kept);
        if (used + step.width > room)
            break;
        used += step.width;
        kept += step.units;
    }
    // "a place that…", not "a place that …".
    while (kept > 0 && text[kept - 1] == u' ')
        --kept;
    return text.left(kept) + kEllipsis;
}

QStringList WLTextLayout::table(const QList<QStringList> &rows, const QList<int> &rightAligned,
                                int width)
{
    QList<int> widths;
    for (const QStringList &row : rows) {
        for (qsizetype column = 0; column < row.size(); ++column) {
            if (widths.size() <= column)
                widths.append(0);
            widths[column] = qMax(widths[column], displayWidth(row[column]));
        }
    }
    if (width > 0) {
        int total = kColumnGap * int(qMax<qsizetype>(widths.size() - 1, 0));
        for (const int columnWidth : std::as_const(widths))
            total += columnWidth;
        while (total > width) {
            qsizetype widest = -1;
            for (qsizetype column = 0; column < widths.size(); ++column) {
                if (!rightAligned.contains(int(column)) && widths[column] > kNarrowestColumn &&
                    (widest < 0 || widths[column] > widths[widest]))
                    widest = column;
            }
            if (widest < 0)
                break;
            --widths[widest];
            --total;
        }
    }

    QStringList lines;
    lines.reserve(rows.size());
    for (const QStringList &row : rows) {
        QString line;
        for (qsizetype column = 0; column < row.size(); ++column) {
            if (column > 0)
                line += QString(kColumnGap, u' ');
            const bool right = rightAligned.contains(int(column));
            const QString cell = right ? row[column] : elided(row[column], widths[column]);
            const int padding = qMax(0, widths[column] - displayWidth(cell));
            if (right)
                line += QString(padding, u' ') + cell;
            else if (column < row.size() - 1)
                line += cell + QString(padding, u' ');
            else
                line += cell;
        }
        lines.append(line);
    }
    return lines;
}

QString WLTextLayout::wrapped(const QString &text, int width)
{
    if (width <= 0)
        return text;
    QString result;
    result.reserve(text.size() + text.size() / 32);
    const QList<QStringView> lines = QStringView(text).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            result += u'\n';
        if (displayWidth(lines[i]) <= width)
            result += lines[i];
        else
            result += wrappedLine(lines[i], width);
    }
    return result;
}

int WLTextLayout::outputWidth()
{
    bool ok = false;
    const int columns = qEnvironmentVariableIntValue("COLUMNS", &ok);
    if (ok && columns > 0)
        return columns;
    if (!isatty(STDOUT_FILENO))
        return 0;
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}
