#include "WLDatabase.h"
#include "WLSearchSession.h"
#include "WLStoreFixture.h"

#include <QElapsedTimer>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using Kind = WLSearchSection::Kind;

// What the search shows, as typed values, on the fixture's dictionary
// (apple, avocado, banana, cherry).
class TestWLSearchSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void resultsAreTypedByKind_data();
    void resultsAreTypedByKind();
    void aKeywordIsHandedOverWithoutWaitingAndOnlyTheLastShows();
    void theDictionaryWithoutItsSearchHasNone();

private:
    // Hands the keyword to the session and waits until its results are
    // final (and, when wanted, "did you mean" has followed).
    WLSearchResults search(const QString &keyword, bool withSuggestions = false);

    std::unique_ptr<WLStoreFixture> mFixture;
    std::unique_ptr<WLDatabase> mDatabase;
    WLSearchSession *mSession = nullptr;
};

void TestWLSearchSession::init()
{
    mFixture = std::make_unique<WLStoreFixture>();
    mDatabase = mFixture->open();
    QVERIFY(mDatabase);
    mSession = WLSearchSession::of(*mDatabase);
    QVERIFY(mSession);
}

void TestWLSearchSession::cleanup()
{
    mSession = nullptr;
    mDatabase.reset();
    mFixture.reset();
    WLSearchSession::setSearchOnCallingThread(false);
}

WLSearchResults TestWLSearchSession::search(const QString &keyword, bool withSuggestions)
{
    mSession->searchKeyword(keyword);
    (void)QTest::qWaitFor([&] {
        const WLSearchResults results = mSession->results();
        return results.keyword == keyword && results.finished &&
               (!withSuggestions || results.section(Kind::Suggestions));
    }, 20000);
    return mSession->results();
}

void TestWLSearchSession::resultsAreTypedByKind_data()
{
    QTest::addColumn<bool>("onCallingThread");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QList<Kind>>("kinds");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("firstWholeWord");
    QTest::addColumn<bool>("suggestions");
    // The same answers whether the worker searches or, as in wldict, the
    // thread that hands the keyword over.
    for (const bool onCallingThread : {false, true}) {
        const auto row = [onCallingThread](const char *name) -> QTestData & {
            return QTest::addRow("%s%s", name, onCallingThread ? " (calling thread)" : "")
                   << onCallingThread;
        };
        row("a whole word") << u"banana"_s << QList<Kind>{Kind::WholeWords}
                            << QStringList{u"banana"_s} << u"banana"_s << false;
        // apple has two fragments, so two partial matches.
        row("a beginning") << u"a"_s << QList<Kind>{Kind::PartialMatches}
                           << QStringList{u"apple"_s, u"apple"_s, u"avocado"_s} << QString() << false;
        row("a wildcard over whole words")
            << u"*e*"_s << QList<Kind>{Kind::WholeWords} << QStringList{u"apple"_s, u"cherry"_s}
            << u"apple"_s << false;
        row("nothing, and a close headword")
            << u"banama"_s << QList<Kind>{Kind::Suggestions} << QStringList{u"banana"_s} << QString()
            << true;
        row("nothing close") << u"zzzzzzz"_s << QList<Kind>() << QStringList() << QString() << false;
    }
}

void TestWLSearchSession::resultsAreTypedByKind()
{
    QFETCH(bool, onCallingThread);
    if (onCallingThread) {
        mSession = nullptr;
        mDatabase.reset();
        WLSearchSession::setSearchOnCallingThread(true);
        mDatabase = mFixture->open();
        QVERIFY(mDatabase);
        mSession = WLSearchSession::of(*mDatabase);
    }
    QFETCH(QString, keyword);
    QFETCH(QList<Kind>, kinds);
    QFETCH(QStringList, words);
    QFETCH(QString, firstWholeWord);
    QFETCH(bool, suggestions);
    const WLSearchResults results = search(keyword, suggestions);
    QCOMPARE(results.keyword, keyword);
    QVERIFY(results.finished);
    QList<Kind> shownKinds;
    QStringList shownWords;
    for (const WLSearchSection &section : results.sections) {
        shownKinds.append(section.kind);
        for (const WLSearchResult &row : section.rows)
            shownWords.append(row.word);
    }
    QCOMPARE(shownKinds, kinds);
    QCOMPARE(shownWords, words);
    const std::optional<WLSearchResult> first = results.firstWholeWordMatch();
    QCOMPARE(first ? first->word : QString(), firstWholeWord);
    if (first)
        QVERIFY(!first->contentsIDs.isEmpty());
    // A "did you mean" row names the headword whose entry it opens.
    if (const WLSearchSection *offered = results.section(Kind::Suggestions)) {
        QString word;
        QVERIFY(mDatabase->getName(&word, offered->rows.constFirst().itemID));
        QCOMPARE(word, offered->rows.constFirst().word);
    }
}

void TestWLSearchSession::aKeywordIsHandedOverWithoutWaitingAndOnlyTheLastShows()
{
    // Typed faster than the worker takes them: none of these waits, the
    // ones between the first and the last are never searched, and what
    // shows in the end is the last keyword's.
    const QStringList typed{u"a"_s, u"ap"_s, u"app"_s, u"appl"_s, u"apple"_s, u"b"_s, u"ba"_s, u"ban"_s};
    for (const QString &keyword : typed)
        mSession->searchKeyword(keyword);
    QCOMPARE(mSession->handedKeywords().constFirst(), u"a"_s);
    QVERIFY(mSession->handedKeywords().size() <= 2);
    const WLSearchResults results = search(u"ban"_s);
    QCOMPARE(results.keyword, u"ban"_s);
    QCOMPARE(mSession->handedKeywords().constLast(), u"ban"_s);
    QCOMPARE(results.sections.size(), 1);
    QCOMPARE(results.sections.constFirst().rows.constFirst().word, u"banana"_s);
    // Only rows of "ban" were ever added since it first showed.
    const quint64 shown = mSession->revision();
    search(u"ban"_s);
    QVERIFY(mSession->revision() >= shown);
}

void TestWLSearchSession::theDictionaryWithoutItsSearchHasNone()
{
    // The store alone, with no parts: the search is a part of its own.
    std::unique_ptr<WLDatabase> bare =
        WLDatabase::initWithPropertyListFile(mFixture->writeInfo(), std::vector<WLDatabase::PartMaker>{});
    QVERIFY(bare);
    QCOMPARE(WLSearchSession::of(*bare), nullptr);
    QVERIFY(bare->newHtmlDataForIDs(QVariantList{2}, false));
}

QTEST_GUILESS_MAIN(TestWLSearchSession)
#include "tst_wlsearchsession.moc"
