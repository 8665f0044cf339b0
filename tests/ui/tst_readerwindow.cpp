#include "WLAboutImageViewController.h"
#include "WLAboutWebViewController.h"
#include "WLAddBookmarkViewController.h"
#include "WLAppDelegate.h"
#include "WLBarButtonItem.h"
#include "WLBookmarksDataSource.h"
#include "WLConstants.h"
#include "WLDatabase.h"
#include "WLDictionaryCompiler.h"
#include "WLHistoryDataSource.h"
#include "WLImageViewController.h"
#include "WLIndexDataSource.h"
#include "WLLocalization.h"
#include "WLNavigationController.h"
#include "WLNavigationItem.h"
#include "WLProgressViewController.h"
#include "WLReaderHandOver.h"
#include "WLReaderShell.h"
#include "WLSearchViewController.h"
#include "WLSegmentedControl.h"
#include "WLSettingsViewController.h"
#include "WLSoundEffect.h"
#include "WLSourceFixture.h"
#include "WLStarDictImporter.h"
#include "WLStarDictTestDictionary.h"
#include "WLSwitch.h"
#include "WLTabBarController.h"
#include "WLTableViewController.h"
#include "WLUserDefaults.h"
#include "WLWebViewController.h"
#include "WLWindow.h"
#include "WLWindowDriver.h"

#include <QAccessible>
#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QScopeGuard>
#include <QProcess>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLocale>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

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
    void aStarDictionaryShowsItsPicturesAndPlaysItsSounds();
    void savingInTheEditorAddsTheBookmark();
    void aTapAnywhereInTheNoteRowStartsEditing_data();
    void aTapAnywhereInTheNoteRowStartsEditing();
    void bookmarksImportedWhileTheReaderRunsAreKept();
    void typingSearchesAndAResultOpens();
    void aLetterOverAListStartsASearch();
    void aboutFlipsInAndBack();
    void theReadersOwnAboutPageWithItsStyle();
    void theBackgroundSwitchTakesEffectWhenAListNextShows();
    void inGerman();
    void dictionariesAddedOpenedAndRemovedInTheSettings();
    void aReaderShowingTheChosenDictionaryComesForwardInstead();
    void withoutADesktopPortalTheWindowsOwnChooserOpens();
    void aKeyboardOnlyWalk();
    void thePictureViewerFromTheKeyboard();
    void aBookmarkDeletedFromTheKeyboard();
    void theProgressBarFillsFromTheLeftOnceTheAmountIsKnown();
    void searchResultsAreAnnounced_data();
    void searchResultsAreAnnounced();

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
    WLSearchViewController *searchScreen()
    {
        return qobject_cast<WLSearchViewController *>(tab(1)->viewControllers().value(0));
    }
    QQuickItem *searchField() { return findItem(mShell->window()->contentItem(), u"searchField"_s); }
    // The rows of the search list, and its section titles, as drawn.
    QStringList searchRows();
    QStringList searchTitles();
    // The colour drawn at a point of the window.
    QColor pixel(const QPointF &point) { return mShell->window()->grabWindow().pixelColor(point.toPoint()); }
    // Shows the About screen from the Index tab's info button, after the flip.
    WLAboutImageViewController *flipToAbout();
    // Until the window's flip has ended with the screen in front.
    bool inFront(QObject *screen)
    {
        // The flip's side follows its angle when next drawn; until then the
        // front takes no taps.
        QQuickItem *front = findItem(mShell->window()->contentItem(), u"frontSlot"_s);
        return QTest::qWaitFor([&] {
            return front->property("screen").value<QObject *>() == screen
                   && front->parentItem()->property("side").toInt() == 0;
        }, 5000);
    }

    // Keys as the user presses them, to the window.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(mShell->window(), Qt::Key(key), modifiers);
    }
    QQuickItem *focused() { return mShell->window()->activeFocusItem(); }
    // What a screen reader hears of an item.
    static QString accessibleName(QQuickItem *item)
    {
        QAccessibleInterface *accessible = item ? QAccessible::queryAccessibleInterface(item) : nullptr;
        return accessible ? accessible->text(QAccessible::Name) : QString();
    }
    static QString accessibleDescription(QQuickItem *item)
    {
        QAccessibleInterface *accessible = item ? QAccessible::queryAccessibleInterface(item) : nullptr;
        return accessible ? accessible->text(QAccessible::Description) : QString();
    }
    QString announced() { return accessibleName(findItem(mShell->window()->contentItem(), u"announcement"_s)); }
    // Presses Tab in the entry page until what the script says of its
    // focused element is what is expected (the page takes keys a moment
    // after it has the focus); false if it never is.
    bool tabInPageTo(const QString &script, const QString &expected)
    {
        const QString focusedElement = u"document.activeElement ? (%1) : ''"_s.arg(script);
        return QTest::qWaitFor([&] {
            press(Qt::Key_Tab);
            return QTest::qWaitFor([&] { return runJavaScript(entryWebView(), focusedElement).toString() == expected; },
                                   1000);
        }, 10000);
    }
    // Whether the item with the keyboard focus lies inside the item. Asked
    // of the item: inside a page the focus is on the web engine's own item,
    // built without type information, which a sanitizer cannot check.
    bool focusIn(QQuickItem *item)
    {
        QQuickItem *focus = focused();
        return focus && (focus == item || item->isAncestorOf(focus));
    }

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
                    u"pageView"_s);
}

void TestReaderWindow::openEntry(const QString &word)
{
    QVERIFY2(openFromIndex(*mShell, word), qPrintable(word));
    QVERIFY2(pageText(entryWebView()).contains(word), qPrintable(word));
}

QQuickItem *TestReaderWindow::buttonOf(QQuickItem *root, QObject *barItem)
{
    return findItem(root, [barItem](QQuickItem *item) {
        return item->isVisible() && item->property("item").value<QObject *>() == barItem;
    });
}

QString TestReaderWindow::waitForPage()
{
    if (!WLWindowDriver::waitForPage(WLWebViewController::sharedWebViewController()->webView()))
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
    // Under its header.
    QTRY_VERIFY(findItem(list, [](QQuickItem *item) {
        return item->isVisible() && item->property("title").toString() == u"A"_s;
    }));

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
    // The headers the list takes again show their new sections.
    const auto headerShown = [list](const QString &title) {
        return findItem(list, [&](QQuickItem *item) {
            return item->isVisible() && item->property("title").toString() == title;
        }) != nullptr;
    };
    QTRY_VERIFY(headerShown(u"M"_s));
    QVERIFY(!headerShown(u"A"_s));

    // From the keyboard: Tab goes from the list to the strip, Up to the
    // letter before; the list's current row follows.
    list->forceActiveFocus();
    press(Qt::Key_Tab);
    QCOMPARE(focused(), sectionIndex);
    QCOMPARE(accessibleName(sectionIndex), u"Section Index"_s);
    press(Qt::Key_Up);
    QTRY_COMPARE(firstVisibleRow(list), table->rowForIndexPath(m - 1, 0));
    QCOMPARE(list->property("currentIndex").toInt(), table->rowForIndexPath(m - 1, 0));
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

void TestReaderWindow::aStarDictionaryShowsItsPicturesAndPlaysItsSounds()
{
    QTemporaryDir dir;
    WLStarDictImporter importer(WLStarDictTestDictionary::writeSample(dir.filePath(u"stardict"_s)));
    QVERIFY2(importer.writeSource(dir.filePath(u"source"_s)), qPrintable(importer.errorString()));
    QString error;
    QVERIFY2(WLDictionaryCompiler::build(dir.filePath(u"source"_s), dir.filePath(u"bundle"_s), &error),
             qPrintable(error));
    launch(dir.filePath(u"bundle"_s));
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();

    // Its own picture and sound, from res/, in its own sound formats.
    openEntry(u"apple"_s);
    QCOMPARE(runJavaScript(entryWebView(), u"document.querySelector('img').naturalWidth"_s).toInt(), 24);
    QVERIFY(tapInPage(entryWebView(), u"img"_s));
    QTRY_COMPARE(tab(0)->topViewController(), viewer->imageViewController());
    QCOMPARE(viewer->imageViewController()->imageView()->frame().size(), QSizeF(24, 16));
    QTest::keyClick(mShell->window(), Qt::Key_Left, Qt::AltModifier);
    QTRY_COMPARE(tab(0)->topViewController(), viewer);
    QVERIFY(waitUntilStill(entryWebView()));
    for (const auto &[word, sound] : {std::pair{u"apple"_s, u"apple.wav"_s}, std::pair{u"banana"_s, u"banana.ogg"_s},
                                      std::pair{u"date"_s, u"date.mp3"_s}}) {
        if (viewer->currentWord() != word) {
            QTest::keyClick(mShell->window(), Qt::Key_Backspace);
            QTRY_COMPARE(tab(0)->viewControllers().size(), 1);
            openEntry(word);
        }
        QVERIFY(tapInPage(entryWebView(), u"a[href$='%1']"_s.arg(sound)));
        QTRY_VERIFY(viewer->soundEffect() && viewer->soundEffect()->path().endsWith(sound));
        QVERIFY(!viewer->soundEffect()->samples().data.isEmpty());
    }
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

void TestReaderWindow::aTapAnywhereInTheNoteRowStartsEditing_data()
{
    // Where in the note row's height the tap lands.
    QTest::addColumn<qreal>("height");
    QTest::newRow("first line") << 0.08;
    QTest::newRow("middle") << 0.5;
    QTest::newRow("bottom") << 0.95;
}

void TestReaderWindow::aTapAnywhereInTheNoteRowStartsEditing()
{
    QFETCH(qreal, height);
    launch();
    openEntry(u"apple"_s);
    QTest::keyClick(mShell->window(), Qt::Key_D, Qt::ControlModifier);
    WLAddBookmarkViewController *editor = WLAddBookmarkViewController::sharedViewController();
    QTRY_COMPARE(mShell->appDelegate()->window()->modalViewControllers(), QList<WLViewController *>{editor});
    QQuickItem *row = findItem(viewOf(*mShell, editor), u"notesTextView"_s);
    QVERIFY(row);
    // Most of the row: the first line of text is a small part of it.
    QVERIFY(row->height() > 4 * editor->textView()->fontSize());
    // Past the sheet's slide.
    QTest::qWait(400);
    tapAt(mShell->window(), row->mapToScene(QPointF(row->width() / 2, row->height() * height)));
    QTRY_VERIFY(editor->textView()->isEditing());
    QCOMPARE(editor->barItem()->rightBarButtonItem(), editor->doneButton());
}

void TestReaderWindow::bookmarksImportedWhileTheReaderRunsAreKept()
{
    launch();
    QTemporaryDir dir;
    const QString file = dir.filePath(u"in.json"_s);
    QVERIFY(WLSourceFixture::writeFile(
        file, R"([{"word": "zebra", "links": ["zebra#1"], "notes": "imported", "contentsIDs": ["1"]}])"));
    QProcess wldict;
    wldict.start(qEnvironmentVariable("WLDICT"), {u"bookmarks"_s, u"import"_s, file});
    QVERIFY(wldict.waitForFinished(30000));
    QCOMPARE(wldict.exitCode(), 0);
    QVERIFY(wldict.readAllStandardOutput().startsWith("Imported 1 bookmarks"));

    // The Bookmarks tab shows it without a restart.
    tap(findItem(mShell->window()->contentItem(), u"tab2"_s));
    const auto shown = [this] {
        QStringList rows;
        const QAbstractItemModel *model =
            qobject_cast<WLTableViewController *>(tab(2)->topViewController())->tableView()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            rows.append(model->index(row, 0).data().toString());
        return rows;
    };
    QTRY_COMPARE(shown(), QStringList{u"zebra"_s});

    // One saved in the reader joins it, and both outlive the reader.
    tap(findItem(mShell->window()->contentItem(), u"tab0"_s));
    openEntry(u"apple"_s);
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    viewer->addButtonPressed(nullptr);
    WLAddBookmarkViewController::sharedViewController()->save();
    QTRY_COMPARE(WLBookmarksDataSource::sharedBookmarks()->bookmarkCount(), std::size_t(2));
    mShell->terminate();
    mShell.reset();
    WLUserDefaults::resetStandardUserDefaults();
    const QVariantList stored = WLUserDefaults::standardUserDefaults()->arrayForKey(u"WLBookmarks"_s).value_or(QVariantList());
    QStringList words;
    for (const QVariant &bookmark : stored)
        words.append(bookmark.toMap().value(u"word"_s).toString());
    QCOMPARE(words, (QStringList{u"apple"_s, u"zebra"_s}));
}

QStringList TestReaderWindow::searchRows()
{
    QStringList rows;
    const QAbstractItemModel *model = searchScreen()->tableView()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        rows.append(model->index(row, 0).data().toString());
    return rows;
}

QStringList TestReaderWindow::searchTitles()
{
    QStringList titles;
    WLTableView *table = searchScreen()->tableView();
    for (int section = 0; section < table->numberOfSections(); ++section)
        titles.append(table->titleForSection(section));
    return titles;
}

void TestReaderWindow::typingSearchesAndAResultOpens()
{
    launch();
    tap(findItem(mShell->window()->contentItem(), u"tab1"_s));
    // The field takes the focus a moment after the tab shows.
    QTRY_VERIFY(searchField() && searchField()->hasActiveFocus());
    typeText(mShell->window(), u"car"_s);
    QCOMPARE(searchScreen()->searchBar()->text(), u"car"_s);
    QTRY_COMPARE(searchTitles(), (QStringList{u"Whole Words"_s, u"Partial Matches"_s}));
    QCOMPARE(searchRows().value(0), u"car"_s);
    QVERIFY(searchRows().contains(u"careful"_s));
    // The typed part is drawn in bold.
    QCOMPARE(searchScreen()->tableView()->model()->index(1, 0).data(WLTableModel::StyledTextRole).toString(),
             u"<b>car</b>eful"_s);

    QQuickItem *list = findItem(viewOf(*mShell, searchScreen()), u"list"_s);
    tap(rowItem(list, 1));
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    QTRY_COMPARE(tab(1)->topViewController(), viewer);
    QVERIFY(waitForPage().contains(u"careful"_s));
    // Back, the results stay and the field has the focus again.
    tap(findItem(mShell->window()->contentItem(), u"backButton"_s));
    QTRY_COMPARE(tab(1)->topViewController(), searchScreen());
    QTRY_VERIFY(searchField()->hasActiveFocus());
    QCOMPARE(searchRows().value(1), u"careful"_s);
}

void TestReaderWindow::aLetterOverAListStartsASearch()
{
    launch();
    QCOMPARE(tabBar()->selectedIndex(), 0);
    QTest::keyClick(mShell->window(), Qt::Key_C, Qt::NoModifier);
    QCOMPARE(tabBar()->selectedIndex(), 1);
    QTRY_VERIFY(searchField()->hasActiveFocus());
    typeText(mShell->window(), u"at"_s);
    QCOMPARE(searchScreen()->searchBar()->text(), u"cat"_s);
    QTRY_COMPARE(searchRows().value(0), u"cat"_s);
    QTest::keyClick(mShell->window(), Qt::Key_Down);
    QTest::keyClick(mShell->window(), Qt::Key_Return);
    QTRY_COMPARE(WLWebViewController::sharedWebViewController()->currentWord(), std::optional(u"cat"_s));
    tap(findItem(mShell->window()->contentItem(), u"backButton"_s));
    QTRY_VERIFY(searchField()->hasActiveFocus());
    // Escape is Cancel: the keyword of before this editing comes back.
    typeText(mShell->window(), u"s"_s);
    QCOMPARE(searchScreen()->searchBar()->text(), u"cats"_s);
    QTest::keyClick(mShell->window(), Qt::Key_Escape);
    QCOMPARE(searchScreen()->searchBar()->text(), u"cat"_s);
    QTRY_VERIFY(!searchField()->hasActiveFocus());
}

WLAboutImageViewController *TestReaderWindow::flipToAbout()
{
    WLNavigationController *index = tab(0);
    tap(findItem(viewOf(*mShell, index), u"infoButton"_s));
    WLNavigationController *about = mShell->appDelegate()->aboutNavigationController();
    if (!about)
        return nullptr;
    // The flip takes a second; then the About stack is in front, its
    // picture's dark sky drawn.
    if (!inFront(about) || pixel({300, 100}).lightness() > 80)
        return nullptr;
    return qobject_cast<WLAboutImageViewController *>(about->viewControllers().value(0));
}

void TestReaderWindow::aboutFlipsInAndBack()
{
    launch();
    QVERIFY(pixel({300, 100}).lightness() > 150);
    QVERIFY(flipToAbout());
    QCOMPARE(mShell->appDelegate()->containerView()->content(), mShell->appDelegate()->aboutNavigationController());
    // The About segment shows the reader's own page, the demo having none.
    tap(findItem(mShell->window()->contentItem(), u"segment1"_s));
    WLNavigationController *about = mShell->appDelegate()->aboutNavigationController();
    QTRY_VERIFY(qobject_cast<WLAboutWebViewController *>(about->topViewController()));
    QQuickItem *page = findItem(viewOf(*mShell, about->topViewController()), u"pageView"_s);
    QTRY_VERIFY(pageText(page).contains(u"WL Reader"_s));
    tap(findItem(mShell->window()->contentItem(), u"backButton"_s));
    QTRY_COMPARE(about->viewControllers().size(), 1);
    QVERIFY(waitUntilStill(viewOf(*mShell, about->topViewController())));

    // "Done" at the left of the bar flips back to the tabs.
    tapAt(mShell->window(), {30, 22});
    QVERIFY(inFront(tabBar()));
    QVERIFY(pixel({300, 100}).lightness() > 150);
}

void TestReaderWindow::theReadersOwnAboutPageWithItsStyle()
{
    // A dictionary without an About page of its own.
    QTemporaryDir dir;
    QVERIFY(WLSourceFixture::write(dir.filePath(u"source"_s), WLSourceFixture::manifest(),
                                   WLSourceFixture::entry(u"word"_s, {u"<p>a word</p>"_s})));
    QString error;
    QVERIFY2(WLDictionaryCompiler::build(dir.filePath(u"source"_s), dir.filePath(u"bundle"_s), &error),
             qPrintable(error));
    launch(dir.filePath(u"bundle"_s));
    mShell->appDelegate()->showAbout(nullptr);
    auto *about = qobject_cast<WLAboutImageViewController *>(
        mShell->appDelegate()->aboutNavigationController()->viewControllers().value(0));
    QVERIFY(about);
    about->aboutButtonPressed(nullptr);
    QVERIFY(about->aboutWebViewController());
    QCOMPARE(about->aboutWebViewController()->webView()->url(), QUrl(u"qrc:/wlreader/about/index.html"_s));
    QQuickItem *page = findItem(viewOf(*mShell, about->aboutWebViewController()), u"pageView"_s);
    QTRY_VERIFY(pageText(page).contains(u"An offline reader for one dictionary."_s));
    // Its style sheet comes from the same folder.
    QTRY_COMPARE(runJavaScript(page, u"document.styleSheets.length && document.styleSheets[0].cssRules.length > 0"_s).toBool(),
                 true);
}

void TestReaderWindow::theBackgroundSwitchTakesEffectWhenAListNextShows()
{
    launch();
    // The demo's Bookmarks list has a picture behind it.
    tap(findItem(mShell->window()->contentItem(), u"tab2"_s));
    auto *bookmarks = qobject_cast<WLTableViewController *>(tab(2)->topViewController());
    QVERIFY(!bookmarks->backgroundView()->image().isEmpty());
    // The paper's red margin line, once the picture has loaded.
    const auto marginDrawn = [&] {
        const QColor drawn = pixel({34, 300});
        return drawn.red() > drawn.green() + 20;
    };
    QTRY_VERIFY(marginDrawn());
    tap(findItem(mShell->window()->contentItem(), u"tab0"_s));

    WLAboutImageViewController *about = flipToAbout();
    QVERIFY(about);
    tap(findItem(mShell->window()->contentItem(), u"segment0"_s));
    QTRY_COMPARE(mShell->appDelegate()->aboutNavigationController()->topViewController(),
                 about->settingsViewController());
    QQuickItem *toggle = findItem(viewOf(*mShell, about->settingsViewController()), u"switch"_s);
    QVERIFY(toggle);
    QVERIFY(waitUntilStill(toggle));
    tap(toggle);
    QTRY_VERIFY(!WLUserDefaults::standardUserDefaults()->boolForKey(WLPrefDisplayBackground));
    // Back to the picture, then "Done" in the same place.
    tapAt(mShell->window(), {30, 22});
    QTRY_COMPARE(mShell->appDelegate()->aboutNavigationController()->topViewController(), about);
    QVERIFY(waitUntilStill(viewOf(*mShell, about)));
    tapAt(mShell->window(), {30, 22});
    QVERIFY(inFront(tabBar()));

    tap(findItem(mShell->window()->contentItem(), u"tab2"_s));
    QTRY_COMPARE(tabBar()->selectedIndex(), 2);
    QVERIFY(bookmarks->backgroundView()->image().isEmpty());
    QTRY_VERIFY(!marginDrawn());
}

void TestReaderWindow::inGerman()
{
    QTranslator german;
    QVERIFY(german.load(u":/i18n/wlreader_de.qm"_s));
    QCoreApplication::installTranslator(&german);
    launch();
    QStringList titles;
    for (const QVariant &item : tabBar()->tabs())
        titles.append(item.toMap().value(u"title"_s).toString());
    QCOMPARE(titles, (QStringList{u"Register"_s, u"Suche"_s, u"Lesezeichen"_s, u"Verlauf"_s}));
    tap(findItem(mShell->window()->contentItem(), u"tab1"_s));
    QTRY_VERIFY(searchField()->hasActiveFocus());
    typeText(mShell->window(), u"car"_s);
    QTRY_COMPARE(searchTitles(), (QStringList{u"Ganze Wörter"_s, u"Teiltreffer"_s}));
    tap(findItem(mShell->window()->contentItem(), u"tab0"_s));
    WLAboutImageViewController *about = flipToAbout();
    QVERIFY(about);
    auto *segments = qobject_cast<WLSegmentedControl *>(about->navigationItem()->rightBarButtonItem()->customView());
    QCOMPARE(segments->titles(), (QStringList{u"Einstellungen"_s, u"Info"_s}));
    // The demo has an About page of its own but none in German: its own
    // page comes before the reader's German one.
    QCOMPARE(WLAboutImageViewController::aboutHTMLBasePath(),
             qEnvironmentVariable("WL_DEMO_BUNDLE") + u"/about/index.html"_s);
    // wlreader WORD finds the entry whatever the sections are called.
    tapAt(mShell->window(), {30, 22});
    QVERIFY(inFront(tabBar()));
    mShell->appDelegate()->lookUpWord(u"careful"_s);
    QTRY_COMPARE(WLWebViewController::sharedWebViewController()->currentWord(), std::optional(u"careful"_s));
    QCOMPARE(tab(1)->topViewController(), WLWebViewController::sharedWebViewController());
    QVERIFY(waitForPage().contains(u"careful"_s));
    QCoreApplication::removeTranslator(&german);
}

void TestReaderWindow::dictionariesAddedOpenedAndRemovedInTheSettings()
{
    // Each dictionary's bookmarks in its own folder, as for a user.
    QTemporaryDir home;
    const QByteArray defaultsFile = qgetenv("WL_DEFAULTS_FILE");
    const auto restore = qScopeGuard([&] {
        qputenv("WL_DEFAULTS_FILE", defaultsFile);
        for (const char *name : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME"})
            qunsetenv(name);
    });
    qunsetenv("WL_DEFAULTS_FILE");
    qputenv("XDG_DATA_HOME", home.filePath(u"data"_s).toUtf8());
    qputenv("XDG_DATA_DIRS", home.filePath(u"system"_s).toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(u"config"_s).toUtf8());
    const QString ifo = WLStarDictTestDictionary::writeSample(home.filePath(u"Downloads/sample"_s));
    const QString added = home.filePath(u"data/wlreader/dictionaries/sample"_s);
    WLUserDefaults::resetStandardUserDefaults();
    launch();
    const QString demoTitle = mShell->appDelegate()->database()->title();
    openEntry(u"apple"_s);
    WLWebViewController::sharedWebViewController()->addButtonPressed(nullptr);
    WLAddBookmarkViewController::sharedViewController()->save();
    QCOMPARE(WLBookmarksDataSource::sharedBookmarks()->bookmarkCount(), std::size_t(1));

    const auto showSettings = [this]() -> QQuickItem * {
        // From the Index list's info button.
        tap(findItem(mShell->window()->contentItem(), u"tab0"_s));
        while (tab(0)->viewControllers().size() > 1) {
            QTest::keyClick(mShell->window(), Qt::Key_Backspace);
            if (!QTest::qWaitFor([&] { return tab(0)->viewControllers().size() == 1; }))
                return nullptr;
        }
        waitUntilStill(viewOf(*mShell, tab(0)));
        WLAboutImageViewController *about = flipToAbout();
        if (!about)
            return nullptr;
        tap(findItem(mShell->window()->contentItem(), u"segment0"_s));
        if (!QTest::qWaitFor([&] {
                return mShell->appDelegate()->aboutNavigationController()->topViewController()
                       == about->settingsViewController();
            }))
            return nullptr;
        QQuickItem *list = findItem(viewOf(*mShell, about->settingsViewController()), u"settingsList"_s);
        waitUntilStill(list);
        return list;
    };
    const auto rows = [this] {
        auto *about = qobject_cast<WLAboutImageViewController *>(
            mShell->appDelegate()->aboutNavigationController()->viewControllers().value(0));
        QStringList shown;
        const QAbstractItemModel *model = about->settingsViewController()->tableView()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex index = model->index(row, 0);
            shown.append(index.data().toString()
                         + (index.data(WLTableModel::AccessoryTypeRole).toInt() ? u" \u2713"_s : QString()));
        }
        return shown;
    };
    QQuickItem *list = showSettings();
    QVERIFY(list);
    QCOMPARE(rows(), (QStringList{u"Background"_s, demoTitle + u" \u2713"_s, u"Add a Dictionary\u2026"_s}));
    // The dictionaries under their header.
    QTRY_VERIFY(findItem(list, [](QQuickItem *item) {
        return item->isVisible()
               && item->property("title").toString() == WLLocalization::localizedString("Dictionaries");
    }));

    // A StarDict dictionary dropped on the window is built, installed and opened.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(ifo)});
    const QPoint middle(mShell->window()->width() / 2, mShell->window()->height() / 2);
    QDragEnterEvent enter(middle, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(mShell->window(), &enter);
    QDragMoveEvent move(middle, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(mShell->window(), &move);
    QDropEvent drop(middle, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(mShell->window(), &drop);
    QTRY_VERIFY(findItem(mShell->window()->contentItem(), u"progress"_s));
    QTRY_COMPARE_WITH_TIMEOUT(mShell->appDelegate()->database() ? mShell->appDelegate()->database()->title()
                                                                : QString(),
                              u"Sample StarDict"_s, 60000);
    QCOMPARE(mShell->window()->title(), u"Sample StarDict \u2014 WL Reader"_s);
    QVERIFY(QFileInfo(added + u"/DatabaseInfo.plist"_s).isFile());
    // Its own bookmarks: none yet.
    QVERIFY(QTest::qWaitForWindowExposed(mShell->window()));
    QTRY_VERIFY(WLBookmarksDataSource::sharedBookmarks());
    QCOMPARE(WLBookmarksDataSource::sharedBookmarks()->bookmarkCount(), std::size_t(0));
    openEntry(u"banana"_s);

    // Back to the demo from the list, with the keyboard, and with its
    // bookmark: the switch has the focus first, then the rows in turn.
    list = showSettings();
    QVERIFY(list);
    QCOMPARE(rows(), (QStringList{u"Background"_s, u"Sample StarDict \u2713"_s, demoTitle,
                                  u"Add a Dictionary\u2026"_s}));
    QTRY_COMPARE(accessibleName(focused()), u"Background"_s);
    press(Qt::Key_Tab);
    QTRY_COMPARE(accessibleName(focused()), u"Sample StarDict"_s);
    QVERIFY(QAccessible::queryAccessibleInterface(focused())->state().checked);
    press(Qt::Key_Tab);
    QTRY_COMPARE(accessibleName(focused()), demoTitle + u", Demo"_s);
    press(Qt::Key_Return);
    QTRY_COMPARE(mShell->appDelegate()->database() ? mShell->appDelegate()->database()->title() : QString(),
                 demoTitle);
    QTRY_VERIFY(WLBookmarksDataSource::sharedBookmarks());
    QCOMPARE(WLBookmarksDataSource::sharedBookmarks()->bookmarkCount(), std::size_t(1));

    // Removed in editing mode, after asking.
    list = showSettings();
    QVERIFY(list);
    WLViewController *settings = mShell->appDelegate()->aboutNavigationController()->topViewController();
    tap(buttonOf(mShell->window()->contentItem(), settings->editButtonItem()));
    QTRY_VERIFY(settings->isEditing());
    tap(rowItem(list, 1));
    QTRY_VERIFY(findItem(mShell->window()->contentItem(), u"alert"_s));
    // The alert has the focus on Cancel, which Return taps.
    QTRY_COMPARE(accessibleName(focused()), u"Cancel"_s);
    press(Qt::Key_Return);
    QTRY_VERIFY(!findItem(mShell->window()->contentItem(), u"alert"_s));
    QVERIFY(QFileInfo::exists(added));
    tap(rowItem(list, 1));
    QTRY_VERIFY(findItem(mShell->window()->contentItem(), u"alert"_s));
    QTRY_COMPARE(accessibleName(focused()), u"Cancel"_s);
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    QTRY_COMPARE(accessibleName(focused()), u"Remove All"_s);
    press(Qt::Key_Space);
    QTRY_VERIFY(!QFileInfo::exists(added));
    QTRY_COMPARE(rows(), (QStringList{u"Background"_s, demoTitle + u" \u2713"_s, u"Add a Dictionary\u2026"_s}));
    QVERIFY(!findItem(mShell->window()->contentItem(), u"alert"_s));
}

void TestReaderWindow::aReaderShowingTheChosenDictionaryComesForwardInstead()
{
    QTemporaryDir dir;
    QVERIFY(WLSourceFixture::write(dir.filePath(u"source"_s), WLSourceFixture::manifest(),
                                   WLSourceFixture::entry(u"word"_s, {u"<p>a word</p>"_s})));
    QString error;
    QVERIFY2(WLDictionaryCompiler::build(dir.filePath(u"source"_s), dir.filePath(u"other"_s), &error),
             qPrintable(error));
    const QString other = dir.filePath(u"other"_s);
    QProcess reader;
    reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    reader.start(QStringLiteral(WLREADER), {u"--dictionary"_s, other});
    const auto stop = qScopeGuard([&] {
        reader.terminate();
        reader.waitForFinished(10000);
    });
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(WLReaderHandOver::socketPathFor(other)), 20000);
    launch();
    WLAppDelegate *delegate = mShell->appDelegate();
    const QString title = delegate->database()->title();
    mShell->openDictionary(other);
    QTest::qWait(1000);
    // The same dictionary, the same delegate: nothing was stopped.
    QCOMPARE(mShell->appDelegate(), delegate);
    QCOMPARE(delegate->database()->title(), title);
    QCOMPARE(reader.state(), QProcess::Running);
    // Once it has gone, the window opens it itself.
    reader.terminate();
    QVERIFY(reader.waitForFinished(10000));
    mShell->openDictionary(other);
    QTRY_VERIFY(mShell->appDelegate() != delegate);
    QCOMPARE(mShell->appDelegate()->database()->title(), u"Test Dictionary"_s);
}

void TestReaderWindow::withoutADesktopPortalTheWindowsOwnChooserOpens()
{
    launch();
    press(Qt::Key_O, Qt::ControlModifier);
    // Qt Quick's own dialog, in the window's overlay.
    QQuickItem *dialog = nullptr;
    QTRY_VERIFY(dialog = findItem(mShell->window()->contentItem(), [](QQuickItem *item) {
                    return QString::fromLatin1(item->metaObject()->className()).startsWith(u"QQuickPopupItem"_s)
                           && item->isVisible();
                }));
    QVERIFY(findItem(dialog, u"fileDialogListView"_s));
    QVERIFY(findItem(dialog, [](QQuickItem *item) {
        return item->property("text").toString() == u"Add a Dictionary\u2026"_s && item->isVisible();
    }));
}

void TestReaderWindow::aKeyboardOnlyWalk()
{
    launch();
    // The Index list has the focus, on the first row shown.
    auto *index = qobject_cast<WLTableViewController *>(tab(0)->topViewController());
    const QString first = index->tableView()->model()->index(index->tableView()->rowForIndexPath(1, 0), 0).data().toString();
    QTRY_COMPARE(accessibleName(focused()), first);
    press(Qt::Key_Down);
    QTRY_COMPARE(accessibleName(focused()), u"able"_s);

    // Enter opens it; the page takes the focus and the entry is announced.
    press(Qt::Key_Return);
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    QTRY_COMPARE(tab(0)->topViewController(), viewer);
    QVERIFY(waitForPage().contains(u"able to swim"_s));
    QTRY_COMPARE(announced(), u"able"_s);
    QTRY_VERIFY(focusIn(entryWebView()));

    // Tab reaches the page's link, Enter follows it.
    QVERIFY(tabInPageTo(u"document.activeElement.textContent"_s, u"ability"_s));
    press(Qt::Key_Return);
    QTRY_COMPARE(viewer->currentWord(), std::optional(u"ability"_s));
    QVERIFY(waitForPage().contains(u"explain things clearly"_s));
    QTRY_COMPARE(announced(), u"ability"_s);

    // Shift+Tab leaves the page for the bar's last button, "+", drawn
    // with the focus ring; Space presses it.
    QQuickItem *add = buttonOf(mShell->window()->contentItem(), viewer->addButtonItem());
    QVERIFY(add);
    QVERIFY(QTest::qWaitFor([&] {
        if (focused() != add)
            press(Qt::Key_Backtab, Qt::ShiftModifier);
        return QTest::qWaitFor([&] { return focused() == add; }, 1000);
    }, 10000));
    QCOMPARE(accessibleName(add), u"Add Bookmark"_s);
    QVERIFY(findItem(add, [](QQuickItem *item) {
        return QString::fromLatin1(item->metaObject()->className()).startsWith(u"FocusRing"_s) && item->isVisible();
    }));
    press(Qt::Key_Space);
    WLAddBookmarkViewController *editor = WLAddBookmarkViewController::sharedViewController();
    WLWindow *window = mShell->appDelegate()->window();
    QTRY_COMPARE(window->modalViewControllers(), QList<WLViewController *>{editor});
    QQuickItem *sheet = viewOf(*mShell, editor);
    QTRY_VERIFY(focusIn(sheet));

    // Tab goes through Cancel and Save to the note field, which edits.
    QQuickItem *note = findItem(sheet, u"textViewField"_s);
    for (int step = 0; step < 4 && focused() != note; ++step)
        press(Qt::Key_Tab);
    QCOMPARE(focused(), note);
    QTRY_VERIFY(editor->textView()->isEditing());
    QCOMPARE(accessibleName(note), u"Notes"_s);
    typeText(mShell->window(), u"good"_s);
    QTRY_COMPARE(editor->textView()->text(), u"good"_s);
    // Escape ends the editing and leaves the focus in the editor; Tab
    // still gets about.
    press(Qt::Key_Escape);
    QTRY_VERIFY(!editor->textView()->isEditing());
    QVERIFY(focusIn(sheet));
    QVERIFY(focused() != note);
    press(Qt::Key_Return, Qt::ControlModifier);
    QTRY_VERIFY(window->modalViewControllers().isEmpty());

    // Alt+3 is Bookmarks: its list has the focus, on the new bookmark with
    // its note.
    press(Qt::Key_3, Qt::AltModifier);
    QCOMPARE(tabBar()->selectedIndex(), 2);
    QTRY_VERIFY(focusIn(listOf(2)));
    QTRY_COMPARE(accessibleName(focused()), u"ability"_s);
    QCOMPARE(accessibleDescription(focused()), u"good"_s);
    // Enter opens it here too.
    press(Qt::Key_Return);
    QTRY_COMPARE(tab(2)->topViewController(), viewer);
    QTRY_COMPARE(announced(), u"ability"_s);
    // Escape goes back.
    press(Qt::Key_Escape);
    QTRY_COMPARE(tab(2)->topViewController(), tab(2)->viewControllers().constFirst());
    QTRY_VERIFY(focusIn(listOf(2)));

    // Shift+Tab from the list reaches the bar's About button; Space flips
    // to About, Escape is its Done.
    WLNavigationController *about = nullptr;
    for (int step = 0; step < 4 && accessibleName(focused()) != u"About"_s; ++step)
        press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(accessibleName(focused()), u"About"_s);
    press(Qt::Key_Space);
    QTRY_VERIFY((about = mShell->appDelegate()->aboutNavigationController()));
    QVERIFY(inFront(about));
    QTRY_VERIFY(focusIn(viewOf(*mShell, about)));
    // Its Settings segment, and the switch there, which has the focus.
    for (int step = 0; step < 4 && accessibleName(focused()) != u"Settings"_s; ++step)
        press(Qt::Key_Tab);
    QCOMPARE(accessibleName(focused()), u"Settings"_s);
    press(Qt::Key_Return);
    auto *aboutScreen = qobject_cast<WLAboutImageViewController *>(about->viewControllers().constFirst());
    QTRY_COMPARE(about->topViewController(), aboutScreen->settingsViewController());
    QTRY_COMPARE(accessibleName(focused()), u"Background"_s);
    press(Qt::Key_Space);
    QTRY_VERIFY(!WLUserDefaults::standardUserDefaults()->boolForKey(WLPrefDisplayBackground));
    press(Qt::Key_Escape);
    QTRY_COMPARE(about->topViewController(), aboutScreen);
    QTRY_VERIFY(focusIn(viewOf(*mShell, about)));
    press(Qt::Key_Escape);
    QVERIFY(inFront(tabBar()));
    QCOMPARE(tabBar()->selectedIndex(), 2);
    QTRY_VERIFY(focusIn(listOf(2)));
}

void TestReaderWindow::thePictureViewerFromTheKeyboard()
{
    launch();
    openEntry(u"map"_s);
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    // The page has the focus; its first link is its picture.
    QTRY_VERIFY(focusIn(entryWebView()));
    QVERIFY(tabInPageTo(u"document.activeElement.getAttribute('href')"_s, u"pictures/map.png"_s));
    press(Qt::Key_Return);
    WLImageViewController *pictures = nullptr;
    QTRY_VERIFY((pictures = viewer->imageViewController()) && tab(0)->topViewController() == pictures);
    QQuickItem *screen = viewOf(*mShell, pictures);
    QTRY_VERIFY(focusIn(screen));
    QCOMPARE(accessibleName(findItem(screen, u"picture"_s)), u"Picture map.png"_s);
    // Plus zooms in, 0 back to the fitted picture, 0 again to its own size.
    const double fitted = pictures->scrollView()->zoomScale();
    press(Qt::Key_Plus);
    QTRY_VERIFY(pictures->scrollView()->zoomScale() > fitted);
    press(Qt::Key_0);
    QTRY_COMPARE(pictures->scrollView()->zoomScale(), fitted);
    press(Qt::Key_0);
    QTRY_COMPARE(pictures->scrollView()->zoomScale(), pictures->scrollView()->maximumZoomScale());
    // Escape goes back to the page, which has the focus again.
    press(Qt::Key_Escape);
    QTRY_COMPARE(tab(0)->topViewController(), viewer);
    QTRY_VERIFY(focusIn(entryWebView()));
}

void TestReaderWindow::aBookmarkDeletedFromTheKeyboard()
{
    launch();
    WLBookmarksDataSource *bookmarks = WLBookmarksDataSource::sharedBookmarks();
    bookmarks->addBookmark(u"apple"_s, QVariantList{u"apple#1"_s}, QString(), QVariantList{u"12"_s});
    bookmarks->addBookmark(u"map"_s, QVariantList{u"map#1"_s}, QString(), QVariantList{u"207"_s});
    press(Qt::Key_3, Qt::AltModifier);
    QQuickItem *list = listOf(2);
    QTRY_VERIFY(focusIn(list));
    // Shift+Tab to Edit, Space: the list says it is being edited.
    for (int step = 0; step < 4 && accessibleName(focused()) != u"Edit"_s; ++step)
        press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(accessibleName(focused()), u"Edit"_s);
    press(Qt::Key_Space);
    QTRY_VERIFY(tab(2)->topViewController()->isEditing());
    QCOMPARE(accessibleName(focused()), u"Done"_s);
    QCOMPARE(accessibleDescription(list), u"Editing"_s);
    // Past About to the list, Down to the second row; Delete offers to
    // delete it, Escape takes the offer back, Delete and Enter delete it.
    for (int step = 0; step < 4 && !focusIn(list); ++step)
        press(Qt::Key_Tab);
    QVERIFY(focusIn(list));
    press(Qt::Key_Down);
    QTRY_COMPARE(accessibleName(focused()), u"map"_s);
    QQuickItem *row = focused();
    press(Qt::Key_Delete);
    QTRY_VERIFY(findItem(row, u"deleteButton"_s) && findItem(row, u"deleteButton"_s)->isVisible());
    press(Qt::Key_Escape);
    QTRY_VERIFY(!findItem(row, u"deleteButton"_s)->isVisible());
    QCOMPARE(bookmarks->bookmarkCount(), std::size_t(2));
    press(Qt::Key_Delete);
    press(Qt::Key_Return);
    QTRY_COMPARE(bookmarks->bookmarkCount(), std::size_t(1));
    QString word;
    QVERIFY(bookmarks->getBookmark(&word, nullptr, nullptr, nullptr, 0));
    QCOMPARE(word, u"apple"_s);
}

void TestReaderWindow::theProgressBarFillsFromTheLeftOnceTheAmountIsKnown()
{
    launch();
    WLProgressViewController progress(u"Adding"_s, [] {});
    WLWindow *window = mShell->appDelegate()->window();
    window->presentModal(&progress, false);
    const auto dismiss = qScopeGuard([&] { window->dismissModal(&progress, false); });
    QQuickItem *fill = nullptr;
    QTRY_VERIFY((fill = findItem(mShell->window()->contentItem(), u"progressFill"_s)));
    // Not known how much: a piece goes to and fro inside the track, which
    // got its size after the box was made.
    progress.setProgress(u"Reading"_s, 0, 0);
    QTRY_VERIFY(fill->x() > 0);
    for (int i = 0; i < 10; ++i) {
        QVERIFY(fill->x() >= 0 && fill->x() + fill->width() <= fill->parentItem()->width() + 0.5);
        QTest::qWait(100);
    }
    // Known: the bar fills from the left edge.
    progress.setProgress(u"Reading"_s, 1, 4);
    QTRY_COMPARE(fill->x(), 0.0);
    QCOMPARE(fill->width(), fill->parentItem()->width() / 4);
}

void TestReaderWindow::searchResultsAreAnnounced_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("found");
    QTest::newRow("matches") << u"car"_s << true;
    QTest::newRow("none, only suggestions") << u"carx"_s << false;
    QTest::newRow("nothing like it") << u"qqqqqqqq"_s << false;
}

void TestReaderWindow::searchResultsAreAnnounced()
{
    QFETCH(QString, typed);
    QFETCH(bool, found);
    launch();
    // Alt+2 is Search; its field takes the focus.
    press(Qt::Key_2, Qt::AltModifier);
    QTRY_VERIFY(searchField() && searchField()->hasActiveFocus());
    QCOMPARE(accessibleName(searchField()), u"Search"_s);
    typeText(mShell->window(), typed);
    // Once the results stop changing: their count without the "Did you
    // mean" rows, or that there are none.
    if (found) {
        QTRY_VERIFY(searchRows().size() > 1);
        QTRY_COMPARE(announced(), u"%1 results"_s.arg(searchRows().size()));
    } else {
        QTRY_COMPARE(announced(), u"No results"_s);
        QVERIFY(!searchTitles().contains(u"Whole Words"_s));
        QVERIFY(!searchTitles().contains(u"Partial Matches"_s));
    }
    // Down chooses the first row with the field still focused; it is said.
    if (found) {
        press(Qt::Key_Down);
        QTRY_COMPARE(announced(), searchRows().value(0));
        QVERIFY(searchField()->hasActiveFocus());
    }
}

int main(int argc, char *argv[])
{
    // No desktop portal answers: the window's own dialogs, whatever
    // session the tests run in.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    WLReaderShell::prepareApplication();
    QGuiApplication app(argc, argv);
    // English texts whatever the machine's language; the German test adds its own.
    QLocale::setDefault(QLocale(QLocale::English));
    WLLocalization::install();
    TestReaderWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_readerwindow.moc"
