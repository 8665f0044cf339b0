#pragma once

#include "WLSourceEntry.h"

#include <QList>
#include <QString>

class WLCollator;
class WLProgressMeter;

// One row of a letter index table: the rows offset .. offset + count - 1 of
// the indexed table begin with the letter.
struct WLLetterRange
{
    QString letter;
    int offset = 0;
    int count = 0;
};

// Where every row of every table comes from, as indexes into the merged
// source entries. Row i of a table (ID i + 1) is element i of its list.
struct WLDictionaryLayout
{
    struct Fragment
    {
        int entry = 0;
        int fragment = 0;
    };
    // Search rows name their look by its place in looks.
    struct SearchRow
    {
        int look = 0;
        int entry = 0;
        int fragment = 0;
    };
    struct EqualRow
    {
        int look = 0;
        int entry = 0;
    };

    // Entries in headword-ID order, and the sections over them.
    QList<int> headwords;
    QList<WLLetterRange> sections;
    // Every fragment of every entry in link-ID order, with its letter
    // index: a cross-reference names one headword's fragment, so each has
    // a link of its own.
    QList<Fragment> links;
    QList<WLLetterRange> linkIndex;
    // Per entry (source index): the link ID of its first fragment; the
    // others follow it.
    QList<int> firstLinkIDs;
    // Per link row: its contents ID. Fragments with the same HTML and the
    // same media share one contents row.
    QList<int> linkContents;
    // The distinct fragments in contents-ID order, each named by its first
    // link (numbered in the order of first use), with their letter index.
    QList<Fragment> contents;
    QList<WLLetterRange> contentsIndex;
    // Every distinct look string once, in search order.
    QStringList looks;
    QList<SearchRow> search;
    QList<WLLetterRange> searchIndex;
    QList<EqualRow> equal;
    QList<WLLetterRange> equalIndex;

    // Orders everything; entries must have unique headwords and at least one
    // fragment each, their texts in texts. The meter, if any, counts the
    // headwords and looks given their sort keys.
    static WLDictionaryLayout arrange(const QList<WLSourceEntry> &entries,
                                      const WLTextStore &texts, const WLCollator &collator,
                                      WLProgressMeter *meter = nullptr);

    // The link ID and the contents ID of a fragment, counted from 0 within
    // its entry.
    int linkID(int entry, int fragment) const { return firstLinkIDs[entry] + fragment; }
    int contentsID(int entry, int fragment) const
    {
        return linkContents[linkID(entry, fragment) - 1];
    }

    // The section a headword belongs to: the first code point of its
    // decomposed form in lower case ("É" and "é" both go to "e"), or "#"
    // when that is not a letter.
    static QString sectionKey(const QString &headword);
};
