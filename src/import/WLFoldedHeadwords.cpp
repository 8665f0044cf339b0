#include "WLFoldedHeadwords.h"

WLFoldedHeadwords::WLFoldedHeadwords(const std::vector<QString> &headwords,
                                     const std::vector<size_t> &words)
    : mHeadwords(headwords)
{
    size_t capacity = 16;
    while (capacity < words.size() * 2)
        capacity *= 2;
    mSlots.assign(capacity, -1);
    for (const size_t i : words) {
        const quint32 hash = hashOf(headwords[i]);
        size_t slot = hash & (capacity - 1);
        for (; mSlots[slot] >= 0; slot = (slot + 1) & (capacity - 1)) {
            Stored &known = mClasses[size_t(mSlots[slot])];
            if (known.hash == hash && sameFolded(headwords[known.first], headwords[i])) {
                known.several = known.several || headwords[known.first] != headwords[i];
                break;
            }
        }
        if (mSlots[slot] < 0) {
            mSlots[slot] = int(mClasses.size());
            mClasses.push_back({{i, false}, hash});
        }
    }
}

const WLFoldedHeadwords::Class *WLFoldedHeadwords::find(QStringView text) const
{
    const quint32 hash = hashOf(text);
    const size_t mask = mSlots.size() - 1;
    for (size_t slot = hash & mask; mSlots[slot] >= 0; slot = (slot + 1) & mask) {
        const Stored &known = mClasses[size_t(mSlots[slot])];
        if (known.hash == hash && sameFolded(mHeadwords[known.first], text))
            return &known;
    }
    return nullptr;
}

// The next code point of a text from i on, case-folded as
// QString::toCaseFolded() folds it; none at the end.
std::optional<char32_t> WLFoldedHeadwords::nextFolded(QStringView text, qsizetype &i)
{
    if (i >= text.size())
        return std::nullopt;
    char32_t c = text[i++].unicode();
    if (QChar::isHighSurrogate(c) && i < text.size() && text[i].isLowSurrogate())
        c = QChar::surrogateToUcs4(char16_t(c), text[i++].unicode());
    return QChar::toCaseFolded(c);
}

quint32 WLFoldedHeadwords::hashOf(QStringView text)
{
    quint32 hash = 2166136261u;
    qsizetype i = 0;
    while (const std::optional<char32_t> c = nextFolded(text, i))
        hash = (hash ^ quint32(*c)) * 16777619u;
    return hash;
}

bool WLFoldedHeadwords::sameFolded(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype k = 0;
    for (;;) {
        const std::optional<char32_t> x = nextFolded(a, i);
        if (x != nextFolded(b, k))
            return false;
        if (!x)
            return true;
    }
}
