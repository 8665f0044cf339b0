#include "WLSearchResult.h"

const QString kKXSearchUpdateReceiver = QStringLiteral("kKXSearchUpdateReceiver");
const QString kKXSearchUpdateCount = QStringLiteral("kKXSearchUpdateCount");
const QString kKXSearchUpdateKeyword = QStringLiteral("kKXSearchUpdateKeyword");
const QString kKXSearchUpdateFinished = QStringLiteral("kKXSearchUpdateFinished");

WLSearchUpdate WLSearchUpdate::fromUserInfo(const QVariantMap &userInfo)
{
    return {userInfo.value(kKXSearchUpdateReceiver).toString(),
            userInfo.value(kKXSearchUpdateCount, -1).toInt(),
            userInfo.value(kKXSearchUpdateKeyword).toString(),
            userInfo.value(kKXSearchUpdateFinished).toBool()};
}

QVariantMap WLSearchUpdate::userInfo() const
{
    QVariantMap info{{kKXSearchUpdateKeyword, keyword}, {kKXSearchUpdateFinished, finished}};
    if (!receiver.isEmpty())
        info.insert(kKXSearchUpdateReceiver, receiver);
    if (count >= 0)
        info.insert(kKXSearchUpdateCount, count);
    return info;
}

const WLSearchSection *WLSearchResults::section(WLSearchSection::Kind kind) const
{
    for (const WLSearchSection &candidate : sections) {
        if (candidate.kind == kind)
            return &candidate;
    }
    return nullptr;
}

std::optional<WLSearchResult> WLSearchResults::firstWholeWordMatch() const
{
    const WLSearchSection *wholeWords = section(WLSearchSection::Kind::WholeWords);
    if (!wholeWords || wholeWords->rows.isEmpty())
        return std::nullopt;
    return wholeWords->rows.constFirst();
}
