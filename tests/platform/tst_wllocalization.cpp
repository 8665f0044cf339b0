#include "WLLocalization.h"

#include <QTest>

class TestWLLocalization : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyWithoutTextShowsKey();
    void installedTexts_data();
    void installedTexts();
};

void TestWLLocalization::keyWithoutTextShowsKey()
{
    QCOMPARE(WLLocalization::localizedString("MainView.SearchMode.Section.WholeWords"),
             QStringLiteral("MainView.SearchMode.Section.WholeWords"));
    QVERIFY(WLLocalization::install());
    QCOMPARE(WLLocalization::localizedString("No.Such.Key"), QStringLiteral("No.Such.Key"));
}

void TestWLLocalization::installedTexts_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole words") << QStringLiteral("MainView.SearchMode.Section.WholeWords")
                                 << QStringLiteral("Whole Words");
    QTest::newRow("partial") << QStringLiteral("MainView.SearchMode.Section.PartialMatches")
                             << QStringLiteral("Partial Matches");
    QTest::newRow("new bookmark") << QStringLiteral("AddBookmark.Title.New")
                                  << QStringLiteral("New Bookmark");
    QTest::newRow("edit bookmark") << QStringLiteral("AddBookmark.Title.Edit")
                                   << QStringLiteral("Edit Bookmark");
    QTest::newRow("notes") << QStringLiteral("AddBookmark.Notes") << QStringLiteral("Notes");
    QTest::newRow("background") << QStringLiteral("Background")
                                << QStringLiteral("Background images");
    for (const char *plain : {"Index", "Search", "Bookmarks", "History", "Back", "Done",
                              "Settings", "About"})
        QTest::newRow(plain) << QString::fromLatin1(plain) << QString::fromLatin1(plain);
}

void TestWLLocalization::installedTexts()
{
    QFETCH(QString, key);
    QFETCH(QString, text);
    WLLocalization::install();
    QCOMPARE(WLLocalization::localizedString(key.toUtf8().constData()), text);
}

QTEST_GUILESS_MAIN(TestWLLocalization)
#include "tst_wllocalization.moc"
