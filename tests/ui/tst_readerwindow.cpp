#include "WLAddBookmarkViewController.h"
#include "WLAppDelegate.h"
#include "WLBookmarksDataSource.h"
#include "WLConstants.h"
#include "WLDictionaryCompiler.h"
#include "WLHistoryDataSource.h"
#include "WLImageViewController.h"
#include "WLIndexDataSource.h"
#include "WLNavigationController.h"
#include "WLReaderShell.h"
#include "WLSourceFixture.h"
#include "WLTabBarController.h"
#include "WLTableViewController.h"
#include "WLUserDefaults.h"
#include "WLWebViewController.h"
#include "WLWindow.h"
#include "WLWindowDriver.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QQuickItem>
#include <QRegularExpression>
#include <QTemporaryDir>
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
    void aTappedCrossReferenceShowsItsTargetInPlace();
    void tappedSoundsAndPictures();
    void pagesInTheirCharsetAndTooLargeToGoInline();
    void savingInTheEditorAddsTheBookmark();

private:
    void launch(const QString &dictionary = qEnvironmentVariable("WL_DEMO_BUNDLE"));
    // Taps the word's row in the Index list and waits for its page.
    void openEntry(const QString &word);
    // The visible bar button that draws a bar item.
    static QQuickItem *buttonOf(QQuickItem *root, QObject *barItem);
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

void TestReaderWindow::launch(const QString &dictionary)
{
    mShell = std::make_unique<WLReaderShell>();
    WLReaderShell::Options options;
    options.dictionaryPath = dictionary;
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

void TestReaderWindow::openEntry(const QString &word)
{
    auto *screen = qobject_cast<WLTableViewController *>(tab(0)->viewControllers().value(0));
    QAbstractItemModel *rows = screen->tableView()->model();
    int row = 0;
    while (row < rows->rowCount() && rows->index(row, 0).data().toString() != word)
        ++row;
    QVERIFY2(row < rows->rowCount(), qPrintable(word));
    // The stack takes no taps while it slides.
    QTRY_VERIFY(listOf(0) && listOf(0)->parentItem());
    QQuickItem *stack = listOf(0)->parentItem()->parentItem();
    QTRY_VERIFY(!stack->property("busy").toBool());
    tap(rowItem(listOf(0), row));
    QTRY_COMPARE(tab(0)->topViewController(), WLWebViewController::sharedWebViewController());
    QVERIFY2(waitForPage().contains(word), qPrintable(word));
}

QQuickItem *TestReaderWindow::buttonOf(QQuickItem *root, QObject *barItem)
{
    return findItem(root, [barItem](QQuickItem *item) {
        return item->isVisible() && item->property("item").value<QObject *>() == barItem;
    });
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

void TestReaderWindow::aTappedCrossReferenceShowsItsTargetInPlace()
{
    launch();
    openEntry(u"map"_s);
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    const QRegularExpressionMatch link =
        QRegularExpression(u"href=\"#(\\d+)\">travel<"_s).match(QString::fromUtf8(viewer->currentContentsData()));
    QVERIFY(link.hasMatch());
    const std::size_t records = WLHistoryDataSource::sharedHistory()->historyCount();
    QVERIFY(tapInPage(entryWebView(), u"a[href=\"#%1\"]"_s.arg(link.captured(1))));
    QTRY_COMPARE(viewer->currentWord(), std::optional(u"travel"_s));
    QVERIFY(waitForPage().contains(u"I love to travel."_s));
    QCOMPARE(WLHistoryDataSource::sharedHistory()->historyCount(), records + 1);
    QCOMPARE(tab(0)->viewControllers().size(), 2);

    // The page's text can be selected and copied.
    runJavaScript(entryWebView(), u"window.getSelection().selectAllChildren(document.body)"_s);
    QTest::keyClick(mShell->window(), Qt::Key_C, Qt::ControlModifier);
    QTRY_VERIFY(QGuiApplication::clipboard()->text().contains(u"I love to travel."_s));
    // Backspace goes back to the list.
    QTest::keyClick(mShell->window(), Qt::Key_Backspace);
    QTRY_COMPARE(tab(0)->viewControllers().size(), 1);
}

void TestReaderWindow::tappedSoundsAndPictures()
{
    launch();
    openEntry(u"apple"_s);
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    QVERIFY(tapInPage(entryWebView(), u"a.sound"_s));
    QTRY_VERIFY(viewer->soundEffect());
    QCOMPARE(tab(0)->topViewController(), viewer);

    // A small picture shows at its natural size, centred, without zooming.
    QVERIFY(tapInPage(entryWebView(), u"img.pic"_s));
    QTRY_COMPARE(tab(0)->topViewController(), viewer->imageViewController());
    WLImageViewController *pictures = viewer->imageViewController();
    QCOMPARE(pictures->imageView()->frame().size(), QSizeF(64, 64));
    QCOMPARE(pictures->scrollView()->maximumZoomScale(), 1.0);
    QTest::keyClick(mShell->window(), Qt::Key_Left, Qt::AltModifier);
    QTRY_COMPARE(tab(0)->topViewController(), viewer);
    // The page stayed as it was under the picture.
    QVERIFY(pageText(entryWebView()).contains(u"An apple a day"_s));
    // Straight back to the list, within the slide.
    QTest::keyClick(mShell->window(), Qt::Key_Backspace);

    // The map is larger than the window: fitted, and a double click zooms
    // it to its natural size.
    openEntry(u"map"_s);
    QVERIFY(tapInPage(entryWebView(), u"img.map"_s));
    QTRY_COMPARE(tab(0)->topViewController(), pictures);
    QCOMPARE(pictures->imageView()->frame().size(), pictures->viewSize());
    const double natural = 1200 / pictures->viewSize().width();
    QCOMPARE(pictures->scrollView()->maximumZoomScale(), natural);
    QQuickItem *picture = findItem(viewOf(*mShell, pictures), u"picture"_s);
    QVERIFY(picture);
    QTRY_COMPARE(picture->property("status").toInt(), 1);
    // Past the push's slide.
    QTest::qWait(500);
    const QPointF centre = picture->mapToScene(QPointF(picture->width() / 2, picture->height() / 2));
    QTest::mouseDClick(mShell->window(), Qt::LeftButton, {}, centre.toPoint());
    QTRY_COMPARE(pictures->scrollView()->zoomScale(), natural);
    QTRY_COMPARE(picture->width(), 1200.0);
}

void TestReaderWindow::pagesInTheirCharsetAndTooLargeToGoInline()
{
    // A Latin-1 dictionary with a page of more than 3 MB.
    QTemporaryDir dir;
    const QString source = dir.filePath(u"source"_s);
    const QString bundle = dir.filePath(u"bundle"_s);
    const QString huge = u"<p>huge "_s + u"lorem ipsum "_s.repeated(280000) + u"<b id=\"end\">the end</b></p>"_s;
    QVERIFY(WLSourceFixture::write(source, WLSourceFixture::manifest(u"ISO-8859-1"_s),
                                   WLSourceFixture::entry(u"café"_s, {u"<p>café au lait</p>"_s}) +
                                       WLSourceFixture::entry(u"huge"_s, {huge})));
    QString error;
    QVERIFY2(WLDictionaryCompiler::build(source, bundle, &error), qPrintable(error));
    launch(bundle);
    openEntry(u"café"_s);
    QVERIFY(pageText(entryWebView()).contains(u"café au lait"_s));
    tab(0)->popViewControllerAnimated(false);

    openEntry(u"huge"_s);
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    QVERIFY(viewer->currentContentsData().size() > 3 * 1024 * 1024);
    QVERIFY(viewer->webView()->url().isLocalFile());
    QCOMPARE(runJavaScript(entryWebView(), u"document.getElementById('end').textContent"_s).toString(),
             u"the end"_s);
}

void TestReaderWindow::savingInTheEditorAddsTheBookmark()
{
    launch();
    openEntry(u"apple"_s);
    QTest::keyClick(mShell->window(), Qt::Key_D, Qt::ControlModifier);
    WLAddBookmarkViewController *editor = WLAddBookmarkViewController::sharedViewController();
    WLWindow *window = mShell->appDelegate()->window();
    QTRY_COMPARE(window->modalViewControllers(), QList<WLViewController *>{editor});
    QQuickItem *sheet = viewOf(*mShell, editor);
    QQuickItem *field = findItem(sheet, u"textViewField"_s);
    QVERIFY(field);
    QTest::qWait(400);
    tap(field);
    QTRY_VERIFY(editor->textView()->isEditing());
    for (const char letter : "juicy")
        if (letter)
            QTest::keyClick(mShell->window(), letter);
    QTRY_COMPARE(editor->textView()->text(), u"juicy"_s);
    tap(buttonOf(sheet, editor->doneButton()));
    QTRY_VERIFY(!editor->textView()->isEditing());
    tap(buttonOf(sheet, editor->saveButton()));
    QTRY_VERIFY(window->modalViewControllers().isEmpty());

    // The Bookmarks list shows it with its note.
    tap(findItem(mShell->window()->contentItem(), u"tab2"_s));
    QQuickItem *list = listOf(2);
    QTRY_VERIFY(rowItem(list, 0));
    const QModelIndex row = qobject_cast<WLTableViewController *>(tab(2)->topViewController())
                                ->tableView()->model()->index(0, 0);
    QCOMPARE(row.data().toString(), u"apple"_s);
    QCOMPARE(row.data(WLTableModel::DetailTextRole).toString(), u"juicy"_s);
}

int main(int argc, char *argv[])
{
    WLReaderShell::prepareApplication();
    QGuiApplication app(argc, argv);
    TestReaderWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_readerwindow.moc"
