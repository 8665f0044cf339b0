#include "WLCrossReferenceResolver.h"

#include "WLDictionaryLayout.h"
#include "WLSourceEntry.h"

namespace {

// Where the next "[[" (or "]]") begins, or -1. Looking for the single
// character and checking the next is several times faster than Qt's search
// for a two-character string, and pages are long.
qsizetype indexOfPair(QStringView text, char16_t c, qsizetype from)
{
    for (qsizetype at = text.indexOf(c, from); at >= 0; at = text.indexOf(c, at + 1)) {
        if (at + 1 < text.size() && text[at + 1] == c)
            return at;
    }
    return -1;
}

} // namespace

WLCrossReferenceResolver::WLCrossReferenceResolver(const QList<WLSourceEntry> &entries,
                                                   const WLDictionaryLayout &layout)
{
    // The keys view one copy of all headwords side by side: a lookup then
    // reads a few megabytes instead of texts spread over the whole heap.
    qsizetype total = 0;
    for (const WLSourceEntry &entry : entries)
        total += entry.headword.size();
    m_headwords.reserve(total);
    for (const WLSourceEntry &entry : entries)
        m_headwords.append(entry.headword);
    m_targets.reserve(entries.size());
    qsizetype at = 0;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const qsizetype size = entries[i].headword.size();
        m_targets.emplace(QStringView(m_headwords).mid(at, size),
                          Target{layout.linkID(int(i), 0), int(entries[i].fragments.size())});
        at += size;
    }
}

int WLCrossReferenceResolver::linkID(const QString &target) const
{
    // A headword itself wins, so "C#" stays reachable even though it looks
    // like a link text.
    const auto whole = m_targets.find(target);
    if (whole != m_targets.end())
        return whole->second.firstLinkID;
    const qsizetype hash = target.lastIndexOf(QLatin1Char('#'));
    if (hash <= 0)
        return 0;
    const QStringView number = QStringView(target).mid(hash + 1);
    if (number.isEmpty() || number.size() > 9)
        return 0;
    for (const QChar c : number) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    }
    const int n = number.toInt();
    const auto entry = m_targets.find(QStringView(target).left(hash));
    if (entry == m_targets.end() || n < 1 || n > entry->second.fragmentCount)
        return 0;
    return entry->second.firstLinkID + n - 1;
}

std::optional<QString> WLCrossReferenceResolver::resolve(const QString &html,
                                                         QString *problem) const
{
    qsizetype start = indexOfPair(html, u'[', 0);
    if (start < 0)
        return html;

    QString result;
    result.reserve(html.size() + 32);
    qsizetype done = 0;
    while (start >= 0) {
        const qsizetype end = indexOfPair(html, u']', start + 2);
        if (end < 0) {
            *problem = QStringLiteral("cross-reference \"%1\" is not closed with \"]]\"")
                           .arg(html.mid(start, 40));
            return std::nullopt;
        }
        const QStringView inside = QStringView(html).mid(start + 2, end - start - 2);
        const qsizetype bar = inside.indexOf(u'|');
        const QString target = (bar < 0 ? inside : inside.left(bar)).trimmed().toString();
        const int id = linkID(target);
        if (id == 0) {
            *problem = QStringLiteral("unknown cross-reference target \"%1\"").arg(target);
            return std::nullopt;
        }
        const QString shown = bar < 0 ? target : inside.mid(bar + 1).toString();
        result.append(QStringView(html).mid(done, start - done));
        result.append(u"<a href=\"#");
        result.append(QString::number(id));
        result.append(u"\">");
        result.append(shown.toHtmlEscaped());
        result.append(u"</a>");
        done = end + 2;
        start = indexOfPair(html, u'[', done);
    }
    result.append(QStringView(html).mid(done));
    return result;
}
