#include "WLBundle.h"
#include "WLContainerView.h"
#include "WLDatabase.h"
#include "WLDictionaryCompiler.h"
#include "WLNavigationController.h"
#include "WLScreen.h"
#include "WLSearchDataSource.h"
#include "WLSearchViewController.h"
#include "WLSourceFixture.h"
#include "WLTestSupport.h"
#include "WLUserDefaults.h"
#include "WLWebViewController.h"
#include "WLWindow.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Many words under "a", so a search for it is still handing over
// snapshots when the next keyword comes.
QStringList headwords()
{
    QStringList words{u"apple"_s, u"apply"_s, u"bank"_s, u"banks"_s, u"bandit"_s, u"banana"_s};
    for (int i = 0; i < 3000; ++i) {
        QString word = u"a"_s;
        for (int n = i, letters = 0; letters < 3; n /= 26, ++letters)
            word += QChar(u'a' + n % 26);
        words.append(word);
    }
    return words;
}

} // namespace

// The Search tab's screen and its data source on a compiled dictionary with
// its real search worker, on screen in a window model.
class TestWLSearchScreen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void aStoredKeywordIsShownSearchedAndFocused();
    void eachChangeIsHandedOverButNeverWaitsForTheWorker();
    void cancelBringsBackTheKeywordOfBeforeEditing_data();
    void cancelBringsBackTheKeywordOfBeforeEditing();
    void erasingEmptiesTheList();
    void resultsOfAReplacedKeywordNeverShow();
    void anUnreadableWholeWordRowOpensNothing();
    void backFromAnEntryTheResultsStayAndTheFieldTakesTheFocus();
    void closeHeadwordsWhenNothingIsFound_data();
    void closeHeadwordsWhenNothingIsFound();
    void aSuggestionWithAnEmptyLinkTextOpens();
    void matchesInBold_data();
    void matchesInBold();
    void keysWalkTheResults();

private:
    bool open(const QString &bundle);
    // On screen, after the keyword (if any) was given to show first.
    WLSearchViewController *showScreen(const std::optional<QString> &initialKeyword = std::nullopt);
    WLSearchDataSource *results() const
    {
        return static_cast<WLSearchDataSource *>(mScreen->dataSource());
    }
    // The user types the whole text, or erases it.
    void edit(const QString &text) { mScreen->searchBar()->editText(text); }
    // Waits until the keyword's search has ended and its results show.
    bool settle(const QString &keyword);
    QStringList rows() const;
    QStringList titles() const;

    QTemporaryDir mDir;
    QString mBundle;
    QString mDamagedBundle;
    std::unique_ptr<WLDatabase> mDatabase;
    std::unique_ptr<WLWebViewController> mViewer;
    std::unique_ptr<WLNavigationController> mNavigation;
    std::unique_ptr<WLContainerView> mContainer;
    std::unique_ptr<WLWindow> mWindow;
    WLSearchViewController *mScreen = nullptr;
};

void TestWLSearchScreen::initTestCase()
{
    const QString source = mDir.filePath(u"source"_s);
    mBundle = mDir.filePath(u"bundle"_s);
    mDamagedBundle = mDir.filePath(u"damaged"_s);
    QByteArray entries;
    for (const QString &word : headwords())
        entries += WLSourceFixture::entry(word, {u"<p>"_s + word + u"</p>"_s});
    QString error;
    QVERIFY(WLSourceFixture::write(source, WLSourceFixture::manifest(), entries));
    QVERIFY2(WLDictionaryCompiler::build(source, mBundle, &error), qPrintable(error));
    // Damaged in the layout of a file per table, whose rows are texts.
    QVERIFY2(WLDictionaryCompiler::build(source, mDamagedBundle, &error, nullptr, nullptr,
                                         {WLTableLayout::Separate}),
             qPrintable(error));
    // "bank"'s whole-word row names its contents IDs with a trailing tab.
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open((mDamagedBundle + u"/equal.db"_s).toUtf8().constData(), &db), SQLITE_OK);
    int result = sqlite3_exec(db, "UPDATE equal_search SET contents_ids = contents_ids || char(9) "
                                  "WHERE look = 'bank';", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    QCOMPARE(result, SQLITE_OK);
    // "banana" has an empty link text, as a bundle made elsewhere may.
    QCOMPARE(sqlite3_open((mDamagedBundle + u"/headword.db"_s).toUtf8().constData(), &db), SQLITE_OK);
    result = sqlite3_exec(db, "UPDATE headword SET links = '' WHERE word = 'banana';", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    QCOMPARE(result, SQLITE_OK);
}

void TestWLSearchScreen::init()
{
    WLUserDefaults::resetStandardUserDefaults();
    QFile::remove(WLUserDefaults::defaultPath());
    QVERIFY(open(mBundle));
}

bool TestWLSearchScreen::open(const QString &bundle)
{
    mViewer.reset();
    if (mDatabase)
        mDatabase->invalidate();
    mDatabase.reset();
    WLBundle::setResourcePath(bundle);
    mDatabase = WLDatabase::initWithPropertyListFile(bundle + u"/DatabaseInfo.plist"_s);
    if (!mDatabase)
        return false;
    mViewer = std::make_unique<WLWebViewController>();
    mViewer->loadViewIfNeeded();
    mViewer->setDatabase(mDatabase.get());
    return true;
}

void TestWLSearchScreen::cleanup()
{
    mWindow.reset();
    mContainer.reset();
    mNavigation.reset();
    mScreen = nullptr;
    mViewer.reset();
    if (mDatabase)
        mDatabase->invalidate();
    mDatabase.reset();
}

WLSearchViewController *TestWLSearchScreen::showScreen(const std::optional<QString> &initialKeyword)
{
    auto screen = WLTableViewController::initWithDataSource<WLSearchViewController>(
        WLDataSource::initWithDatabase<WLSearchDataSource>(mDatabase.get()));
    screen->setInitialKeyword(initialKeyword);
    mNavigation = std::make_unique<WLNavigationController>(screen.get());
    mScreen = screen.release();
    mScreen->setParent(mNavigation.get());
    mContainer = std::make_unique<WLContainerView>();
    mWindow = std::make_unique<WLWindow>();
    mContainer->addSubview(mNavigation.get());
    mWindow->addSubview(mContainer.get());
    mWindow->makeKeyAndVisible();
    return mScreen;
}

bool TestWLSearchScreen::settle(const QString &keyword)
{
    // The last hand-over is this keyword's, its results show, and no
    // reload is pending.
    return QTest::qWaitFor([&] {
        const QStringList handed = results()->handedKeywords();
        return !handed.isEmpty() && handed.last() == keyword && results()->shownKeyword() == keyword
               && rows().size() == results()->tableViewNumberOfRowsInSection(0)
                                       + results()->tableViewNumberOfRowsInSection(1)
                                       + results()->tableViewNumberOfRowsInSection(2);
    }) && (QTest::qWait(300), true);
}

QStringList TestWLSearchScreen::rows() const
{
    QStringList words;
    const QAbstractItemModel *model = mScreen->tableView()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        words.append(model->index(row, 0).data().toString());
    return words;
}

QStringList TestWLSearchScreen::titles() const
{
    QStringList result;
    for (int section = 0; section < mScreen->tableView()->numberOfSections(); ++section)
        result.append(mScreen->tableView()->titleForSection(section));
    return result;
}

void TestWLSearchScreen::aStoredKeywordIsShownSearchedAndFocused()
{
    QElapsedTimer clock;
    clock.start();
    showScreen(u"ban"_s);
    WLSearchBar *bar = mScreen->searchBar();
    QCOMPARE(bar->text(), u"ban"_s);
    QCOMPARE(bar->frame(), QRectF(0, 0, WLScreen::mainScreen()->width(), 44));
    QVERIFY(results()->handedKeywords().isEmpty());
    // Until it is applied, the stored keyword is the one to keep.
    QCOMPARE(mScreen->nextInitialKeyword(), u"ban"_s);

    QTRY_COMPARE(results()->handedKeywords(), QStringList{u"ban"_s});
    QVERIFY(clock.elapsed() >= 95);
    QVERIFY(!bar->isFirstResponder());
    QTRY_VERIFY(bar->isFirstResponder());
    QVERIFY(clock.elapsed() >= 195);
    QVERIFY(settle(u"ban"_s));
    QCOMPARE(titles(), (QStringList{u"MainView.SearchMode.Section.PartialMatches"_s}));
    QCOMPARE(rows(), (QStringList{u"banana"_s, u"bandit"_s, u"bank"_s, u"banks"_s}));
}

void TestWLSearchScreen::eachChangeIsHandedOverButNeverWaitsForTheWorker()
{
    showScreen();
    QVERIFY(mScreen->searchBar()->becomeFirstResponder());
    edit(u"b"_s);
    QVERIFY(settle(u"b"_s));
    edit(u"ba"_s);
    QVERIFY(settle(u"ba"_s));
    QCOMPARE(results()->handedKeywords(), (QStringList{u"b"_s, u"ba"_s}));
    // The same keyword again hands nothing over.
    mScreen->updateWordListForKeyword(u"ba"_s);
    QCOMPARE(results()->handedKeywords().size(), 2);

    // Before the worker has taken "a", the keywords typed after it wait,
    // the newest replacing the others.
    edit(u"a"_s);
    edit(u"ab"_s);
    edit(u"abc"_s);
    QCOMPARE(results()->handedKeywords().mid(2), QStringList{u"a"_s});
    QCOMPARE(mScreen->currentKeyword(), std::optional(u"abc"_s));
    QVERIFY(settle(u"abc"_s));
    QCOMPARE(results()->handedKeywords().mid(2), (QStringList{u"a"_s, u"abc"_s}));
    const QStringList found = rows();
    QCOMPARE(found.size(), 5);
    QVERIFY(std::all_of(found.cbegin(), found.cend(),
                        [](const QString &word) { return word.startsWith(u"abc"_s); }));
}

void TestWLSearchScreen::cancelBringsBackTheKeywordOfBeforeEditing_data()
{
    QTest::addColumn<QString>("searched");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("restored");
    // Searched and confirmed with Search, then a new editing types on.
    QTest::newRow("erased") << u"bank"_s << QString() << u"bank"_s;
    QTest::newRow("changed") << u"bank"_s << u"bandit"_s << u"bank"_s;
    QTest::newRow("from an empty bar") << QString() << u"ban"_s << QString();
}

void TestWLSearchScreen::cancelBringsBackTheKeywordOfBeforeEditing()
{
    QFETCH(QString, searched);
    QFETCH(QString, typed);
    QFETCH(QString, restored);
    showScreen();
    WLSearchBar *bar = mScreen->searchBar();
    if (!searched.isEmpty()) {
        QVERIFY(bar->becomeFirstResponder());
        edit(searched);
        QVERIFY(!bar->showsCancelButton());
        bar->clickSearchButton();
        // Search gives up the focus and searches nothing new.
        QVERIFY(!bar->isFirstResponder());
        QCOMPARE(results()->handedKeywords(), QStringList{searched});
        QCOMPARE(mScreen->savedKeyword(), std::nullopt);
    }
    QVERIFY(bar->becomeFirstResponder());
    QCOMPARE(bar->showsCancelButton(), searched.isEmpty());
    QCOMPARE(bar->autocorrectionType(), int(WLSearchBar::CorrectionNo));
    edit(typed);
    // Shown exactly while the text is empty.
    QCOMPARE(bar->showsCancelButton(), typed.isEmpty());

    bar->clickCancelButton();
    QVERIFY(!bar->isFirstResponder());
    QVERIFY(!bar->showsCancelButton());
    QCOMPARE(bar->text(), restored);
    QCOMPARE(mScreen->savedKeyword(), std::nullopt);
    QTRY_COMPARE(results()->handedKeywords().last(), restored);
    QVERIFY(settle(restored));
    QCOMPARE(rows().isEmpty(), restored.isEmpty());
}

void TestWLSearchScreen::erasingEmptiesTheList()
{
    showScreen();
    QVERIFY(mScreen->searchBar()->becomeFirstResponder());
    edit(u"bank"_s);
    QVERIFY(settle(u"bank"_s));
    QCOMPARE(titles(), (QStringList{u"MainView.SearchMode.Section.WholeWords"_s,
                                    u"MainView.SearchMode.Section.PartialMatches"_s}));
    QCOMPARE(rows(), (QStringList{u"bank"_s, u"banks"_s}));
    edit(QString());
    QVERIFY(mScreen->searchBar()->showsCancelButton());
    QVERIFY(settle(QString()));
    QCOMPARE(titles(), QStringList{QString()});
    QVERIFY(rows().isEmpty());
}

void TestWLSearchScreen::resultsOfAReplacedKeywordNeverShow()
{
    showScreen();
    QVERIFY(mScreen->searchBar()->becomeFirstResponder());
    QList<QStringList> shown;
    connect(mScreen->tableView(), &WLTableView::reloaded, this, [&] { shown.append(rows()); });
    edit(u"a"_s);
    // The first snapshots of "a" are on screen; the worker goes on.
    while (rows().isEmpty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const QStringList before = rows();
    shown.clear();
    edit(u"ab"_s);
    QVERIFY(settle(u"ab"_s));
    QVERIFY(std::any_of(before.cbegin(), before.cend(),
                        [](const QString &word) { return !word.startsWith(u"ab"_s); }));
    for (const QStringList &words : std::as_const(shown)) {
        const bool onlyNew = std::all_of(words.cbegin(), words.cend(),
                                         [](const QString &word) { return word.startsWith(u"ab"_s); });
        QVERIFY2(words == before || onlyNew, qPrintable(words.mid(0, 5).join(u' ')));
    }
    QCOMPARE(rows().size(), 116);
}

void TestWLSearchScreen::anUnreadableWholeWordRowOpensNothing()
{
    QVERIFY(open(mDamagedBundle));
    showScreen();
    QVERIFY(mScreen->searchBar()->becomeFirstResponder());
    edit(u"bank"_s);
    QVERIFY(settle(u"bank"_s));
    StderrCapture capture;
    mScreen->tableView()->tapRow(0);
    QCOMPARE(capture.reports(),
             (QStringList{u"-[WLSearchDataSource getWord:links:contentsIDs:atIndexPath:]: (contentsIDs == nil)"_s,
                          u"-[WLTableViewController tableView:didSelectRowAtIndexPath:]: (![mDataSource getWord:&wordString links:&links contentsIDs:&contentsIDs atIndexPath:indexPath])"_s}));
    QCOMPARE(mNavigation->viewControllers().size(), 1);
    QCOMPARE(mScreen->tableView()->selectedRow(), 0);
    // The partial match beside it opens.
    mScreen->tableView()->tapRow(1);
    QCOMPARE(mNavigation->topViewController(), mViewer.get());
    QCOMPARE(mViewer->currentWord(), std::optional(u"banks"_s));
}

void TestWLSearchScreen::backFromAnEntryTheResultsStayAndTheFieldTakesTheFocus()
{
    showScreen();
    QVERIFY(mScreen->searchBar()->becomeFirstResponder());
    edit(u"ban"_s);
    QVERIFY(settle(u"ban"_s));
    mScreen->tableView()->tapRow(2);
    QCOMPARE(mViewer->currentWord(), std::optional(u"bank"_s));
    QVERIFY(!mScreen->searchBar()->isFirstResponder());
    mNavigation->popViewControllerAnimated(false);
    QCOMPARE(rows(), (QStringList{u"banana"_s, u"bandit"_s, u"bank"_s, u"banks"_s}));
    QCOMPARE(mScreen->tableView()->selectedRow(), -1);
    QTest::qWait(150);
    QVERIFY(!mScreen->searchBar()->isFirstResponder());
    QTRY_VERIFY(mScreen->searchBar()->isFirstResponder());
}

void TestWLSearchScreen::closeHeadwordsWhenNothingIsFound_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("one letter off") << u"bamk"_s << QStringList{u"bank"_s};
    QTest::newRow("two letters off") << u"bonanza"_s << QStringList{u"banana"_s};
    QTest::newRow("swapped, and one further") << u"bnaks"_s << QStringList{u"banks"_s, u"bank"_s};
    QTest::newRow("too far") << u"zzzzzz"_s << QStringList();
    QTest::newRow("a wildcard") << u"bxn*"_s << QStringList();
}

void TestWLSearchScreen::closeHeadwordsWhenNothingIsFound()
{
    QFETCH(QString, keyword);
    QFETCH(QStringList, offered);
    showScreen();
    QVERIFY(mScreen->searchBar()->becomeFirstResponder());
    edit(keyword);
    QVERIFY(settle(keyword));
    QTest::qWait(200);
    QCOMPARE(rows(), offered);
    if (offered.isEmpty()) {
        QCOMPARE(titles(), QStringList{QString()});
        return;
    }
    QCOMPARE(titles(), (QStringList{QString(), u"MainView.SearchMode.Section.DidYouMean"_s}));
    // A tap opens it like any result.
    mScreen->tableView()->tapRow(0);
    QCOMPARE(mViewer->currentWord(), std::optional(offered.first()));
    QCOMPARE(mViewer->currentLinks(), std::optional(QVariantList{offered.first() + u"#1"_s}));
}

void TestWLSearchScreen::aSuggestionWithAnEmptyLinkTextOpens()
{
    QVERIFY(open(mDamagedBundle));
    showScreen();
    QVERIFY(mScreen->searchBar()->becomeFirstResponder());
    edit(u"bonanza"_s);
    QVERIFY(settle(u"bonanza"_s));
    QTRY_COMPARE(rows(), QStringList{u"banana"_s});
    StderrCapture capture;
    mScreen->tableView()->tapRow(0);
    QCOMPARE(capture.reports(), QStringList());
    QCOMPARE(mViewer->currentWord(), std::optional(u"banana"_s));
    QCOMPARE(mViewer->currentLinks(), std::optional(QVariantList{QString()}));
}

void TestWLSearchScreen::matchesInBold_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("styled");
    QTest::newRow("a whole word") << u"bank"_s << u"<b>bank</b>"_s;
    QTest::newRow("a beginning, in any case") << u"BAN"_s << u"<b>ban</b>ana"_s;
    QTest::newRow("a wildcard") << u"b*d?t"_s << u"<b>b</b>an<b>d</b>i<b>t</b>"_s;
}

void TestWLSearchScreen::matchesInBold()
{
    QFETCH(QString, keyword);
    QFETCH(QString, styled);
    showScreen();
    QVERIFY(mScreen->searchBar()->becomeFirstResponder());
    edit(keyword);
    QVERIFY(settle(keyword));
    QCOMPARE(mScreen->tableView()->model()->index(0, 0).data(WLTableModel::StyledTextRole).toString(),
             styled);
}

void TestWLSearchScreen::keysWalkTheResults()
{
    showScreen();
    QVERIFY(mScreen->searchBar()->becomeFirstResponder());
    edit(u"ban"_s);
    QVERIFY(settle(u"ban"_s));
    const auto press = [&](int key) { return mScreen->keyCommand({key, Qt::NoModifier, {}}); };
    QVERIFY(press(Qt::Key_Down));
    QVERIFY(press(Qt::Key_Down));
    QVERIFY(press(Qt::Key_Up));
    QVERIFY(press(Qt::Key_Down));
    QCOMPARE(mScreen->tableView()->selectedRow(), 1);
    QCOMPARE(mScreen->tableView()->scrollRow(), 1);
    QVERIFY(press(Qt::Key_Return));
    QCOMPARE(mViewer->currentWord(), std::optional(u"bandit"_s));
    mNavigation->popViewControllerAnimated(false);

    // While the field has the focus, typing is the field's; Escape cancels.
    QVERIFY(mScreen->searchBar()->becomeFirstResponder());
    QVERIFY(!mScreen->keyCommand({Qt::Key_K, Qt::NoModifier, u"k"_s}));
    QVERIFY(press(Qt::Key_Escape));
    QVERIFY(!mScreen->searchBar()->isFirstResponder());
    // Without it, a letter starts a new search.
    QVERIFY(mScreen->keyCommand({Qt::Key_B, Qt::NoModifier, u"b"_s}));
    QVERIFY(mScreen->searchBar()->isFirstResponder());
    QCOMPARE(mScreen->searchBar()->text(), u"b"_s);
    QCOMPARE(results()->handedKeywords().last(), u"b"_s);
}

QTEST_GUILESS_MAIN(TestWLSearchScreen)
#include "tst_wlsearchscreen.moc"
