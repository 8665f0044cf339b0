#include "WLAddBookmarkViewController.h"
#include "WLApplication.h"
#include "WLBarButtonItem.h"
#include "WLBookmarksDataSource.h"
#include "WLBookmarksViewController.h"
#include "WLBundle.h"
#include "WLConstants.h"
#include "WLContainerView.h"
#include "WLDatabase.h"
#include "WLDictionaryCompiler.h"
#include "WLHistoryDataSource.h"
#include "WLImageViewController.h"
#include "WLLinkRouter.h"
#include "WLLocalization.h"
#include "WLNavigationController.h"
#include "WLNavigationItem.h"
#include "WLScreen.h"
#include "WLSegmentedControl.h"
#include "WLSoundEffect.h"
#include "WLSourceFixture.h"
#include "WLStarDictTestDictionary.h"
#include "WLTestSupport.h"
#include "WLTextViewCell.h"
#include "WLUserDefaults.h"
#include "WLWebViewController.h"
#include "WLWindow.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kPageDirectory = u"/tmp/wlreader-7/html"_s;
const QString kRouteFn = u"-[WLWebViewController receiveLinkRequest:]: "_s;

QUrl page(const QString &relative)
{
    return QUrl::fromLocalFile(kPageDirectory + u'/').resolved(QUrl(relative));
}

} // namespace

Q_DECLARE_METATYPE(WLLinkRouter::Route::Action)

// The entry viewer, its link routing, the picture viewer and the bookmark
// editor, without a window: on a dictionary compiled from a small source
// with a chain of cross-references, a picture and a sound.
class TestWLEntryViewer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void linkRouting_data();
    void linkRouting();
    void theFontControl_data();
    void theFontControl();
    void switchingTheFontRebuildsWithoutHistory();
    void aPageThatCannotBeBuiltChangesNothing();
    void aTappedCrossReferenceShowsItsEntryInPlace();
    void blankedWhenItLeavesItsStackNotUnderThePicture();
    void theSameSoundTwiceIsReadOnce();
    void everyRoutedSoundTypeDecodes_data();
    void everyRoutedSoundTypeDecodes();
    void pictureGeometry_data();
    void pictureGeometry();
    void addAndSave_data();
    void addAndSave();
    void theEditorsTitleButtonsAndPlaceholder();
    void editingABookmarkFromTheList();
    void keys();

private:
    // Compiles and opens the fixture; the viewer on a stack that is on
    // screen, in a window for modal screens.
    void open(bool largeFont = true);
    std::size_t historyCount() const { return WLHistoryDataSource::sharedHistory()->historyCount(); }

    QTemporaryDir mDir;
    std::unique_ptr<WLDatabase> mDatabase;
    std::unique_ptr<WLHistoryDataSource> mHistory;
    std::unique_ptr<WLBookmarksDataSource> mBookmarks;
    std::unique_ptr<WLAddBookmarkViewController> mEditor;
    std::unique_ptr<WLWebViewController> mViewer;
    std::unique_ptr<WLViewController> mRoot;
    std::unique_ptr<WLNavigationController> mNavigation;
    std::unique_ptr<WLWindow> mWindow;
    std::unique_ptr<WLContainerView> mContainer;
};

void TestWLEntryViewer::init()
{
    WLUserDefaults::resetStandardUserDefaults();
    QFile::remove(WLUserDefaults::defaultPath());
}

void TestWLEntryViewer::cleanup()
{
    mWindow.reset();
    mContainer.reset();
    mNavigation.reset();
    mRoot.reset();
    mViewer.reset();
    mEditor.reset();
    mBookmarks.reset();
    mHistory.reset();
    mDatabase.reset();
}

void TestWLEntryViewer::open(bool largeFont)
{
    static int count = 0;
    const QString source = mDir.filePath(u"source%1"_s.arg(++count));
    const QString bundle = mDir.filePath(u"bundle%1"_s.arg(count));
    QJsonObject manifest = WLSourceFixture::manifest();
    if (!largeFont)
        manifest.remove(u"largeHeader"_s);
    manifest.insert(u"media"_s, QJsonArray{QJsonObject{{u"table"_s, u"pictures"_s}, {u"folder"_s, u"pictures"_s}},
                                           QJsonObject{{u"table"_s, u"sounds"_s}, {u"folder"_s, u"sounds"_s}}});
    const QByteArray entries =
        R"({"headword": "apple", "fragments": [{"html": "<img src=\"pictures/apple.png\"><a href=\"sounds/apple.aiff\">hear</a> see [[banana]]", "media": ["pictures/apple.png", "sounds/apple.aiff"]}]})"
        "\n" + WLSourceFixture::entry(u"banana"_s, {u"<p>yellow, see [[cherry]]</p>"_s, u"<p>second</p>"_s}) +
        WLSourceFixture::entry(u"cherry"_s, {u"<p>red</p>"_s});
    QVERIFY(WLSourceFixture::write(source, manifest, entries));
    for (const QString &media : {u"pictures/apple.png"_s, u"sounds/apple.aiff"_s}) {
        QVERIFY(QDir(source).mkpath(QFileInfo(media).path()));
        QVERIFY(QFile::copy(QFINDTESTDATA(u"../../dictionaries/demo/"_s + media), source + u'/' + media));
    }
    QString error;
    QVERIFY2(WLDictionaryCompiler::build(source, bundle, &error), qPrintable(error));
    WLBundle::setResourcePath(bundle);
    mDatabase = WLDatabase::initWithPropertyListFile(bundle + u"/DatabaseInfo.plist"_s);
    QVERIFY(mDatabase);
    mHistory = WLHistoryDataSource::init();
    mBookmarks = WLBookmarksDataSource::init();
    mEditor = std::make_unique<WLAddBookmarkViewController>();
    mViewer = std::make_unique<WLWebViewController>();
    mViewer->loadViewIfNeeded();
    mViewer->setDatabase(mDatabase.get());

    mRoot = std::make_unique<WLViewController>(u"Root"_s);
    mNavigation = std::make_unique<WLNavigationController>(mRoot.get());
    mContainer = std::make_unique<WLContainerView>();
    mContainer->addSubview(mNavigation.get());
    mWindow = std::make_unique<WLWindow>();
    mWindow->addSubview(mContainer.get());
    mWindow->makeKeyAndVisible();
    QVERIFY(mViewer->setCurrentContentsIDs(QVariantList{u"1"_s}, u"apple"_s, {u"apple#1"_s}));
    mNavigation->pushViewController(mViewer.get(), false);
}

void TestWLEntryViewer::linkRouting_data()
{
    using Route = WLLinkRouter::Route;
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<Route::Action>("action");
    QTest::addColumn<int>("linkID");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("report");
    QTest::addColumn<bool>("image");
    const QString none;
    const QString notFound = u"range.location == NSNotFound"_s;
    QTest::newRow("#25") << page(u"#25"_s) << Route::ShowEntry << 25 << none << none << false;
    QTest::newRow("#25 and letters") << page(u"#25a"_s) << Route::ShowEntry << 25 << none << none << false;
    QTest::newRow("#0") << page(u"#0"_s) << Route::Decline << 0 << none << u"contentsLinkID <= 0"_s << false;
    QTest::newRow("#-3") << page(u"#-3"_s) << Route::Decline << 0 << none << u"contentsLinkID <= 0"_s << false;
    QTest::newRow("#letters") << page(u"#abc"_s) << Route::Decline << 0 << none << u"contentsLinkID <= 0"_s << false;
    QTest::newRow("a page beside the entry") << page(u"other.html"_s) << Route::Decline << 0 << none
                                             << u"![fileName hasPrefix:@\"#\"]"_s << false;
    QTest::newRow("AIF in capitals") << page(u"sounds/a.AIF"_s) << Route::PlaySound << 0
                                     << kPageDirectory + u"/sounds/a.AIF"_s << none << false;
    QTest::newRow("aiff") << page(u"sounds/a.aiff"_s) << Route::PlaySound << 0
                          << kPageDirectory + u"/sounds/a.aiff"_s << none << false;
    for (const QString &sound : {u"a.wav"_s, u"a.WAV"_s, u"a.ogg"_s, u"a.mp3"_s}) {
        QTest::newRow(qPrintable(sound)) << page(u"sounds/"_s + sound) << Route::PlaySound << 0
                                         << kPageDirectory + u"/sounds/"_s + sound << none << false;
    }
    QTest::newRow("oga is no sound of ours") << page(u"sounds/a.oga"_s) << Route::Decline << 0 << none << none
                                             << false;
    QTest::newRow("PNG in capitals") << page(u"pictures/a.PNG"_s) << Route::ShowImage << 0
                                     << kPageDirectory + u"/pictures/a.PNG"_s << none << true;
    QTest::newRow("gif two folders down") << page(u"pictures/big/a.gif"_s) << Route::ShowImage << 0
                                          << kPageDirectory + u"/pictures/big/a.gif"_s << none << true;
    QTest::newRow("html in a folder") << page(u"pages/a.html"_s) << Route::Decline << 0 << none << none << false;
    QTest::newRow("no extension") << page(u"pictures/a"_s) << Route::Decline << 0 << none << none << false;
    QTest::newRow("another site") << QUrl(u"https://example.org/a.png"_s) << Route::Decline << 0 << none
                                  << notFound << true;
    QTest::newRow("another site, the same path")
        << QUrl(u"https://example.org"_s + kPageDirectory + u"/#25"_s) << Route::Decline << 0 << none
        << notFound << false;
    QTest::newRow("sibling folder") << QUrl(u"file:///tmp/wlreader-7/htmlx/#25"_s) << Route::Decline << 0
                                    << none << notFound << false;
    QTest::newRow("sibling folder's sound") << QUrl(u"file:///tmp/wlreader-7/htmlx/sounds/a.aif"_s)
                                            << Route::Decline << 0 << none << notFound << false;
    QTest::newRow("out by ..") << QUrl(u"file://"_s + kPageDirectory + u"/sounds/../../a.aif"_s)
                               << Route::Decline << 0 << none << notFound << false;
    QTest::newRow("in and back by ..") << QUrl(u"file://"_s + kPageDirectory + u"/sounds/../pictures/a.png"_s)
                                       << Route::ShowImage << 0 << kPageDirectory + u"/pictures/a.png"_s
                                       << none << true;
    QTest::newRow("the page directory deeper down")
        << QUrl(u"file:///home"_s + kPageDirectory + u"/#25"_s) << Route::Decline << 0 << none
        << u"range.location != 0"_s << false;
}

void TestWLEntryViewer::linkRouting()
{
    QFETCH(QUrl, url);
    QFETCH(WLLinkRouter::Route::Action, action);
    QFETCH(int, linkID);
    QFETCH(QString, path);
    QFETCH(QString, report);
    QFETCH(bool, image);
    StderrCapture capture;
    const WLLinkRouter::Route route = WLLinkRouter(QUrl::fromLocalFile(kPageDirectory + u'/')).route(url);
    QCOMPARE(route.action, action);
    QCOMPARE(route.contentsLinkID, linkID);
    QCOMPARE(route.path, path);
    QCOMPARE(capture.reports(), report.isEmpty() ? QStringList() : QStringList{kRouteFn + u'(' + report + u')'});
    QCOMPARE(WLLinkRouter::isRequestForImage(url), image);
}

void TestWLEntryViewer::theFontControl_data()
{
    QTest::addColumn<bool>("supported");
    QTest::addColumn<bool>("preference");
    QTest::addColumn<int>("segment");
    QTest::newRow("not supported, preference YES") << false << true << -2;
    QTest::newRow("preference NO") << true << false << 0;
    QTest::newRow("preference YES") << true << true << 1;
}

void TestWLEntryViewer::theFontControl()
{
    QFETCH(bool, supported);
    QFETCH(bool, preference);
    QFETCH(int, segment);
    WLUserDefaults::standardUserDefaults()->setBool(preference, WLPrefDisplayLargeFont);
    open(supported);
    QCOMPARE(mViewer->navigationItem()->rightBarButtonItem(), mViewer->addButtonItem());
    QCOMPARE(mViewer->addButtonItem()->systemItem(), int(WLBarButtonItem::Add));
    QCOMPARE(mViewer->navigationItem()->title(), QString());
    WLSegmentedControl *control = mViewer->fontControl();
    QCOMPARE(control != nullptr, supported);
    QCOMPARE(mViewer->useLargeFont(), segment == 1);
    QCOMPARE(mViewer->currentContentsData().startsWith(WLSourceFixture::kLargeHeader.toUtf8()), segment == 1);
    if (!control)
        return;
    QCOMPARE(mViewer->navigationItem()->titleView(), control);
    QCOMPARE(control->selectedSegmentIndex(), segment);
    QCOMPARE(control->images().size(), 2);
    QCOMPARE(control->frame(), QRectF(5, 5, 120, 30));
    QCOMPARE(control->segmentedControlStyle(), int(WLSegmentedControl::Bar));
    QVERIFY(!control->isMomentary());
}

void TestWLEntryViewer::switchingTheFontRebuildsWithoutHistory()
{
    open();
    const std::size_t records = historyCount();
    const int serial = mViewer->webView()->contentSerial();
    mViewer->fontControl()->tapSegment(1);
    QVERIFY(mViewer->useLargeFont());
    QVERIFY(WLUserDefaults::standardUserDefaults()->boolForKey(WLPrefDisplayLargeFont));
    QVERIFY(mViewer->currentContentsData().startsWith(WLSourceFixture::kLargeHeader.toUtf8()));
    QCOMPARE(mViewer->webView()->contentSerial(), serial + 1);
    QCOMPARE(mViewer->currentContentsIDs(), std::optional(QVariantList{u"1"_s}));
    QCOMPARE(historyCount(), records);

    // Only a segmented control switches the font.
    StderrCapture capture;
    mViewer->fontSizeChanged(mViewer->addButtonItem());
    QCOMPARE(capture.reports(), QStringList{u"-[WLWebViewController fontSizeChanged:]: "
                                            "(![control isKindOfClass:[UISegmentedControl class]])"_s});
    QVERIFY(mViewer->useLargeFont());
}

void TestWLEntryViewer::aPageThatCannotBeBuiltChangesNothing()
{
    open();
    const std::size_t records = historyCount();
    const int serial = mViewer->webView()->contentSerial();
    StderrCapture capture;
    QVERIFY(!mViewer->setCurrentContentsIDs(QVariantList{u"999"_s}, u"nothing"_s, {}));
    QVERIFY(capture.reports().contains(u"-[WLWebViewController setCurrentContentsIDs:word:links:]: (htmlData == nil)"_s));
    QCOMPARE(mViewer->currentWord(), std::optional(u"apple"_s));
    QCOMPARE(mViewer->webView()->contentSerial(), serial);
    QCOMPARE(historyCount(), records);
}

void TestWLEntryViewer::aTappedCrossReferenceShowsItsEntryInPlace()
{
    open();
    // banana's first fragment is link 2; its page links cherry, link 4.
    const std::size_t records = historyCount();
    QVERIFY(!mViewer->webViewShouldStartLoadWithRequest(mViewer->webView(), mDatabase->htmlBaseURL().resolved(QUrl(u"#2"_s)),
                                                        WLWebView::LinkClicked));
    QCOMPARE(mViewer->currentWord(), std::optional(u"banana"_s));
    QCOMPARE(mViewer->currentLinks(), std::optional(QVariantList{u"banana#1"_s}));
    QCOMPARE(mViewer->currentContentsIDs(), std::optional(QVariantList{u"2"_s}));
    QVERIFY(mViewer->currentContentsData().contains("href=\"#4\""));
    QCOMPARE(historyCount(), records + 1);
    QCOMPARE(mNavigation->topViewController(), mViewer.get());

    // The same link as the page's own load is not routed; an unknown link
    // is left to the web view with the entry as it was.
    QVERIFY(mViewer->webViewShouldStartLoadWithRequest(mViewer->webView(), mDatabase->htmlBaseURL().resolved(QUrl(u"#4"_s)),
                                                       WLWebView::Other));
    StderrCapture capture;
    QVERIFY(mViewer->webViewShouldStartLoadWithRequest(mViewer->webView(), mDatabase->htmlBaseURL().resolved(QUrl(u"#77"_s)),
                                                       WLWebView::LinkClicked));
    QVERIFY(capture.reports().contains(
        kRouteFn + u"(![mDatabase getName:&wordString link:&linkString contentsID:&contentsID atContentsLinkID:contentsLinkID])"_s));
    QCOMPARE(mViewer->currentWord(), std::optional(u"banana"_s));
    // A file of this machine outside the page directory is not opened, nor
    // is another site's page: that leaves for the desktop.
    QList<QUrl> opened;
    WLApplication::setOpenURLHandler([&](const QUrl &link) {
        opened.append(link);
        return true;
    });
    QVERIFY(!mViewer->webView()->shouldStartLoad(QUrl(u"file:///etc/passwd"_s), WLWebView::LinkClicked));
    QVERIFY(!mViewer->webView()->shouldStartLoad(QUrl(u"http://example.org/"_s), WLWebView::LinkClicked));
    QCOMPARE(opened, QList<QUrl>{QUrl(u"http://example.org/"_s)});
    WLApplication::setOpenURLHandler({});
}

void TestWLEntryViewer::blankedWhenItLeavesItsStackNotUnderThePicture()
{
    open();
    const QString shown = mViewer->webView()->html();
    QVERIFY(mViewer->receiveLinkRequest(mDatabase->htmlBaseURL().resolved(QUrl(u"pictures/apple.png"_s))));
    QCOMPARE(mNavigation->topViewController(), mViewer->imageViewController());
    QCOMPARE(mViewer->webView()->html(), shown);
    mNavigation->popViewControllerAnimated(false);
    QCOMPARE(mViewer->webView()->html(), shown);
    mNavigation->popViewControllerAnimated(false);
    QVERIFY(mViewer->webView()->html().contains(u"background:#ffffff"_s));
    QCOMPARE(mViewer->currentWord(), std::optional(u"apple"_s));

    // A picture that cannot be read is reported and not shown.
    mNavigation->pushViewController(mViewer.get(), false);
    QFile broken(mDatabase->htmlBaseURL().toLocalFile() + u"/pictures/broken.png"_s);
    QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("\x89PNG\r\n\x1a\n") > 0);
    broken.close();
    StderrCapture capture;
    QVERIFY(mViewer->receiveLinkRequest(QUrl::fromLocalFile(broken.fileName())));
    QVERIFY(capture.reports().contains(u"-[WLWebViewController showImageFile:]: (image == nil)"_s));
    QCOMPARE(mNavigation->topViewController(), mViewer.get());
}

void TestWLEntryViewer::everyRoutedSoundTypeDecodes_data()
{
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("wav") << u"wav"_s << WLStarDictTestDictionary::wav(440);
    QTest::newRow("ogg") << u"ogg"_s << WLStarDictTestDictionary::encoded(u"ogg"_s, 440);
    QTest::newRow("mp3") << u"mp3"_s << WLStarDictTestDictionary::encoded(u"mp3"_s, 440);
}

// Routing plays these types, so the player must decode them: a second of
// tone, 8000 frames, whatever the container (MP3 pads a little).
void TestWLEntryViewer::everyRoutedSoundTypeDecodes()
{
    QFETCH(QString, extension);
    QFETCH(QByteArray, file);
    QVERIFY(!file.isEmpty());
    QTemporaryDir dir;
    const QString path = dir.filePath(u"tone."_s + extension);
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();
    QCOMPARE(WLLinkRouter(QUrl::fromLocalFile(dir.path() + u'/'))
                 .route(QUrl::fromLocalFile(dir.filePath(u"sounds/tone."_s + extension)))
                 .action,
             WLLinkRouter::Route::PlaySound);
    const std::unique_ptr<WLSoundEffect> sound = WLSoundEffect::initWithContentsOfFile(path);
    QVERIFY(sound);
    QCOMPARE(sound->samples().sampleRate, 8000);
    QCOMPARE(sound->samples().channelCount, 1);
    const qsizetype frames = sound->samples().data.size() / 2;
    QVERIFY2(frames >= 8000 && frames < 8000 + 2400, qPrintable(QString::number(frames)));
}

void TestWLEntryViewer::theSameSoundTwiceIsReadOnce()
{
    open();
    const QString path = mDatabase->htmlBaseURL().toLocalFile() + u"/sounds/apple.aiff"_s;
    QVERIFY(QFileInfo(path).isFile());
    mViewer->playSoundFile(path);
    const WLSoundEffect *first = mViewer->soundEffect();
    QVERIFY(first);
    QCOMPARE(first->samples().sampleRate, 8000);
    QVERIFY(first->samples().data.size() > 1000);
    // Gone from disk, it still plays: the second tap does not read the file.
    QVERIFY(QFile::remove(path));
    StderrCapture capture;
    mViewer->playSoundFile(path);
    QCOMPARE(mViewer->soundEffect(), first);
    QVERIFY(!capture.text().contains(u"WLSoundEffect initWithContentsOfFile:"_s));

    // A file that is no sound is reported, and the viewer keeps none.
    QFile broken(path + u".aif"_s);
    QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("FORM\0\0\0\4AIFF", 12) == 12);
    broken.close();
    mViewer->playSoundFile(broken.fileName());
    QVERIFY(capture.reports().contains(u"-[WLSoundEffect initWithContentsOfFile:]: (err != noErr)"_s));
    QVERIFY(capture.reports().contains(u"-[WLWebViewController playSoundFile:]: (mSoundEffect == nil)"_s));
    QVERIFY(!mViewer->soundEffect());
    // Without an audio device, one report for the whole run.
    QVERIFY(capture.reports().count(u"-[WLSoundEffect play]: (audioDevice == nil)"_s) <= 1);
}

void TestWLEntryViewer::pictureGeometry_data()
{
    // The view under a 44-point bar in the 390 × 760 window: 390 × 716.
    QTest::addColumn<QSizeF>("picture");
    QTest::addColumn<QRectF>("frame");
    QTest::addColumn<double>("maximum");
    QTest::newRow("small") << QSizeF(64, 48) << QRectF(163, 334, 64, 48) << 1.0;
    QTest::newRow("the view's size") << QSizeF(390, 716) << QRectF(0, 0, 390, 716) << 1.0;
    QTest::newRow("twice as wide") << QSizeF(780, 600) << QRectF(0, 0, 390, 716) << 2.0;
    QTest::newRow("twice as tall") << QSizeF(300, 1432) << QRectF(0, 0, 390, 716) << 2.0;
}

void TestWLEntryViewer::pictureGeometry()
{
    QFETCH(QSizeF, picture);
    QFETCH(QRectF, frame);
    QFETCH(double, maximum);
    WLScreen::mainScreen()->setApplicationFrameSize(390, 760);
    WLViewController root(u"Root"_s);
    WLNavigationController navigation(&root);
    navigation.beginAppearanceTransition(true, false);
    navigation.endAppearanceTransition();
    WLImageViewController viewer;
    viewer.loadViewIfNeeded();
    viewer.setImage(WLImage{u"/nowhere/a.png"_s, picture});
    navigation.pushViewController(&viewer, false);
    WLScrollView *scrollView = viewer.scrollView();
    QVERIFY(viewer.imageView());
    QCOMPARE(viewer.imageView()->frame(), frame);
    QCOMPARE(scrollView->minimumZoomScale(), 1.0);
    QCOMPARE(scrollView->maximumZoomScale(), maximum);
    QCOMPARE(scrollView->zoomingView(), viewer.imageView());
    scrollView->setZoomScale(5);
    QCOMPARE(scrollView->zoomScale(), maximum);

    navigation.popViewControllerAnimated(false);
    QVERIFY(!viewer.imageView());
    QVERIFY(scrollView->subviews().isEmpty());
    QCOMPARE(scrollView->zoomScale(), 1.0);
    QCOMPARE(scrollView->maximumZoomScale(), 1.0);
    QVERIFY(!scrollView->delegate());
    QCOMPARE(viewer.image(), std::optional(WLImage{u"/nowhere/a.png"_s, picture}));
}

void TestWLEntryViewer::addAndSave_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("no note") << QString();
    QTest::newRow("a note") << u"crisp"_s;
}

void TestWLEntryViewer::addAndSave()
{
    QFETCH(QString, typed);
    open();
    mViewer->addButtonItem()->trigger();
    QCOMPARE(mWindow->modalViewControllers(), QList<WLViewController *>{mEditor.get()});
    QCOMPARE(mEditor->delegate(), mViewer.get());
    QVERIFY(mEditor->newBookmark());
    QCOMPARE(mEditor->notes(), std::optional(QString()));
    if (!typed.isEmpty()) {
        QVERIFY(mEditor->textView()->beginEditing());
        mEditor->textView()->textEdited(typed);
        mEditor->doneButton()->trigger();
    }
    mEditor->barItem()->rightBarButtonItem()->trigger();
    QVERIFY(mWindow->modalViewControllers().isEmpty());
    QCOMPARE(mBookmarks->bookmarkCount(), 1u);
    QString word;
    QVariantList links;
    QString notes;
    QVariantList contentsIDs;
    QVERIFY(mBookmarks->getBookmark(&word, &links, &notes, &contentsIDs, 0));
    QCOMPARE(word, u"apple"_s);
    QCOMPARE(links, QVariantList{u"apple#1"_s});
    QCOMPARE(notes, typed);
    QCOMPARE(contentsIDs, QVariantList{u"1"_s});
}

void TestWLEntryViewer::theEditorsTitleButtonsAndPlaceholder()
{
    open();
    const QString placeholder = WLLocalization::localizedString("AddBookmark.Notes");
    WLWindow *window = mWindow.get();
    WLTableView *table = nullptr;
    auto present = [&](bool newBookmark, const QString &notes) {
        mEditor->setWord(u"apple"_s);
        mEditor->setNotes(notes);
        mEditor->setNewBookmark(newBookmark);
        mNavigation->presentModalViewController(mEditor.get(), false);
        table = mEditor->tableView();
        // The rows, as the view asks for them.
        QCOMPARE(table->model()->index(0, 0).data().toString(), u"apple"_s);
        QCOMPARE(table->model()->index(1, 0).data(WLTableModel::ReuseIdentifierRole).toString(),
                 u"KXAddBookmarkNotesCell"_s);
    };
    WLNavigationItem *bar = nullptr;
    present(true, QString());
    bar = mEditor->barItem();
    QCOMPARE(bar->title(), WLLocalization::localizedString("AddBookmark.Title.New"));
    QCOMPARE(bar->leftBarButtonItem(), mEditor->cancelButton());
    QCOMPARE(bar->rightBarButtonItem(), mEditor->saveButton());
    QCOMPARE(mEditor->saveButton()->style(), int(WLBarButtonItem::DoneStyle));
    QCOMPARE(mEditor->heightForRow(0, 0), 40.0);
    QCOMPARE(mEditor->heightForRow(0, 1), 140.0);
    WLTextView *field = mEditor->textView();
    QCOMPARE(field->text(), placeholder);
    QCOMPARE(field->textColor(), std::optional(WLTextView::kGrayColor));
    mEditor->notesCell()->setContentBounds(QRectF(0, 0, 300, 140));
    QCOMPARE(field->frame(), QRectF(2, 4, 294, 128));

    // Editing: the placeholder goes, Done alone; Done with nothing typed
    // brings both back.
    QVERIFY(field->beginEditing());
    QCOMPARE(field->text(), QString());
    QCOMPARE(bar->title(), placeholder);
    QVERIFY(!bar->leftBarButtonItem());
    QCOMPARE(bar->rightBarButtonItem(), mEditor->doneButton());
    bar->rightBarButtonItem()->trigger();
    QCOMPARE(field->text(), placeholder);
    QCOMPARE(bar->leftBarButtonItem(), mEditor->cancelButton());
    QCOMPARE(bar->rightBarButtonItem(), mEditor->saveButton());

    // Cancel after typing stores nothing and keeps the note in the editor.
    QVERIFY(field->beginEditing());
    field->textEdited(u"typed"_s);
    mEditor->endEditing();
    mEditor->cancelButton()->trigger();
    QVERIFY(window->modalViewControllers().isEmpty());
    QCOMPARE(mBookmarks->bookmarkCount(), 0u);
    QCOMPARE(mEditor->notes(), std::optional(u"typed"_s));

    present(false, u"a note"_s);
    QCOMPARE(bar->title(), WLLocalization::localizedString("AddBookmark.Title.Edit"));
    QCOMPARE(field->text(), u"a note"_s);
    QCOMPARE(field->textColor(), std::optional(WLAddBookmarkViewController::kNotesTextColor));
    mEditor->cancel();
}

void TestWLEntryViewer::editingABookmarkFromTheList()
{
    open();
    mBookmarks.reset();
    std::unique_ptr<WLBookmarksDataSource> store = WLBookmarksDataSource::init();
    WLBookmarksDataSource *bookmarks = store.get();
    bookmarks->addBookmark(u"banana"_s, QVariantList{}, u"old"_s, QVariantList{2});
    bookmarks->addBookmark(u"apple"_s, QVariantList{}, QString(), QVariantList{1});
    std::unique_ptr<WLBookmarksViewController> screen =
        WLTableViewController::initWithDataSource<WLBookmarksViewController>(std::move(store));
    WLNavigationController navigation(screen.get());
    screen->loadViewIfNeeded();
    WLTableView *table = screen->tableView();
    table->reloadData();

    // Out of editing mode a row opens its entry; in it, the editor.
    screen->navigationItem()->leftBarButtonItem()->trigger();
    table->tapRow(1);
    QCOMPARE(mWindow->modalViewControllers(), QList<WLViewController *>{mEditor.get()});
    QVERIFY(!mEditor->newBookmark());
    QCOMPARE(mEditor->word(), std::optional(u"banana"_s));
    QCOMPARE(mEditor->notes(), std::optional(u"old"_s));
    QVERIFY(mEditor->textView()->beginEditing());
    mEditor->textView()->textEdited(u"new"_s);
    mEditor->endEditing();
    mEditor->save();
    QCOMPARE(bookmarks->bookmarkCount(), 2u);
    QString word;
    QString notes;
    QVERIFY(bookmarks->getBookmark(&word, nullptr, &notes, nullptr, 1));
    QCOMPARE(word, u"banana"_s);
    QCOMPARE(notes, u"new"_s);
}

void TestWLEntryViewer::keys()
{
    open();
    auto press = [](WLViewController *screen, int key, Qt::KeyboardModifiers modifiers) {
        return screen->keyCommand({key, modifiers, {}});
    };
    QVERIFY(press(mViewer.get(), Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier));
    QVERIFY(mViewer->useLargeFont());
    QVERIFY(press(mViewer.get(), Qt::Key_Minus, Qt::ControlModifier));
    QVERIFY(!mViewer->useLargeFont());
    QVERIFY(!press(mViewer.get(), Qt::Key_Minus, Qt::NoModifier));
    QVERIFY(press(mViewer.get(), Qt::Key_D, Qt::ControlModifier));
    QCOMPARE(mWindow->modalViewControllers(), QList<WLViewController *>{mEditor.get()});
    QVERIFY(press(mEditor.get(), Qt::Key_Escape, Qt::NoModifier));
    QVERIFY(mWindow->modalViewControllers().isEmpty());
    QVERIFY(press(mNavigation.get(), Qt::Key_Left, Qt::AltModifier));
    QCOMPARE(mNavigation->topViewController(), mRoot.get());
    // At the root the key is the focused field's.
    QVERIFY(!press(mNavigation.get(), Qt::Key_Backspace, Qt::NoModifier));
}

QTEST_GUILESS_MAIN(TestWLEntryViewer)
#include "tst_wlentryviewer.moc"
