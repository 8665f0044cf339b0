#pragma once

#include <QString>

// Renders an HTML page as text for a terminal. The page is parsed by
// libxml2's HTML parser (tolerant, as browsers are); the tree is then
// written out with HTML's white-space rules: runs of spaces and line ends
// collapse to one space, <br> ends a line, block elements (p, div, li,
// headings, tables) start new lines and paragraphs a blank line between
// them, no-break spaces stay as spaces (indentation), <hr> is a rule.
// Scripts, styles and the head are left out. With styles on, bold and
// headings are bold and links underlined (ANSI escapes).
class WLHtmlTextRenderer
{
public:
    // UTF-8 text; the encoding named in the page itself is ignored.
    static QString render(const QString &html, bool ansiStyles = false);
};
