#include "WLWindowDriver.h"

#include "WLAppDelegate.h"
#include "WLNavigationController.h"
#include "WLReaderShell.h"
#include "WLScreenViews.h"
#include "WLTabBarController.h"
#include "WLTableView.h"
#include "WLTableViewController.h"
#include "WLViewController.h"
#include "WLWebView.h"
#include "WLWebViewController.h"

#include <QJSEngine>
#include <QJsonArray>
#include <QJsonDocument>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

namespace {

// Receives a script's result from the page.
class Receiver : public QObject
{
    Q_OBJECT

public:
    QVariant result;
    bool done = false;

public Q_SLOTS:
    void receive(const QVariant &value)
    {
        result = value;
        done = true;
    }
};

} // namespace

QQuickItem *WLWindowDriver::findItem(QQuickItem *root, const std::function<bool(QQuickItem *)> &match)
{
    if (!root)
        return nullptr;
    if (match(root))
        return root;
    const QList<QQuickItem *> children = root->childItems();
    for (QQuickItem *child : children) {
        if (QQuickItem *found = findItem(child, match))
            return found;
    }
    return nullptr;
}

QQuickItem *WLWindowDriver::findItem(QQuickItem *root, const QString &objectName)
{
    return findItem(root, [&objectName](QQuickItem *item) { return item->objectName() == objectName; });
}

QQuickItem *WLWindowDriver::viewOf(WLReaderShell &shell, WLViewController *screen)
{
    return shell.screenViews()->viewFor(screen);
}

void WLWindowDriver::tapAt(QQuickWindow *window, const QPointF &scenePoint)
{
    QTest::mouseClick(window, Qt::LeftButton, {}, scenePoint.toPoint());
}

void WLWindowDriver::tap(QQuickItem *item)
{
    QVERIFY(item);
    QVERIFY(item->window());
    tapAt(item->window(), item->mapToScene(QPointF(item->width() / 2, item->height() / 2)));
}

bool WLWindowDriver::waitUntilStill(QQuickItem *item)
{
    return QTest::qWaitFor([item] {
        for (QQuickItem *above = item; above; above = above->parentItem()) {
            if (above->property("busy").toBool())
                return false;
        }
        return true;
    });
}

void WLWindowDriver::typeText(QQuickWindow *window, const QString &text)
{
    for (const QChar c : text)
        QTest::keyClick(window, c.toLatin1());
}

QQuickItem *WLWindowDriver::rowItem(QQuickItem *listView, int row)
{
    QMetaObject::invokeMethod(listView, "positionViewAtIndex", Q_ARG(int, row), Q_ARG(int, 3));
    QQuickItem *item = nullptr;
    QMetaObject::invokeMethod(listView, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, item),
                              Q_ARG(int, row));
    return item;
}

int WLWindowDriver::firstVisibleRow(QQuickItem *listView)
{
    const qreal contentY = listView->property("contentY").toReal();
    int row = -1;
    // A little below the top, past a section header that stays there.
    QMetaObject::invokeMethod(listView, "indexAt", Q_RETURN_ARG(int, row), Q_ARG(qreal, 1),
                              Q_ARG(qreal, contentY + 30));
    return row;
}

bool WLWindowDriver::waitForPage(WLWebView *webView, int timeoutMs)
{
    return QTest::qWaitFor([webView] { return webView->loadedSerial() == webView->contentSerial(); },
                           timeoutMs);
}

bool WLWindowDriver::openFromIndex(WLReaderShell &shell, const QString &word)
{
    auto *index = qobject_cast<WLNavigationController *>(
        shell.appDelegate()->tabBarController()->viewControllers().value(0));
    auto *screen = index ? qobject_cast<WLTableViewController *>(index->viewControllers().value(0)) : nullptr;
    if (!screen)
        return false;
    QAbstractItemModel *rows = screen->tableView()->model();
    int row = 0;
    while (row < rows->rowCount() && rows->index(row, 0).data().toString() != word)
        ++row;
    QQuickItem *list = findItem(viewOf(shell, screen), QStringLiteral("list"));
    if (row == rows->rowCount() || !list)
        return false;
    // The stack takes no taps while it slides.
    if (!waitUntilStill(list))
        return false;
    tap(rowItem(list, row));
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    return QTest::qWaitFor([&] { return index->topViewController() == viewer; }) &&
           viewer->currentWord() == word && waitForPage(viewer->webView());
}

QVariant WLWindowDriver::runJavaScript(QQuickItem *webEngineView, const QString &script,
                                       int timeoutMs, int world)
{
    QJSEngine *engine = qjsEngine(webEngineView);
    if (!engine)
        return {};
    Receiver receiver;
    QJSValue wrap = engine->evaluate(
        QStringLiteral("(function (receiver) { return function (value) { receiver.receive(value) } })"));
    QJSValue callback = wrap.call({engine->newQObject(&receiver)});
    QQmlEngine::setObjectOwnership(&receiver, QQmlEngine::CppOwnership);
    QMetaObject::invokeMethod(webEngineView, "runJavaScript", Q_ARG(QString, script),
                              Q_ARG(quint32, quint32(world)), Q_ARG(QJSValue, callback));
    if (!QTest::qWaitFor([&] { return receiver.done; }, timeoutMs))
        return {};
    return receiver.result;
}

QString WLWindowDriver::pageText(QQuickItem *webEngineView)
{
    return runJavaScript(webEngineView,
                         QStringLiteral("document.body ? document.body.innerText : ''"))
        .toString();
}

bool WLWindowDriver::tapInPage(QQuickItem *webEngineView, const QString &selector)
{
    // The reader's link script comes once the page has loaded.
    if (!QTest::qWaitFor([webEngineView] {
            return runJavaScript(webEngineView, QStringLiteral("window.wlReaderLinksReady === true")).toBool();
        }))
        return false;
    const QVariantList centre =
        runJavaScript(webEngineView,
                      QStringLiteral("(function (selector) {"
                                     "  var element = document.querySelector(selector);"
                                     "  if (!element) return [];"
                                     "  element.scrollIntoView({block: 'center'});"
                                     "  var r = element.getBoundingClientRect();"
                                     "  return [r.left + r.width / 2, r.top + r.height / 2];"
                                     "})(%1)")
                          .arg(QString::fromUtf8(QJsonDocument(QJsonArray{selector}).toJson(QJsonDocument::Compact).mid(1).chopped(1))))
            .toList();
    if (centre.size() != 2)
        return false;
    tapAt(webEngineView->window(),
          webEngineView->mapToScene(QPointF(centre.at(0).toReal(), centre.at(1).toReal())));
    return true;
}

#include "WLWindowDriver.moc"
