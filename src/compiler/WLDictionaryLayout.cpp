#include "WLDictionaryLayout.h"

#include "WLCollator.h"

#include <QHash>

#include <algorithm>
#include <numeric>

namespace {

const QString kNonLetterSection = QStringLiteral("#");

// Letter index tables group rows by their first UTF-16 code unit. The letter
// stored is that unit; for a character outside the BMP it is the whole
// character, since a lone surrogate is no text (the reader compares only
// the first unit either way).
QString groupLetter(const QString &text)
{
    if (text.size() >= 2 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate())
        return text.left(2);
    return text.left(1);
}

// Splits rows already sorted by their group's first code unit into runs.
template <typename Texts> QList<WLLetterRange> letterRanges(qsizetype rowCount, Texts textOfRow)
{
    QList<WLLetterRange> ranges;
    for (qsizetype row = 0; row < rowCount; ++row) {
        const QString text = textOfRow(row);
        if (ranges.isEmpty() || ranges.last().letter.at(0) != text.at(0))
            ranges.append({groupLetter(text), int(row) + 1, 0});
        ++ranges.last().count;
    }
    return ranges;
}

} // namespace

QString WLDictionaryLayout::sectionKey(const QString &headword)
{
    const QString decomposed = headword.normalized(QString::NormalizationForm_D);
    if (decomposed.isEmpty())
        return kNonLetterSection;
    char32_t first = decomposed.at(0).unicode();
    if (decomposed.size() >= 2 && decomposed.at(0).isHighSurrogate() &&
        decomposed.at(1).isLowSurrogate())
        first = QChar::surrogateToUcs4(decomposed.at(0), decomposed.at(1));
    if (!QChar::isLetter(first))
        return kNonLetterSection;
    const char32_t lower = QChar::toLower(first);
    return QString::fromUcs4(&lower, 1);
}

WLDictionaryLayout WLDictionaryLayout::arrange(const QList<WLSourceEntry> &entries,
                                               const WLCollator &collator)
{
    WLDictionaryLayout layout;
    const qsizetype count = entries.size();

    // Headwords: section, then the locale's order, then code units so that
    // texts the collator deems equal still come out the same every time.
    struct HeadwordKey
    {
        QString section;
        QByteArray sectionKey;
        QByteArray wordKey;
    };
    QList<HeadwordKey> keys(count);
    QHash<QString, QByteArray> sectionSortKeys;
    for (qsizetype i = 0; i < count; ++i) {
        HeadwordKey &key = keys[i];
        key.section = sectionKey(entries[i].headword);
        auto known = sectionSortKeys.constFind(key.section);
        if (known == sectionSortKeys.constEnd())
            known = sectionSortKeys.insert(key.section, collator.sortKey(key.section));
        key.sectionKey = *known;
        key.wordKey = collator.sortKey(entries[i].headword);
    }
    layout.headwords.resize(count);
    std::iota(layout.headwords.begin(), layout.headwords.end(), 0);
    std::sort(layout.headwords.begin(), layout.headwords.end(), [&](int a, int b) {
        const HeadwordKey &x = std::as_const(keys)[a];
        const HeadwordKey &y = std::as_const(keys)[b];
        if (x.section != y.section) {
            const bool xOther = x.section == kNonLetterSection;
            const bool yOther = y.section == kNonLetterSection;
            if (xOther != yOther)
                return xOther;
            if (x.sectionKey != y.sectionKey)
                return x.sectionKey < y.sectionKey;
            return x.section < y.section;
        }
        if (x.wordKey != y.wordKey)
            return x.wordKey < y.wordKey;
        return entries[a].headword < entries[b].headword;
    });
    for (qsizetype id = 0; id < count; ++id) {
        const QString &section = keys[layout.headwords[id]].section;
        if (layout.sections.isEmpty() || layout.sections.last().letter != section)
            layout.sections.append({section, int(id) + 1, 0});
        ++layout.sections.last().count;
    }

    // Contents IDs: by the first code unit of the lower-cased headword, then
    // in headword order, each entry's fragments in turn.
    QList<int> byInitial = layout.headwords;
    QList<QString> lowered(count);
    for (qsizetype i = 0; i < count; ++i)
        lowered[i] = entries[i].headword.toLower();
    std::stable_sort(byInitial.begin(), byInitial.end(),
                     [&](int a, int b) { return lowered[a].at(0) < lowered[b].at(0); });
    layout.contentsIDs.resize(count);
    for (const int entry : std::as_const(byInitial)) {
        for (int f = 0; f < entries[entry].fragments.size(); ++f) {
            layout.contents.append({entry, f});
            layout.contentsIDs[entry].append(int(layout.contents.size()));
        }
    }
    layout.contentsIndex = letterRanges(
        layout.contents.size(), [&](qsizetype row) { return lowered[layout.contents[row].entry]; });

    // Search rows: by the look's first code unit, then the locale's order of
    // looks, then headword order and fragment order. Each distinct look is
    // ranked once; the rows, made in headword order, are then placed by
    // rank, which keeps that order within a look.
    QHash<QString, int> lookIndex;
    QStringList looks;
    for (const WLSourceEntry &entry : entries) {
        for (const QString &look : entry.looks) {
            if (!lookIndex.contains(look)) {
                lookIndex.insert(look, int(looks.size()));
                looks.append(look);
            }
        }
    }
    QList<QByteArray> lookKeys(looks.size());
    for (qsizetype i = 0; i < looks.size(); ++i)
        lookKeys[i] = collator.sortKey(looks[i]);
    QList<int> byLook(looks.size());
    std::iota(byLook.begin(), byLook.end(), 0);
    std::sort(byLook.begin(), byLook.end(), [&](int a, int b) {
        const QString &x = std::as_const(looks)[a];
        const QString &y = std::as_const(looks)[b];
        if (x.at(0) != y.at(0))
            return x.at(0) < y.at(0);
        const QByteArray &xKey = std::as_const(lookKeys)[a];
        const QByteArray &yKey = std::as_const(lookKeys)[b];
        if (xKey != yKey)
            return xKey < yKey;
        return x < y;
    });
    QList<int> rankOf(looks.size());
    for (qsizetype rank = 0; rank < byLook.size(); ++rank)
        rankOf[byLook[rank]] = int(rank);

    QList<qsizetype> searchStart(looks.size() + 1, 0);
    QList<qsizetype> equalStart(looks.size() + 1, 0);
    for (const int entry : std::as_const(layout.headwords)) {
        for (const QString &look : entries[entry].looks) {
            const int rank = rankOf[lookIndex.value(look)];
            searchStart[rank + 1] += entries[entry].fragments.size();
            equalStart[rank + 1] += 1;
        }
    }
    for (qsizetype rank = 0; rank < looks.size(); ++rank) {
        searchStart[rank + 1] += searchStart[rank];
        equalStart[rank + 1] += equalStart[rank];
    }
    layout.search.resize(searchStart.last());
    layout.equal.resize(equalStart.last());
    for (const int entry : std::as_const(layout.headwords)) {
        for (const QString &look : entries[entry].looks) {
            const int rank = rankOf[lookIndex.value(look)];
            layout.equal[equalStart[rank]++] = {look, entry};
            for (int f = 0; f < entries[entry].fragments.size(); ++f)
                layout.search[searchStart[rank]++] = {look, entry, f};
        }
    }
    layout.searchIndex =
        letterRanges(layout.search.size(), [&](qsizetype row) { return layout.search[row].look; });
    layout.equalIndex =
        letterRanges(layout.equal.size(), [&](qsizetype row) { return layout.equal[row].look; });
    return layout;
}
