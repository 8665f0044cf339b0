#pragma once

#include <QString>

// Preference keys and notification names shared by the stores and the
// application. Each constant holds its own name as its value.

// Preferences (the user defaults store).
extern const QString WLPrefDisplayBackground;
extern const QString WLPrefDisplayLargeFont;
extern const QString WLPrefLastTabTag;
extern const QString WLPrefLastWord;
extern const QString WLPrefLastLinks;
extern const QString WLPrefLastContentsIDs;
extern const QString WLPrefLastSearchKeyword;

// Notifications (the default notification centre); the object is the store
// that changed.
extern const QString WLBookmarksDidUpdateNotification;
extern const QString WLHistoryDidUpdateNotification;
