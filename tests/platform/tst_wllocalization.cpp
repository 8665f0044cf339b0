#include "WLLocalization.h"

#include <QTest>

class TestWLLocalization : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keysShowTheirTextOrThemselves();
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

QTEST_GUILESS_MAIN(TestWLLocalization)
#include "tst_wllocalization.moc"
