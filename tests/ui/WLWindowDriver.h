#pragma once

#include <QPointF>
#include <QString>
#include <QVariant>

#include <functional>

class QQuickItem;
class QQuickWindow;
class WLReaderShell;
class WLViewController;
class WLWebView;

// Drives the real reader window in a test: finds the items that draw a
// screen, taps them as a user would, and reads back the page in the web
// engine.
namespace WLWindowDriver {

// The first item in the visual tree under root (root included) that
// matches; the first named objectName.
QQuickItem *findItem(QQuickItem *root, const std::function<bool(QQuickItem *)> &match);
QQuickItem *findItem(QQuickItem *root, const QString &objectName);
// The item that draws a screen (made if it was not yet).
QQuickItem *viewOf(WLReaderShell &shell, WLViewController *screen);

// A mouse click at the centre of an item, through the window.
void tap(QQuickItem *item);
void tapAt(QQuickWindow *window, const QPointF &scenePoint);

// Types the text key by key into the window, as QTest::keyClicks does for
// widgets.
void typeText(QQuickWindow *window, const QString &text);

// Waits until no stack above the item is in a transition (a stack then
// takes no taps); false if one is still moving after a while.
bool waitUntilStill(QQuickItem *item);

// The delegate of a row of a list view, made visible first.
QQuickItem *rowItem(QQuickItem *listView, int row);
// The index of the first row at the top of a list view.
int firstVisibleRow(QQuickItem *listView);

// Waits until the web view's content has loaded in its engine.
bool waitForPage(WLWebView *webView, int timeoutMs = 30000);
// Taps the word's row in the Index list and waits until the entry viewer
// is on top with the page loaded; false when the word is not listed or
// its page did not load.
bool openFromIndex(WLReaderShell &shell, const QString &word);

// The script worlds of a page: its own, where nothing runs, and the
// reader's, where the link bridge lives (QWebEngineScript's numbers).
constexpr int kPageWorld = 0;
constexpr int kReaderWorld = 1;

// Runs a script in the page of a web engine view, in the given world, and
// waits for its result.
QVariant runJavaScript(QQuickItem *webEngineView, const QString &script, int timeoutMs = 20000,
                       int world = kReaderWorld);
// The text of the page shown.
QString pageText(QQuickItem *webEngineView);
// A mouse click, through the window, on the first element of the page
// that matches a CSS selector (scrolled into view first), once the reader's
// link script is in the page; false when the page has none.
bool tapInPage(QQuickItem *webEngineView, const QString &selector);

} // namespace WLWindowDriver
