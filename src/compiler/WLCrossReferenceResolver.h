#pragma once

#include <QHashFunctions>
#include <QList>
#include <QString>
#include <QStringView>

#include <memory_resource>
#include <optional>
#include <unordered_map>

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

    // The link ID a target names, or 0.
    int linkID(const QString &target) const;

private:
    // What a reference to a headword needs: its first fragment's link ID
    // (the others follow it) and how many fragments it has.
    struct Target
    {
        int firstLinkID = 0;
        int fragmentCount = 0;
    };

    // Looked up once per reference: std::unordered_map finds a key about
    // twice as fast as QHash does in a table this size. The keys view
    // mHeadwords, every headword one after the other; the nodes come from
    // one pool, made and freed in bulk.
    QString mHeadwords;
    std::pmr::monotonic_buffer_resource mPool;
    std::pmr::unordered_map<QStringView, Target> mTargets{&mPool};
};
