#include "WLAppDelegate.h"
#include "WLBookmarksDataSource.h"
#include "WLConstants.h"
#include "WLIndexDataSource.h"
#include "WLNavigationController.h"
#include "WLReaderShell.h"
#include "WLTabBarController.h"
#include "WLTableViewController.h"
#include "WLUserDefaults.h"
#include "WLWebViewController.h"
#include "WLWindowDriver.h"

#include <QFile>
#include <QGuiApplication>
#include <QQuickItem>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace WLWindowDriver;

// The reader's real window, offscreen, with the real web engine, on the
// demo dictionary.
class TestReaderWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void indexStartsAtSectionAAndTheSectionIndexJumps();
    void aRowOpensItsPageAndChangingTabTakesItAway();
    void theLastTabAndEntryComeBack();
    void closingTheWindowEndsTheRun();

private:
    void launch();
    QQuickItem *listOf(int tab);
    QQuickItem *entryWebView();
    WLTabBarController *tabBar() { return mShell->appDelegate()->tabBarController(); }
    WLNavigationController *tab(int index)
    {
        return qobject_cast<WLNavigationController *>(tabBar()->viewControllers().value(index));
    }
    // Waits until the viewer's page has loaded in the engine; its text.
    QString waitForPage();

    std::unique_ptr<WLReaderShell> mShell;
};

void TestReaderWindow::init()
{
    WLUserDefaults::resetStandardUserDefaults();
    QFile::remove(WLUserDefaults::defaultPath());
    WLIndexDataSource::setFirstShowing(true);
}

void TestReaderWindow::cleanup()
{
    if (mShell)
        mShell->terminate();
    mShell.reset();
    WLUserDefaults::resetStandardUserDefaults();
}

void TestReaderWindow::launch()
{
    mShell = std::make_unique<WLReaderShell>();
    WLReaderShell::Options options;
    options.dictionaryPath = qEnvironmentVariable("WL_DEMO_BUNDLE");
    options.quitWhenStopped = false;
    QVERIFY(mShell->start(options));
    QVERIFY(QTest::qWaitForWindowExposed(mShell->window()));
}

QQuickItem *TestReaderWindow::listOf(int index)
{
    WLViewController *root = tab(index)->viewControllers().value(0);
    return findItem(viewOf(*mShell, root), u"list"_s);
}

QQuickItem *TestReaderWindow::entryWebView()
{
    return findItem(viewOf(*mShell, WLWebViewController::sharedWebViewController()),
                    u"entryWebView"_s);
}

QString TestReaderWindow::waitForPage()
{
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    if (!QTest::qWaitFor([viewer] {
            return viewer->webView()->loadedSerial() == viewer->webView()->contentSerial();
        }, 30000))
        return u"(the page did not load)"_s;
    return pageText(entryWebView());
}

void TestReaderWindow::indexStartsAtSectionAAndTheSectionIndexJumps()
{
    launch();
    QQuickItem *list = listOf(0);
    QVERIFY(list);
    // The demo's "#" section comes first; the list starts at "a" all the same.
    auto *table = qobject_cast<WLTableViewController *>(tab(0)->topViewController())->tableView();
    QTRY_COMPARE(firstVisibleRow(list), table->rowForIndexPath(1, 0));
    QCOMPARE(table->titleForSection(1), u"A"_s);

    QQuickItem *sectionIndex = findItem(viewOf(*mShell, tab(0)->topViewController()), u"sectionIndex"_s);
    QVERIFY(sectionIndex && sectionIndex->isVisible());
    const QStringList titles = table->sectionIndexTitles();
    const int m = int(titles.indexOf(u"M"_s));
    QVERIFY(m > 0);
    // A tap on the letter's place in the strip.
    const qreal step = sectionIndex->childItems().at(1)->height() / titles.size();
    const QPointF letter = sectionIndex->childItems().at(1)->mapToScene(
        QPointF(sectionIndex->width() / 2, step * (m + 0.5)));
    tapAt(mShell->window(), letter);
    QTRY_COMPARE(firstVisibleRow(list), table->rowForIndexPath(m, 0));
}

void TestReaderWindow::aRowOpensItsPageAndChangingTabTakesItAway()
{
    launch();
    QQuickItem *list = listOf(0);
    auto *table = qobject_cast<WLTableViewController *>(tab(0)->topViewController())->tableView();
    const int row = table->rowForIndexPath(1, 1);
    QQuickItem *rowView = rowItem(list, row);
    QVERIFY(rowView);
    const QString word = table->model()->index(row, 0).data().toString();
    QVERIFY(!word.isEmpty());
    tap(rowView);

    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    QTRY_COMPARE(tab(0)->topViewController(), viewer);
    QCOMPARE(viewer->currentWord(), std::optional(word));
    QVERIFY2(waitForPage().contains(word), qPrintable(word));
    // The way back names the Index.
    QCOMPARE(tab(0)->backButtonTitle(), u"Index"_s);

    tap(findItem(mShell->window()->contentItem(), u"tab2"_s));
    QCOMPARE(tabBar()->selectedIndex(), 2);
    QVERIFY(!viewer->parentViewController());
    QCOMPARE(tab(0)->viewControllers().size(), 1);
    QTRY_COMPARE(waitForPage(), QString());
}

void TestReaderWindow::theLastTabAndEntryComeBack()
{
    // A first run leaves an entry open on the Index tab...
    launch();
    QQuickItem *list = listOf(0);
    auto *table = qobject_cast<WLTableViewController *>(tab(0)->topViewController())->tableView();
    tap(rowItem(list, table->rowForIndexPath(1, 2)));
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    QTRY_COMPARE(tab(0)->topViewController(), viewer);
    const std::optional<QString> word = viewer->currentWord();
    mShell->terminate();
    mShell.reset();

    // ... which, moved to the Bookmarks tab, the next run opens there.
    WLUserDefaults::resetStandardUserDefaults();
    WLUserDefaults::standardUserDefaults()->setInteger(102, WLPrefLastTabTag);
    QVERIFY(WLUserDefaults::standardUserDefaults()->synchronize());
    WLUserDefaults::resetStandardUserDefaults();
    WLIndexDataSource::setFirstShowing(true);
    launch();
    QCOMPARE(tabBar()->selectedIndex(), 2);
    viewer = WLWebViewController::sharedWebViewController();
    QCOMPARE(tab(2)->topViewController(), viewer);
    QCOMPARE(viewer->currentWord(), word);
    QVERIFY(waitForPage().contains(*word));
}

void TestReaderWindow::closingTheWindowEndsTheRun()
{
    launch();
    QVERIFY(WLWebViewController::sharedWebViewController());
    mShell->window()->close();
    QTRY_VERIFY(!WLWebViewController::sharedWebViewController());
    QVERIFY(!WLBookmarksDataSource::sharedBookmarks());
    QCOMPARE(WLUserDefaults::standardUserDefaults()->integerForKey(WLPrefLastTabTag), 100);
}

int main(int argc, char *argv[])
{
    WLReaderShell::prepareWebEngine();
    QGuiApplication app(argc, argv);
    TestReaderWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_readerwindow.moc"
