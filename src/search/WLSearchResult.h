#pragma once

#include <QList>
#include <QString>
#include <QVariantList>

#include <optional>

// One row of the search list: the entry reference it opens. Made whole on
// the worker, so the main thread only reads it.
struct WLSearchResult {
    QString word;
    // One link text (partial match) or several separated by tabs (whole word).
    QString links;
    // Integers. Nothing when a whole-word row's contents-ID list did not
    // parse: the row is listed but cannot be opened.
    std::optional<QVariantList> contentsIDs;
};

// What one hand-over from the worker carries. Each receiver reads only its
// own half; a half without rows clears that half. The lists are shared, not
// copied, and never change once handed over.
struct WLSearchSnapshot {
    QList<WLSearchResult> equalResults;
    QList<WLSearchResult> keywordResults;
};
