#include "WLDataSource.h"

#include "WLTestSupport.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The smallest data source over a dictionary: one row per call of its
// constructor's argument, nothing read from the dictionary.
class OneRowDataSource final : public WLDataSource
{
public:
    QString navigationTitle() const override { return u"Index"_s; }
    WLTabBarItem tabBarItem() const override
    {
        return {u"Index"_s, u"kxIndex30.png"_s, WLTabBarSystemItem::None, 100};
    }
    WLTableViewStyle tableViewStyle() const override { return WLTableViewStyle::Plain; }
    bool getWord(QString *word, QVariantList *, QVariantList *, const WLIndexPath &) const override
    {
        if (word)
            *word = u"a"_s;
        return true;
    }
    qsizetype tableViewNumberOfRowsInSection(qsizetype) const override { return 1; }

private:
    friend class WLDataSource;
    explicit OneRowDataSource(WLDatabase *database) : WLDataSource(database) {}
};

} // namespace

class TestWLDataSource : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void needsADictionary();
    void keepsItsDictionaryAndColour();
};

void TestWLDataSource::needsADictionary()
{
    StderrCapture capture;
    QVERIFY(!WLDataSource::initWithDatabase<OneRowDataSource>(nullptr));
    QCOMPARE(capture.reports(),
             QStringList{u"-[WLDataSource initWithDatabase:]: (mDatabase == nil)"_s});
}

void TestWLDataSource::keepsItsDictionaryAndColour()
{
    // Never dereferenced: the data source only hands the dictionary on.
    alignas(8) char storage[8] = {};
    auto *database = reinterpret_cast<WLDatabase *>(storage);
    auto source = WLDataSource::initWithDatabase<OneRowDataSource>(database);
    QVERIFY(source);
    QCOMPARE(source->database(), database);
    QVERIFY(!source->textColor());
    source->setTextColor(WLColor{0.5, 0.25, 0});
    QCOMPARE(source->textColor(), std::optional(WLColor{0.5, 0.25, 0, 1}));
    // Every call gives a new item with the same contents.
    QCOMPARE(source->tabBarItem(), source->tabBarItem());
    QCOMPARE(source->numberOfSectionsInTableView(), 1);
    QVERIFY(!source->tableViewCanEditRows());
}

QTEST_GUILESS_MAIN(TestWLDataSource)
#include "tst_wldatasource.moc"
