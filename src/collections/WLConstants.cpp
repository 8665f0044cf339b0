#include "WLConstants.h"

#define WL_CONSTANT(name) const QString name = QStringLiteral(#name)

WL_CONSTANT(WLPrefDisplayBackground);
WL_CONSTANT(WLPrefDisplayLargeFont);
WL_CONSTANT(WLPrefLastTabTag);
WL_CONSTANT(WLPrefLastWord);
WL_CONSTANT(WLPrefLastLinks);
WL_CONSTANT(WLPrefLastContentsIDs);
WL_CONSTANT(WLPrefLastSearchKeyword);

WL_CONSTANT(WLBookmarksDidUpdateNotification);
WL_CONSTANT(WLHistoryDidUpdateNotification);
