#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class WLStarDictResources;
struct WLStarDictItem;

// Turns the items of a StarDict entry into one fragment of our source
// syntax. The dictionary is untrusted, so nothing of its markup reaches
// the page unchecked:
// - text types (m, l, t, y, k, w and unknown lower-case ones): escaped, in
//   a <pre> that keeps their lines; 'l' is UTF-8 where valid, else Latin-1;
// - g (Pango markup) and x (XDXF): read as XML (as HTML when they are not
//   well-formed), mapped onto HTML elements, in a <pre>: their line breaks
//   count;
// - h (HTML): only elements and attributes that cannot run code or load
//   anything are kept; styles that could load something are dropped;
// - links: "bword://word" and XDXF's <kref> become [[word|text]] when the
//   resolver knows the word, their text otherwise; remote, file: and other
//   links lose their target and keep their text;
// - resources (r, XDXF's <rref>, <img> and links to pictures or sounds)
//   name files of res/; a picture is shown (and opens in the picture
//   viewer), a sound gets a link that plays it. A name that is absolute or
//   climbs out with ".." is an error; a file that is not there is left out
//   and counted.
// A literal "[[" never reaches the compiler: every '[' of the text is
// written as "&#91;". Any thread may convert.
class WLStarDictHtml
{
public:
    // The headword a cross-reference names, or nothing.
    using Resolver = std::function<std::optional<QString>(const QString &reference)>;

    struct Result
    {
        QString html;
        QStringList media; // "table/name", in order of first use
        int links = 0;
        int unresolved = 0;
        int missingResources = 0;
        int removed = 0; // elements and references taken out as unsafe
        int skipped = 0; // binary items, which are not shown
    };

    // Appends one item's HTML to result; false with the problem (naming the
    // offset within the item's data where it can) for text that is not
    // UTF-8 or a resource name that leads out of res/.
    static bool append(const WLStarDictItem &item, const Resolver &resolve,
                       const WLStarDictResources &resources, Result &result, QString *problem);

    // The compiler reads [[target|shown]] up to the first "]]" and splits
    // at the first '|': whether such a link can carry these two.
    static bool linkable(const QString &target, const QString &shown);
};
