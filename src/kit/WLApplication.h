#pragma once

#include <QUrl>

#include <functional>

// What the screens ask of the application beyond the window: opening a
// link in another program (the desktop's browser). The window's layer sets
// the handler; without one nothing opens.
//
// Threading: main thread only.
namespace WLApplication {

using OpenURLHandler = std::function<bool(const QUrl &)>;

void setOpenURLHandler(OpenURLHandler handler);
// False when nothing could open it.
bool openURL(const QUrl &url);

} // namespace WLApplication
