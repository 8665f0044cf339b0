#include "WLCrossReferenceResolver.h"

#include "WLDictionaryLayout.h"
#include "WLSourceEntry.h"

#include <QHashFunctions>

namespace {

// Where the next "[[" (or "]]") begins, or -1. Looking for the single
// character and checking the next is several times faster than Qt's search
// for a two-character string, and pages are long.
template <typename Text, typename Char> qsizetype indexOfPair(const Text &text, Char c, qsizetype from)
{
    for (qsizetype at = text.indexOf(c, from); at >= 0; at = text.indexOf(c, at + 1)) {
        if (at + 1 < text.size() && text[at + 1] == c)
            return at;
    }
    return -1;
}

// What QString::toHtmlEscaped() does, on UTF-8.
void appendEscaped(QByteArray &out, QByteArrayView text)
{
    qsizetype plain = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char *entity = nullptr;
        switch (text[i]) {
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        case '&':
            entity = "&amp;";
            break;
        case '"':
            entity = "&quot;";
            break;
        default:
            continue;
        }
        out.append(text.sliced(plain, i - plain)).append(entity);
        plain = i + 1;
    }
    out.append(text.sliced(plain));
}

} // namespace

WLCrossReferenceResolver::WLCrossReferenceResolver(const QList<WLSourceEntry> &entries,
                                                   const WLDictionaryLayout &layout)
{
    qsizetype total = 0;
    for (const WLSourceEntry &entry : entries)
        total += entry.headword.size();
    mHeadwords.reserve(total);
    mTargets.reserve(size_t(entries.size()));
    size_t capacity = 16;
    while (capacity < size_t(entries.size()) * 2)
        capacity *= 2;
    mSlots.resize(capacity);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString &headword = entries[i].headword;
        const quint32 hash = quint32(qHash(QStringView(headword)));
        size_t slot = hash & (capacity - 1);
        while (mSlots[slot].target >= 0)
            slot = (slot + 1) & (capacity - 1);
        mSlots[slot] = {hash, int(mTargets.size())};
        mTargets.push_back({mHeadwords.size(), int(headword.size()), layout.linkID(int(i), 0),
                             int(entries[i].fragments.size())});
        mHeadwords.append(headword);
    }
}

const WLCrossReferenceResolver::Target *WLCrossReferenceResolver::find(QStringView headword) const
{
    const quint32 hash = quint32(qHash(headword));
    const size_t mask = mSlots.size() - 1;
    for (size_t slot = hash & mask; mSlots[slot].target >= 0; slot = (slot + 1) & mask) {
        if (mSlots[slot].hash != hash)
            continue;
        const Target &target = mTargets[size_t(mSlots[slot].target)];
        if (QStringView(mHeadwords).mid(target.at, target.size) == headword)
            return &target;
    }
    return nullptr;
}

int WLCrossReferenceResolver::linkID(const QString &target) const
{
    // A headword itself wins, so "C#" stays reachable even though it looks
    // like a link text.
    if (const Target *whole = find(target))
        return whole->firstLinkID;
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
    const Target *entry = find(QStringView(target).left(hash));
    if (!entry || n < 1 || n > entry->fragmentCount)
        return 0;
    return entry->firstLinkID + n - 1;
}

std::optional<QString> WLCrossReferenceResolver::resolve(const QString &html,
                                                         QString *problem) const
{
    qsizetype start = indexOfPair(QStringView(html), u'[', 0);
    if (start < 0)
        return html;

    QString result;
    result.reserve(html.size() + 32);
    qsizetype done = 0;
    while (start >= 0) {
        const qsizetype end = indexOfPair(QStringView(html), u']', start + 2);
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
        start = indexOfPair(QStringView(html), u'[', done);
    }
    result.append(QStringView(html).mid(done));
    return result;
}

std::optional<QByteArray> WLCrossReferenceResolver::resolveUtf8(const QByteArray &html,
                                                                QString *problem) const
{
    const QByteArrayView text(html);
    qsizetype start = indexOfPair(text, '[', 0);
    if (start < 0)
        return html;

    QByteArray result;
    result.reserve(html.size() + 32);
    qsizetype done = 0;
    while (start >= 0) {
        const qsizetype end = indexOfPair(text, ']', start + 2);
        if (end < 0) {
            *problem = QStringLiteral("cross-reference \"%1\" is not closed with \"]]\"")
                           .arg(QString::fromUtf8(text.sliced(start)).left(40));
            return std::nullopt;
        }
        const QByteArrayView inside = text.sliced(start + 2, end - start - 2);
        const qsizetype bar = inside.indexOf('|');
        const QString target = QString::fromUtf8(bar < 0 ? inside : inside.first(bar)).trimmed();
        const int id = linkID(target);
        if (id == 0) {
            *problem = QStringLiteral("unknown cross-reference target \"%1\"").arg(target);
            return std::nullopt;
        }
        result.append(text.sliced(done, start - done));
        result.append("<a href=\"#").append(QByteArray::number(id)).append("\">");
        if (bar < 0)
            appendEscaped(result, target.toUtf8());
        else
            appendEscaped(result, inside.sliced(bar + 1));
        result.append("</a>");
        done = end + 2;
        start = indexOfPair(text, '[', done);
    }
    result.append(text.sliced(done));
    return result;
}
