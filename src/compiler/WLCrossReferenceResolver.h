#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

struct WLSourceEntry;
struct WLDictionaryLayout;

// Turns the cross-references of fragment HTML, [[target]] and
// [[target|shown text]], into links "#N" the reader resolves through its
// link table. A target is a headword (its first fragment) or a link text
// "headword#n" (its n-th fragment). Once made, it may be used by several
// threads at once.
class WLCrossReferenceResolver
{
public:
    WLCrossReferenceResolver(const QList<WLSourceEntry> &entries, const WLDictionaryLayout &layout);

    // The HTML with every reference replaced; nothing and the reason for an
    // unknown target or a reference left open.
    std::optional<QString> resolve(const QString &html, QString *problem) const;
    // The same on UTF-8, for dictionaries in UTF-8: their text need not
    // become UTF-16 and back.
    std::optional<QByteArray> resolveUtf8(const QByteArray &html, QString *problem) const;

    // The link ID a target names, or 0.
    int linkID(const QString &target) const;

private:
    // What a reference to a headword needs: where the headword is in
    // mHeadwords, its first fragment's link ID (the others follow it) and
    // how many fragments it has.
    struct Target
    {
        qsizetype at = 0;
        int size = 0;
        int firstLinkID = 0;
        int fragmentCount = 0;
    };
    const Target *find(QStringView headword) const;

    // Looked up once per reference, millions of times in a big dictionary:
    // an open-addressing table of (hash, target) pairs, so a lookup reads
    // one slot and one headword, where a node-based map chases pointers.
    // The headwords are side by side in one string.
    struct Slot
    {
        quint32 hash = 0;
        int target = -1;
    };
    QString mHeadwords;
    std::vector<Target> mTargets;
    std::vector<Slot> mSlots; // a power of two, at most half full
};
