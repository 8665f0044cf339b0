#pragma once

#include "WLReport.h"

#include <QString>
#include <QVariantList>

#include <optional>

// The check every taker of an entry reference (word, links, contents IDs)
// makes first: the first part missing is reported under the caller's name,
// in that order, and the reference is refused.
inline bool wlCheckEntryReference(const char *function, const std::optional<QString> &word,
                                  const std::optional<QVariantList> &links,
                                  const std::optional<QVariantList> &contentsIDs)
{
    const char *missing = !word ? "word == nil"
                          : !links ? "links == nil"
                          : !contentsIDs ? "contentsIDs == nil"
                                         : nullptr;
    if (missing)
        WL_REPORT(function, missing);
    return !missing;
}
