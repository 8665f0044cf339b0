#include "WLDictionaryLayout.h"

#include "WLCollator.h"
#include "WLParallel.h"
#include "WLProgress.h"

#include <QHash>

#include <algorithm>
#include <numeric>
#include <span>
#include <tuple>
#include <vector>

namespace {

const QString kNonLetterSection = QStringLiteral("#");

// Letter index tables group rows by their first UTF-16 code unit. The letter
// stored is that unit; for a character outside the BMP it is the whole
// character, since a lone surrogate is no text (the reader compares only
// the first unit either way).
QString groupLetter(QStringView text)
{
    if (text.size() >= 2 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate())
        return text.left(2).toString();
    return text.left(1).toString();
}

// Splits rows already sorted by their group's first code unit into runs;
// textOfRow answers at least the first two units of a row's text.
template <typename Texts> QList<WLLetterRange> letterRanges(qsizetype rowCount, Texts textOfRow)
{
    QList<WLLetterRange> ranges;
    for (qsizetype row = 0; row < rowCount; ++row) {
        const QStringView text = textOfRow(row);
        if (ranges.isEmpty() || ranges.last().letter.at(0) != text.at(0))
            ranges.append({groupLetter(text), int(row) + 1, 0});
        ++ranges.last().count;
    }
    return ranges;
}

// Sort keys side by side in one block: a QByteArray each would take more
// memory than the key itself.
class SortKeys
{
public:
    explicit SortKeys(qsizetype count) { mStarts.reserve(count + 1); }
    void append(const QByteArray &key)
    {
        mStarts.append(mBytes.size());
        mBytes.append(key);
    }
    // After the last key.
    void finish()
    {
        mStarts.append(mBytes.size());
        mBytes.squeeze();
    }
    QByteArrayView operator[](qsizetype i) const
    {
        return QByteArrayView(mBytes.constData() + mStarts[i], mStarts[i + 1] - mStarts[i]);
    }

private:
    QByteArray mBytes;
    QList<qsizetype> mStarts;
};

// The first two code units of a lower-cased headword, all its letter index
// needs; the first unit is the same as the whole word's lower case.
struct Initial
{
    char16_t units[2] = {};
    QStringView view() const { return QStringView(units, units[1] ? 2 : 1); }
};

Initial initialOf(const QString &headword)
{
    const QString lower = QStringView(headword).left(2).toString().toLower();
    Initial initial;
    initial.units[0] = lower.at(0).unicode();
    if (lower.size() > 1)
        initial.units[1] = lower.at(1).unicode();
    return initial;
}

// Gives each distinct fragment text (with its media) the first link row
// that has it: rows are sorted by hash, and only rows of one hash are read
// back and compared.
QList<int> firstRowsOfTexts(const QList<WLSourceEntry> &entries, const WLTextStore &texts,
                            const QList<WLDictionaryLayout::Fragment> &rows)
{
    const auto fragmentOf = [&](qsizetype row) -> const WLSourceFragment & {
        return entries[rows[row].entry].fragments[rows[row].fragment];
    };
    // Sorted as one array of keys: looking each up through its entry would
    // miss the cache at every comparison.
    struct Key
    {
        quint32 hash;
        quint32 size;
        int row;
        bool operator<(const Key &other) const
        {
            return std::tie(hash, size, row) < std::tie(other.hash, other.size, other.row);
        }
    };
    std::vector<Key> keys(size_t(rows.size()));
    for (qsizetype row = 0; row < rows.size(); ++row) {
        const WLTextRef &html = fragmentOf(row).html;
        keys[size_t(row)] = {html.hash, html.size, int(row)};
    }
    std::sort(keys.begin(), keys.end());
    QList<int> first(rows.size());
    QList<int> distinct; // the first rows of the distinct texts of one hash
    for (size_t i = 0; i < keys.size(); ++i) {
        const int row = keys[i].row;
        if (i == 0 || keys[i].hash != keys[i - 1].hash || keys[i].size != keys[i - 1].size)
            distinct.clear();
        const WLSourceFragment &fragment = fragmentOf(row);
        const auto same = std::find_if(distinct.cbegin(), distinct.cend(), [&](int other) {
            const WLSourceFragment &known = fragmentOf(other);
            return known.media == fragment.media && texts.equal(known.html, fragment.html);
        });
        if (same == distinct.cend()) {
            distinct.append(row);
            first[row] = row;
        } else {
            first[row] = *same;
        }
    }
    return first;
}

} // namespace

QString WLDictionaryLayout::sectionKey(const QString &headword)
{
    // Most headwords begin with ASCII, which needs no decomposing: such a
    // character stays first whatever follows it.
    if (!headword.isEmpty() && headword.at(0).unicode() < 0x80) {
        const QChar first = headword.at(0);
        return first.isLetter() ? QString(first.toLower()) : kNonLetterSection;
    }
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

namespace {

// Headword IDs and sections: section, then the locale's order, then code
// units so that texts the collator deems equal still come out the same
// every time. Then link and contents IDs, which follow headword order
// within the groups of their initials.
void orderHeadwords(const QList<WLSourceEntry> &entries, const WLTextStore &texts,
                    const WLCollator &collator, WLProgressMeter &meter, WLDictionaryLayout *layout)
{
    const qsizetype count = entries.size();

    // Sections are few: each is ranked once, and headwords compare ranks.
    QList<int> sectionOf(count);
    QStringList sections;
    {
        QHash<QString, int> sectionIndex;
        for (qsizetype i = 0; i < count; ++i) {
            const QString section = WLDictionaryLayout::sectionKey(entries[i].headword);
            auto known = sectionIndex.constFind(section);
            if (known == sectionIndex.constEnd()) {
                known = sectionIndex.insert(section, int(sections.size()));
                sections.append(section);
            }
            sectionOf[i] = *known;
        }
    }
    QList<QByteArray> sectionKeys(sections.size());
    for (qsizetype i = 0; i < sections.size(); ++i)
        sectionKeys[i] = collator.sortKey(sections[i]);
    QList<int> sectionOrder(sections.size());
    std::iota(sectionOrder.begin(), sectionOrder.end(), 0);
    std::sort(sectionOrder.begin(), sectionOrder.end(), [&](int a, int b) {
        const QString &x = std::as_const(sections)[a];
        const QString &y = std::as_const(sections)[b];
        const bool xOther = x == kNonLetterSection;
        const bool yOther = y == kNonLetterSection;
        if (xOther != yOther)
            return xOther;
        const int byKey = std::as_const(sectionKeys)[a].compare(std::as_const(sectionKeys)[b]);
        if (byKey != 0)
            return byKey < 0;
        return x < y;
    });
    QList<int> sectionRank(sections.size());
    for (qsizetype rank = 0; rank < sectionOrder.size(); ++rank)
        sectionRank[sectionOrder[rank]] = int(rank);

    SortKeys wordKeys(count);
    {
        WLProgressMeter::Counter keyed(meter);
        for (qsizetype i = 0; i < count; ++i) {
            wordKeys.append(collator.sortKey(entries[i].headword));
            keyed.step();
        }
    }
    wordKeys.finish();
    QList<int> &headwords = layout->headwords;
    headwords.resize(count);
    std::iota(headwords.begin(), headwords.end(), 0);
    std::sort(headwords.begin(), headwords.end(), [&](int a, int b) {
        const int xSection = std::as_const(sectionRank)[std::as_const(sectionOf)[a]];
        const int ySection = std::as_const(sectionRank)[std::as_const(sectionOf)[b]];
        if (xSection != ySection)
            return xSection < ySection;
        const int byKey = wordKeys[a].compare(wordKeys[b]);
        if (byKey != 0)
            return byKey < 0;
        return entries[a].headword < entries[b].headword;
    });
    for (qsizetype id = 0; id < count; ++id) {
        const QString &section = sections[sectionOf[headwords[id]]];
        if (layout->sections.isEmpty() || layout->sections.last().letter != section)
            layout->sections.append({section, int(id) + 1, 0});
        ++layout->sections.last().count;
    }

    // Link IDs: by the first code unit of the lower-cased headword, then in
    // headword order, each entry's fragments in turn.
    QList<int> byInitial = headwords;
    QList<Initial> initials(count);
    for (qsizetype i = 0; i < count; ++i)
        initials[i] = initialOf(entries[i].headword);
    std::stable_sort(byInitial.begin(), byInitial.end(), [&](int a, int b) {
        return std::as_const(initials)[a].units[0] < std::as_const(initials)[b].units[0];
    });
    layout->firstLinkIDs.resize(count);
    for (const int entry : std::as_const(byInitial)) {
        layout->firstLinkIDs[entry] = int(layout->links.size()) + 1;
        for (int f = 0; f < entries[entry].fragments.size(); ++f)
            layout->links.append({entry, f});
    }
    const auto initialOfRow = [&](const QList<WLDictionaryLayout::Fragment> &rows) {
        return [&](qsizetype row) { return initials[rows[row].entry].view(); };
    };
    layout->linkIndex = letterRanges(layout->links.size(), initialOfRow(layout->links));

    // Contents IDs: one per distinct fragment, in the order of first use by
    // link ID, so they are grouped by initial as well.
    const QList<int> firstRows = firstRowsOfTexts(entries, texts, layout->links);
    layout->linkContents.resize(layout->links.size());
    for (qsizetype row = 0; row < layout->links.size(); ++row) {
        if (firstRows[row] == row) {
            layout->contents.append(layout->links[row]);
            layout->linkContents[row] = int(layout->contents.size());
        } else {
            layout->linkContents[row] = layout->linkContents[firstRows[row]];
        }
    }
    layout->contentsIndex = letterRanges(layout->contents.size(), initialOfRow(layout->contents));
}

// The distinct looks ranked in search order: first code unit, then the
// locale's order, then code units. Every look of every entry is sorted, so
// equal looks end up side by side and share a rank.
struct LookOrder
{
    QStringList looks; // by rank
    // The ranks of all entries' looks, entry by entry.
    QList<int> ranks;
    QList<qsizetype> firstOfEntry; // and one past the last entry

    std::span<const int> ranksOf(qsizetype entry) const
    {
        return {ranks.constData() + firstOfEntry[entry],
                size_t(firstOfEntry[entry + 1] - firstOfEntry[entry])};
    }
};

LookOrder orderLooks(const QList<WLSourceEntry> &entries, const WLCollator &collator,
                     WLProgressMeter &meter)
{
    struct Occurrence
    {
        int entry;
        int look;
    };
    LookOrder order;
    QList<Occurrence> occurrences;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        order.firstOfEntry.append(occurrences.size());
        for (qsizetype k = 0; k < entries[i].looks.size(); ++k)
            occurrences.append({int(i), int(k)});
    }
    order.firstOfEntry.append(occurrences.size());
    const auto text = [&](qsizetype o) -> const QString & {
        return entries[occurrences[o].entry].looks[occurrences[o].look];
    };

    // Initials and keys side by side: comparing them touches no text.
    const qsizetype count = occurrences.size();
    QList<char16_t> initials(count);
    SortKeys keys(count);
    {
        WLProgressMeter::Counter keyed(meter);
        for (qsizetype o = 0; o < count; ++o) {
            initials[o] = text(o).at(0).unicode();
            keys.append(collator.sortKey(text(o)));
            keyed.step();
        }
    }
    keys.finish();
    QList<int> sorted(count);
    std::iota(sorted.begin(), sorted.end(), 0);
    std::sort(sorted.begin(), sorted.end(), [&](int a, int b) {
        const char16_t xInitial = std::as_const(initials)[a];
        const char16_t yInitial = std::as_const(initials)[b];
        if (xInitial != yInitial)
            return xInitial < yInitial;
        const int byKey = keys[a].compare(keys[b]);
        if (byKey != 0)
            return byKey < 0;
        return text(a) < text(b);
    });

    order.ranks.resize(count);
    for (qsizetype s = 0; s < count; ++s) {
        const int o = sorted[s];
        // Equal texts have equal keys, so most neighbours differ by key.
        const bool known = s > 0 && keys[o] == keys[sorted[s - 1]] && text(o) == order.looks.last();
        if (!known)
            order.looks.append(text(o));
        order.ranks[o] = int(order.looks.size()) - 1;
    }
    return order;
}

} // namespace

WLDictionaryLayout WLDictionaryLayout::arrange(const QList<WLSourceEntry> &entries,
                                               const WLTextStore &texts, const WLCollator &collator,
                                               WLProgressMeter *meter)
{
    WLProgressMeter silent(nullptr);
    if (!meter)
        meter = &silent;
    // The headword order and the look order depend only on the entries, so
    // they are found side by side, each with its own collator.
    WLDictionaryLayout layout;
    LookOrder lookOrder;
    const WLCollator lookCollator = collator.clone();
    wlRunConcurrently(2, [&](int part) {
        if (part == 0)
            orderHeadwords(entries, texts, collator, *meter, &layout);
        else
            lookOrder = orderLooks(entries, lookCollator, *meter);
    });

    // Search rows: by look rank, then headword order and fragment order.
    // The rows, made in headword order, are placed by rank, which keeps
    // that order within a look.
    layout.looks = std::move(lookOrder.looks);
    const QStringList &looks = layout.looks;
    QList<qsizetype> searchStart(looks.size() + 1, 0);
    QList<qsizetype> equalStart(looks.size() + 1, 0);
    for (const int entry : std::as_const(layout.headwords)) {
        for (const int rank : lookOrder.ranksOf(entry)) {
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
        for (const int rank : lookOrder.ranksOf(entry)) {
            layout.equal[equalStart[rank]++] = {rank, entry};
            for (int f = 0; f < entries[entry].fragments.size(); ++f)
                layout.search[searchStart[rank]++] = {rank, entry, f};
        }
    }
    layout.searchIndex = letterRanges(layout.search.size(), [&](qsizetype row) {
        return QStringView(looks[layout.search[row].look]);
    });
    layout.equalIndex = letterRanges(layout.equal.size(), [&](qsizetype row) {
        return QStringView(looks[layout.equal[row].look]);
    });
    return layout;
}
