#include "WLLocalization.h"

#include <QLocale>
#include <QTest>

class TestWLLocalization : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keysShowTheirTextOrThemselves();
    void theUsersLanguageOverEnglish_data();
    void theUsersLanguageOverEnglish();
};

void TestWLLocalization::keysShowTheirTextOrThemselves()
{
    QCOMPARE(WLLocalization::localizedString("MainView.SearchMode.Section.WholeWords"),
             QStringLiteral("MainView.SearchMode.Section.WholeWords"));
    QVERIFY(WLLocalization::install());
    QCOMPARE(WLLocalization::localizedString("MainView.SearchMode.Section.WholeWords"),
             QStringLiteral("Whole Words"));
    QCOMPARE(WLLocalization::localizedString("No.Such.Key"), QStringLiteral("No.Such.Key"));
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
