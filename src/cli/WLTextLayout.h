#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// Text laid out for a terminal, measured in the columns a terminal gives
// each character (wide East Asian characters two, combining marks none) and
// not in UTF-16 units. A width of 0 means no limit: nothing is shortened
// or wrapped.
namespace WLTextLayout {

int displayWidth(QStringView text);

// The text cut to at most width columns, ending in "…" when cut.
QString elided(const QString &text, int width);

// Rows of cells in aligned columns two spaces apart, one line per row; the
// columns named in rightAligned (numbers) are padded on the left and never
// shortened. When the lines would be wider than width, the widest columns
// give way first and their long cells are elided. The last cell of a row
// is not padded.
QStringList table(const QList<QStringList> &rows, const QList<int> &rightAligned, int width);

// Lines wider than width broken at spaces; each continuation keeps the
// indentation of its line. ANSI style sequences take no room. A word
// longer than a whole line is left whole.
QString wrapped(const QString &text, int width);

// The width to lay standard output out for: $COLUMNS when it holds a
// positive number, else the terminal's width when standard output is one,
// else 0 (a pipe or file keeps everything).
int outputWidth();

} // namespace WLTextLayout
