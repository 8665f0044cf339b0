#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// The headwords by case-folded form, each form with the first headword
// (in the given order) that has it: most references differ from their
// target in case, and a lookup here folds nothing into a new string.
// Read-only after construction, so any thread may look up.
class WLFoldedHeadwords
{
public:
    struct Class
    {
        size_t first = 0;     // index of the headword
        bool several = false; // more than one headword has the form
    };

    // words: the indexes into headwords that count, in order.
    WLFoldedHeadwords(const std::vector<QString> &headwords, const std::vector<size_t> &words);

    const Class *find(QStringView text) const;

private:
    struct Stored : Class
    {
        quint32 hash = 0;
    };

    static std::optional<char32_t> nextFolded(QStringView text, qsizetype &i);
    static quint32 hashOf(QStringView text);
    static bool sameFolded(QStringView a, QStringView b);

    const std::vector<QString> &mHeadwords;
    std::vector<int> mSlots; // a power of two, at most half full
    std::vector<Stored> mClasses;
};
