#include "WLLocalization.h"

#include <QLocale>
#include <QTest>

class TestWLLocalization : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyWithoutTextShowsKey();
    void installedTexts_data();
    void installedTexts();
    void theUsersLanguageOverEnglish_data();
    void theUsersLanguageOverEnglish();
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
    QTest::newRow("did you mean") << QStringLiteral("MainView.SearchMode.Section.DidYouMean")
                                  << QStringLiteral("Did you mean");
    for (const char *plain : {"Index", "Search", "Bookmarks", "History", "Back", "Done",
                              "Settings", "About", "Background", "about/index.html"})
        QTest::newRow(plain) << QString::fromLatin1(plain) << QString::fromLatin1(plain);
}

void TestWLLocalization::installedTexts()
{
    QFETCH(QString, key);
    QFETCH(QString, text);
    WLLocalization::install();
    QCOMPARE(WLLocalization::localizedString(key.toUtf8().constData()), text);
}

void TestWLLocalization::theUsersLanguageOverEnglish_data()
{
    QTest::addColumn<QLocale::Language>("language");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::newRow("German") << QLocale::German << QStringLiteral("Search") << QStringLiteral("Suche");
    QTest::newRow("German About page") << QLocale::German << QStringLiteral("about/index.html")
                                       << QStringLiteral("about/de/index.html");
    QTest::newRow("no French: English") << QLocale::French << QStringLiteral("Search")
                                        << QStringLiteral("Search");
}

void TestWLLocalization::theUsersLanguageOverEnglish()
{
    QFETCH(QLocale::Language, language);
    QFETCH(QString, key);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(language));
    QVERIFY(WLLocalization::install());
    QLocale::setDefault(QLocale::c());
    QCOMPARE(WLLocalization::localizedString(key.toUtf8().constData()), text);
}

QTEST_GUILESS_MAIN(TestWLLocalization)
#include "tst_wllocalization.moc"
