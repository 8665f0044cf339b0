#pragma once

#include <QString>

// The platform's stock tab items; the values are the phone's own.
enum class WLTabBarSystemItem {
    None = -1,
    History = 6,
    Bookmarks = 7,
    Search = 8,
};

// What a data source tells the application about its tab. A system item
// brings its own title and picture; otherwise title and imageName (a
// resource name) describe the tab. The tag identifies the tab when the last
// selected one is restored.
struct WLTabBarItem {
    QString title;
    QString imageName;
    WLTabBarSystemItem systemItem = WLTabBarSystemItem::None;
    int tag = 0;

    bool operator==(const WLTabBarItem &) const = default;
};
