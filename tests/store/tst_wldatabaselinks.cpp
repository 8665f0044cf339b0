#include "WLDatabase.h"
#include "WLStoreFixture.h"
#include "WLTestSupport.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kGet = u"-[WLDatabase getName:link:contentsID:atContentsLinkID:]: "_s;

} // namespace

class TestWLDatabaseLinks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void resolvesALink();
    void badRowsFailTheirLookupOnly_data();
    void badRowsFailTheirLookupOnly();

private:
    std::unique_ptr<WLStoreFixture> m_fixture;
};

void TestWLDatabaseLinks::init()
{
    m_fixture = std::make_unique<WLStoreFixture>();
    m_fixture->exec(u"link.db"_s,
                    u"INSERT INTO link VALUES (7, 'word text', 'link text', 42),"
                    "(8, 'zero', 'zero#1', 0), (11, 'minus', 'minus#1', -4),"
                    "(13, 'x', CAST(X'FE' AS TEXT), 3);"_s);
}

void TestWLDatabaseLinks::cleanup()
{
    m_fixture.reset();
}

void TestWLDatabaseLinks::resolvesALink()
{
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    StderrCapture capture;
    QString word;
    QString link;
    int contentsID = 0;
    QVERIFY(database->getName(&word, &link, &contentsID, 7));
    QCOMPARE(word, u"word text"_s);
    QCOMPARE(link, u"link text"_s);
    QCOMPARE(contentsID, 42);
    QVERIFY(database->getName(nullptr, &link, static_cast<int *>(nullptr), 2));
    QCOMPARE(link, u"apple#2"_s);
    QCOMPARE(word, u"word text"_s);
    QCOMPARE(capture.reports(), QStringList());
}

void TestWLDatabaseLinks::badRowsFailTheirLookupOnly_data()
{
    QTest::addColumn<int>("linkID");
    QTest::addColumn<QString>("condition");
    QTest::newRow("no row") << 99 << u"(retval != SQLITE_ROW)"_s;
    QTest::newRow("contents ID 0") << 8 << u"(contentsID <= 0)"_s;
    QTest::newRow("negative contents ID") << 11 << u"(contentsID <= 0)"_s;
    QTest::newRow("link not UTF-8") << 13 << u"(linkString == nil)"_s;
}

void TestWLDatabaseLinks::badRowsFailTheirLookupOnly()
{
    QFETCH(int, linkID);
    QFETCH(QString, condition);
    const std::unique_ptr<WLDatabase> database = m_fixture->open();
    QVERIFY(database);
    QString word = u"kept"_s;
    QString link = u"kept"_s;
    int contentsID = -1;
    {
        StderrCapture capture;
        QVERIFY(!database->getName(&word, &link, &contentsID, linkID));
        QCOMPARE(capture.reports(), QStringList{kGet + condition});
    }
    QCOMPARE(word, u"kept"_s);
    QCOMPARE(link, u"kept"_s);
    QCOMPARE(contentsID, -1);
    // The statement was reset: the next lookup works.
    QVERIFY(database->getName(&word, &link, &contentsID, 4));
    QCOMPARE(word, u"banana"_s);
    QCOMPARE(contentsID, 4);
}

QTEST_GUILESS_MAIN(TestWLDatabaseLinks)
#include "tst_wldatabaselinks.moc"
