#include "WLBookmarksDataSource.h"

#include "WLConstants.h"
#include "WLNotificationCenter.h"
#include "WLPropertyList.h"
#include "WLTestSupport.h"
#include "WLUserDefaults.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestWLBookmarksDataSource : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void ordersNewWordsIgnoringCase_data();
    void ordersNewWordsIgnoringCase();
    void replacesTheBookmarkOfTheSameWordInPlace();
    void refusesMissingArguments_data();
    void refusesMissingArguments();
    void removesByIndexAndRefusesOutOfRange();
    void deletesRowsInEditingMode();
    void postsNotificationsOnlyForAdditionAndRemoval();
    void loadsStoredBookmarks_data();
    void loadsStoredBookmarks();
    void writesItselfAfterEveryChange();
    void sharedInstanceIsTheFirstMadeUntilDestroyed();
    void keepsABookmarkWhenTheProcessIsKilled();
    void keepsABookmarkWhenTheProcessExits();
    void twoProcessesAddingAtOnceLoseNone();
    void showsWhatAnotherProcessStored();

private:
    QTemporaryDir mDir;
};

namespace {

struct Record {
    QString word;
    QVariantList links;
    QString notes;
    QVariantList contentsIDs;
};

Record recordFor(const QString &word, const QString &notes = {})
{
    return {word, {word + u"#1"_s}, notes, {u"1"_s, qint64(2)}};
}

bool add(WLBookmarksDataSource &store, const Record &r)
{
    return store.addBookmark(r.word, r.links, r.notes, r.contentsIDs);
}

QStringList words(const WLBookmarksDataSource &store)
{
    QStringList result;
    for (std::size_t i = 0; i < store.bookmarkCount(); ++i) {
        QString word;
        store.getBookmark(&word, nullptr, nullptr, nullptr, i);
        result << word;
    }
    return result;
}

QVariantMap storedRecord(const Record &r)
{
    return {{u"word"_s, r.word},
            {u"links"_s, r.links},
            {u"notes"_s, r.notes},
            {u"contentsIDs"_s, r.contentsIDs}};
}

WLUserDefaults *ud()
{
    return WLUserDefaults::standardUserDefaults();
}

// Counts WLBookmarksDidUpdateNotification posts by one store.
struct NotificationCounter {
    explicit NotificationCounter(const void *sender)
        : token(WLNotificationCenter::defaultCenter().addObserver(
              WLBookmarksDidUpdateNotification, sender, [this](const WLNotification &) { ++count; }))
    {
    }
    int count = 0;
    WLObserverToken token;
};

} // namespace

void TestWLBookmarksDataSource::initTestCase()
{
    // Run by hand, the test must still not reach the user's own file.
    if (qEnvironmentVariableIsEmpty("WL_DEFAULTS_FILE"))
        qputenv("WL_DEFAULTS_FILE", mDir.filePath(u"defaults.plist"_s).toUtf8());
}

void TestWLBookmarksDataSource::init()
{
    WLUserDefaults::resetStandardUserDefaults();
    QFile::remove(WLUserDefaults::defaultPath());
}

void TestWLBookmarksDataSource::cleanup()
{
    WLUserDefaults::resetStandardUserDefaults();
}

void TestWLBookmarksDataSource::ordersNewWordsIgnoringCase_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("listed");

    QTest::newRow("banana, Apple, cherry")
        << QStringList{u"banana"_s, u"Apple"_s, u"cherry"_s}
        << QStringList{u"Apple"_s, u"banana"_s, u"cherry"_s};
    QTest::newRow("capitals ignored") << QStringList{u"Cherry"_s, u"apple"_s, u"Banana"_s}
                                      << QStringList{u"apple"_s, u"Banana"_s, u"Cherry"_s};
    QTest::newRow("Apple and apple are two") << QStringList{u"Apple"_s, u"apple"_s}
                                             << QStringList{u"Apple"_s, u"apple"_s};
    QTest::newRow("apple and Apple are two") << QStringList{u"apple"_s, u"Apple"_s}
                                             << QStringList{u"apple"_s, u"Apple"_s};
    QTest::newRow("non-ASCII") << QStringList{u"Zebra"_s, u"émigré"_s, u"Éclair"_s}
                               << QStringList{u"Zebra"_s, u"Éclair"_s, u"émigré"_s};
}

void TestWLBookmarksDataSource::ordersNewWordsIgnoringCase()
{
    QFETCH(QStringList, added);
    QFETCH(QStringList, listed);
    auto store = WLBookmarksDataSource::init();
    for (const QString &word : std::as_const(added))
        QVERIFY(add(*store, recordFor(word)));
    QCOMPARE(words(*store), listed);
}

void TestWLBookmarksDataSource::replacesTheBookmarkOfTheSameWordInPlace()
{
    // A stored list out of order: replacing keeps it as it is, adding a new
    // word sorts the whole list.
    ud()->setObject(QVariantList{storedRecord(recordFor(u"cherry"_s)),
                                 storedRecord(recordFor(u"apple"_s)),
                                 storedRecord(recordFor(u"banana"_s))},
                    u"WLBookmarks"_s);
    ud()->setInteger(1, u"WLBookmarksVersion"_s);
    auto store = WLBookmarksDataSource::init();
    QCOMPARE(words(*store), (QStringList{u"cherry"_s, u"apple"_s, u"banana"_s}));

    QVERIFY(store->addBookmark(u"apple"_s, QVariantList{u"apple#9"_s}, u"a fruit"_s,
                               QVariantList{u"9"_s}));
    QCOMPARE(words(*store), (QStringList{u"cherry"_s, u"apple"_s, u"banana"_s}));
    QString word, notes;
    QVariantList links, contentsIDs;
    QVERIFY(store->getBookmark(&word, &links, &notes, &contentsIDs, 1));
    QCOMPARE(word, u"apple"_s);
    QCOMPARE(links, QVariantList{u"apple#9"_s});
    QCOMPARE(notes, u"a fruit"_s);
    QCOMPARE(contentsIDs, QVariantList{u"9"_s});

    QVERIFY(add(*store, recordFor(u"date"_s)));
    QCOMPARE(words(*store), (QStringList{u"apple"_s, u"banana"_s, u"cherry"_s, u"date"_s}));
}

void TestWLBookmarksDataSource::refusesMissingArguments_data()
{
    QTest::addColumn<bool>("hasWord");
    QTest::addColumn<bool>("hasLinks");
    QTest::addColumn<bool>("hasNotes");
    QTest::addColumn<bool>("hasContentsIDs");
    QTest::addColumn<QString>("report");

    const QString name = u"-[WLBookmarksDataSource addBookmark:links:notes:contentsIDs:]: "_s;
    QTest::newRow("word") << false << true << true << true << name + u"(word == nil)"_s;
    QTest::newRow("links") << true << false << true << true << name + u"(links == nil)"_s;
    QTest::newRow("notes") << true << true << false << true << name + u"(notes == nil)"_s;
    QTest::newRow("contentsIDs") << true << true << true << false
                                 << name + u"(contentsIDs == nil)"_s;
    QTest::newRow("all, first reported") << false << false << false << false
                                         << name + u"(word == nil)"_s;
}

void TestWLBookmarksDataSource::refusesMissingArguments()
{
    QFETCH(bool, hasWord);
    QFETCH(bool, hasLinks);
    QFETCH(bool, hasNotes);
    QFETCH(bool, hasContentsIDs);
    QFETCH(QString, report);

    auto store = WLBookmarksDataSource::init();
    QVERIFY(add(*store, recordFor(u"kept"_s)));
    NotificationCounter posted(store.get());
    StderrCapture capture;
    const Record r = recordFor(u"new"_s);
    QVERIFY(!store->addBookmark(hasWord ? std::optional(r.word) : std::nullopt,
                                hasLinks ? std::optional(r.links) : std::nullopt,
                                hasNotes ? std::optional(r.notes) : std::nullopt,
                                hasContentsIDs ? std::optional(r.contentsIDs) : std::nullopt));
    QCOMPARE(capture.reports(), QStringList{report});
    QCOMPARE(words(*store), QStringList{u"kept"_s});
    QCOMPARE(posted.count, 0);
}

void TestWLBookmarksDataSource::removesByIndexAndRefusesOutOfRange()
{
    auto store = WLBookmarksDataSource::init();
    for (const QString &word : {u"a"_s, u"b"_s, u"c"_s})
        QVERIFY(add(*store, recordFor(word)));

    QVERIFY(store->removeBookmarkAtIndex(1));
    QCOMPARE(words(*store), (QStringList{u"a"_s, u"c"_s}));

    StderrCapture capture;
    QVERIFY(!store->removeBookmarkAtIndex(2));
    QString word = u"untouched"_s;
    QVERIFY(!store->getBookmark(&word, nullptr, nullptr, nullptr, 2));
    QVERIFY(!store->getWord(&word, nullptr, nullptr, WLIndexPath{0, -1}));
    QCOMPARE(word, u"untouched"_s);
    const QString get = u"-[WLBookmarksDataSource getBookmark:links:notes:contentsIDs:atIndex:]: "
                        "([mBookmarkArray count] <= index)"_s;
    QCOMPARE(capture.reports(),
             (QStringList{u"-[WLBookmarksDataSource removeBookmarkAtIndex:]: "
                          "([mBookmarkArray count] <= index)"_s,
                          get, get}));
    QCOMPARE(words(*store), (QStringList{u"a"_s, u"c"_s}));

    // Null out-places are left alone.
    QVariantList contentsIDs;
    QVERIFY(store->getWord(&word, nullptr, &contentsIDs, WLIndexPath{0, 1}));
    QCOMPARE(word, u"c"_s);
    QCOMPARE(contentsIDs, recordFor(u"c"_s).contentsIDs);
}

void TestWLBookmarksDataSource::deletesRowsInEditingMode()
{
    auto store = WLBookmarksDataSource::init();
    for (const QString &word : {u"a"_s, u"b"_s, u"c"_s})
        QVERIFY(add(*store, recordFor(word)));
    QVERIFY(store->tableViewCanEditRows());

    QVERIFY(!store->tableViewCommitEditingStyle(WLTableViewCellEditingStyle::Insert, {0, 0}));
    QCOMPARE(store->tableViewNumberOfRowsInSection(0), 3);

    QVERIFY(store->tableViewCommitEditingStyle(WLTableViewCellEditingStyle::Delete, {0, 0}));
    QCOMPARE(words(*store), (QStringList{u"b"_s, u"c"_s}));

    StderrCapture capture;
    QVERIFY(!store->tableViewCommitEditingStyle(WLTableViewCellEditingStyle::Delete, {0, 2}));
    QCOMPARE(capture.reports(),
             QStringList{u"-[WLBookmarksDataSource tableView:commitEditingStyle:forRowAtIndexPath:]: "
                         "([mBookmarkArray count] <= indexPath.row)"_s});
    QCOMPARE(store->tableViewNumberOfRowsInSection(0), 2);
}

void TestWLBookmarksDataSource::postsNotificationsOnlyForAdditionAndRemoval()
{
    auto store = WLBookmarksDataSource::init();
    NotificationCounter posted(store.get());
    // Observers run before the operation returns, and see the change.
    std::size_t countSeen = 0;
    const auto seen = WLNotificationCenter::defaultCenter().addObserver(
        WLBookmarksDidUpdateNotification, nullptr,
        [&](const WLNotification &n) {
            countSeen = static_cast<const WLBookmarksDataSource *>(n.object)->bookmarkCount();
        });

    QVERIFY(add(*store, recordFor(u"a"_s)));
    QCOMPARE(posted.count, 1);
    QCOMPARE(countSeen, std::size_t(1));
    QVERIFY(add(*store, recordFor(u"b"_s)));
    QVERIFY(add(*store, recordFor(u"a"_s, u"replaced"_s)));
    QCOMPARE(posted.count, 3);
    QVERIFY(store->removeBookmarkAtIndex(0));
    QCOMPARE(posted.count, 4);
    QCOMPARE(countSeen, std::size_t(1));

    StderrCapture capture;
    store->removeBookmarkAtIndex(5);
    store->addBookmark(std::nullopt, QVariantList{}, u""_s, QVariantList{});
    store->tableViewCommitEditingStyle(WLTableViewCellEditingStyle::Delete, {0, 0});
    store->writePreference();
    store->readPreference();
    QCOMPARE(posted.count, 4);
}

void TestWLBookmarksDataSource::loadsStoredBookmarks_data()
{
    QTest::addColumn<QVariant>("version");
    QTest::addColumn<QVariant>("bookmarks");
    QTest::addColumn<QStringList>("loaded");
    QTest::addColumn<QStringList>("reports");

    const QVariantList two{storedRecord(recordFor(u"b"_s, u"note"_s)),
                           storedRecord(recordFor(u"a"_s))};
    const QStringList asStored{u"b"_s, u"a"_s};
    const QString name = u"-[WLBookmarksDataSource readPreference]: "_s;

    QTest::newRow("version 1") << QVariant(qint64(1)) << QVariant(two) << asStored << QStringList();
    QTest::newRow("later version") << QVariant(qint64(2)) << QVariant(two) << asStored
                                   << QStringList();
    QTest::newRow("version 0") << QVariant(qint64(0)) << QVariant(two) << QStringList()
                               << QStringList();
    QTest::newRow("no version") << QVariant() << QVariant(two) << QStringList() << QStringList();
    QTest::newRow("version as text")
        << QVariant(u"1"_s) << QVariant(two) << QStringList()
        << QStringList{name + u"(![number isKindOfClass:[NSNumber class]])"_s};
    QTest::newRow("not an array") << QVariant(qint64(1)) << QVariant(storedRecord(recordFor(u"a"_s)))
                                  << QStringList() << QStringList();
    QTest::newRow("absent list") << QVariant(qint64(1)) << QVariant() << QStringList()
                                 << QStringList();

    QVariantMap noNotes = storedRecord(recordFor(u"c"_s));
    noNotes.remove(u"notes"_s);
    QVariantMap numericWord = storedRecord(recordFor(u"c"_s));
    numericWord.insert(u"word"_s, qint64(3));
    const QString badRecord = name + u"(!isBookmarkRecord(info))"_s;
    QTest::newRow("record not a dictionary") << QVariant(qint64(1)) << QVariant(two + QVariantList{u"c"_s})
                                             << QStringList() << QStringList{badRecord};
    QTest::newRow("record without notes") << QVariant(qint64(1)) << QVariant(two + QVariantList{noNotes})
                                          << QStringList() << QStringList{badRecord};
    QTest::newRow("record with a number as word")
        << QVariant(qint64(1)) << QVariant(QVariantList{numericWord} + two) << QStringList()
        << QStringList{badRecord};
}

void TestWLBookmarksDataSource::loadsStoredBookmarks()
{
    QFETCH(QVariant, version);
    QFETCH(QVariant, bookmarks);
    QFETCH(QStringList, loaded);
    QFETCH(QStringList, reports);

    ud()->setObject(version, u"WLBookmarksVersion"_s);
    ud()->setObject(bookmarks, u"WLBookmarks"_s);
    StderrCapture capture;
    auto store = WLBookmarksDataSource::init();
    QCOMPARE(capture.reports(), reports);
    QCOMPARE(words(*store), loaded);

    // The next change overwrites both keys in the current form.
    QVERIFY(add(*store, recordFor(u"z"_s)));
    QCOMPARE(ud()->objectForKey(u"WLBookmarksVersion"_s), QVariant(qint64(1)));
    QCOMPARE(ud()->arrayForKey(u"WLBookmarks"_s)->size(), loaded.size() + 1);
}

void TestWLBookmarksDataSource::writesItselfAfterEveryChange()
{
    const Record a = recordFor(u"a"_s, u"with a note"_s);
    const Record b = recordFor(u"b"_s);
    {
        auto store = WLBookmarksDataSource::init();
        QVERIFY(add(*store, b));
        QVERIFY(add(*store, a));
        QCOMPARE(ud()->objectForKey(u"WLBookmarks"_s),
                 QVariant(QVariantList{storedRecord(a), storedRecord(b)}));
        QCOMPARE(ud()->objectForKey(u"WLBookmarksVersion"_s), QVariant(qint64(1)));
        // The store's end writes nothing more; what is on disk is complete.
    }
    WLUserDefaults::resetStandardUserDefaults();
    const QVariantMap onDisk = WLPropertyList::readFile(WLUserDefaults::defaultPath()).toMap();
    QCOMPARE(onDisk.value(u"WLBookmarks"_s),
             QVariant(QVariantList{storedRecord(a), storedRecord(b)}));

    auto reopened = WLBookmarksDataSource::init();
    QCOMPARE(words(*reopened), (QStringList{u"a"_s, u"b"_s}));
    QVERIFY(reopened->tableViewCommitEditingStyle(WLTableViewCellEditingStyle::Delete, {0, 0}));
    QCOMPARE(ud()->objectForKey(u"WLBookmarks"_s), QVariant(QVariantList{storedRecord(b)}));
}

void TestWLBookmarksDataSource::sharedInstanceIsTheFirstMadeUntilDestroyed()
{
    QCOMPARE(WLBookmarksDataSource::sharedBookmarks(), nullptr);
    auto first = WLBookmarksDataSource::init();
    QCOMPARE(WLBookmarksDataSource::sharedBookmarks(), first.get());
    auto second = WLBookmarksDataSource::init();
    QCOMPARE(WLBookmarksDataSource::sharedBookmarks(), first.get());

    second.reset();
    QCOMPARE(WLBookmarksDataSource::sharedBookmarks(), first.get());
    first.reset();
    QCOMPARE(WLBookmarksDataSource::sharedBookmarks(), nullptr);

    auto third = WLBookmarksDataSource::init();
    QCOMPARE(WLBookmarksDataSource::sharedBookmarks(), third.get());
}

void TestWLBookmarksDataSource::keepsABookmarkWhenTheProcessIsKilled()
{
    QProcess child;
    child.start(QStringLiteral(WL_STORE_CHILD), {u"killed"_s, u"still here"_s});
    QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
    QVERIFY(child.waitForReadyRead(10000));
    QCOMPARE(child.readLine().trimmed(), QByteArray("added"));

    // The child never exits on its own; its change must reach the file anyway.
    const auto onDisk = [] {
        const QVariantMap map = WLPropertyList::readFile(WLUserDefaults::defaultPath()).toMap();
        return map.value(u"WLBookmarks"_s).toList();
    };
    QTRY_VERIFY_WITH_TIMEOUT(!onDisk().isEmpty(), 10000);
    child.kill();
    QVERIFY(child.waitForFinished(10000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    WLUserDefaults::resetStandardUserDefaults();
    auto store = WLBookmarksDataSource::init();
    QString notes;
    QVariantList links;
    QCOMPARE(words(*store), QStringList{u"killed"_s});
    QVERIFY(store->getBookmark(nullptr, &links, &notes, nullptr, 0));
    QCOMPARE(notes, u"still here"_s);
    QCOMPARE(links, QVariantList{u"killed#1"_s});
}

void TestWLBookmarksDataSource::keepsABookmarkWhenTheProcessExits()
{
    QProcess child;
    child.start(QStringLiteral(WL_STORE_CHILD), {u"exited"_s, u""_s, u"exit"_s});
    QVERIFY(child.waitForFinished(10000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);

    WLUserDefaults::resetStandardUserDefaults();
    auto store = WLBookmarksDataSource::init();
    QCOMPARE(words(*store), QStringList{u"exited"_s});
}

void TestWLBookmarksDataSource::twoProcessesAddingAtOnceLoseNone()
{
    constexpr int kEach = 40;
    // One of this process's own, written before the others start.
    auto store = WLBookmarksDataSource::init();
    QVERIFY(store->addBookmark(u"here"_s, QVariantList{}, QString(), QVariantList{u"1"_s}));
    QVERIFY(WLUserDefaults::standardUserDefaults()->synchronize());
    QProcess first;
    QProcess second;
    first.start(QStringLiteral(WL_STORE_CHILD), {u"--many"_s, QString::number(kEach), u"first"_s});
    second.start(QStringLiteral(WL_STORE_CHILD), {u"--many"_s, QString::number(kEach), u"second"_s});
    // And one more of this process's while they write.
    QVERIFY(first.waitForStarted() && second.waitForStarted());
    QVERIFY(store->addBookmark(u"there"_s, QVariantList{}, QString(), QVariantList{u"2"_s}));
    QVERIFY(first.waitForFinished(60000) && second.waitForFinished(60000));
    QCOMPARE(first.exitCode(), 0);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(WLUserDefaults::standardUserDefaults()->synchronize());

    WLUserDefaults::resetStandardUserDefaults();
    const QStringList stored = words(*WLBookmarksDataSource::init());
    QCOMPARE(stored.size(), 2 * kEach + 2);
    for (int i = 1; i <= kEach; ++i)
        QVERIFY(stored.contains(u"first-%1"_s.arg(i)) && stored.contains(u"second-%1"_s.arg(i)));
    QVERIFY(stored.contains(u"here"_s) && stored.contains(u"there"_s));
    // Still in order, as each addition placed it.
    QStringList sorted = stored;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QCOMPARE(stored, sorted);
}

void TestWLBookmarksDataSource::showsWhatAnotherProcessStored()
{
    auto store = WLBookmarksDataSource::init();
    QVERIFY(store->addBookmark(u"mine"_s, QVariantList{}, QString(), QVariantList{u"1"_s}));
    WLUserDefaults::standardUserDefaults()->watchForChanges();
    NotificationCounter updates(store.get());
    QProcess child;
    child.start(QStringLiteral(WL_STORE_CHILD), {u"theirs"_s, u"a note"_s, u"exit"_s});
    QVERIFY(child.waitForFinished(10000));
    QTRY_COMPARE(words(*store), (QStringList{u"mine"_s, u"theirs"_s}));
    QVERIFY(updates.count >= 1);
    // A row deleted here stays deleted there, and theirs stays.
    QVERIFY(store->tableViewCommitEditingStyle(WLTableViewCellEditingStyle::Delete, {0, 0}));
    QVERIFY(WLUserDefaults::standardUserDefaults()->synchronize());
    WLUserDefaults::resetStandardUserDefaults();
    QCOMPARE(words(*WLBookmarksDataSource::init()), QStringList{u"theirs"_s});
}

QTEST_GUILESS_MAIN(TestWLBookmarksDataSource)
#include "tst_wlbookmarksdatasource.moc"
