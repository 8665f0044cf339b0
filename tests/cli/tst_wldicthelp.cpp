#include "WLCliRunner.h"

#include <QTest>

using namespace Qt::StringLiterals;

// wldict --help and each command's help, read as a new user reads them.
class TestWldictHelp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void everyCommandExplainsItself();

private:
    // The commands "wldict --help" lists.
    QStringList commands() const;

    WLCliRunner mWldict;
};

void TestWldictHelp::initTestCase()
{
    if (!mWldict.isAvailable())
        QSKIP("WLDICT is not set");
}

QStringList TestWldictHelp::commands() const
{
    const WLCliResult help = mWldict.run({u"--help"_s});
    const QString text = help.outText();
    const qsizetype start = text.indexOf(u"\nCommands:\n"_s);
    const qsizetype end = text.indexOf(u"\n\n"_s, start + 1);
    QStringList names;
    const QStringList lines = text.mid(start, end - start).split(u'\n').mid(2);
    for (const QString &line : lines) {
        if (line.startsWith(u"  "_s) && line.at(2) != u' ')
            names.append(line.section(u' ', 2, 2));
    }
    return names;
}

void TestWldictHelp::everyCommandExplainsItself()
{
    const QStringList names = commands();
    QVERIFY2(names.size() >= 11, qPrintable(names.join(u' ')));
    for (const QString &name : names) {
        const WLCliResult help = mWldict.run({name, u"--help"_s});
        QCOMPARE(help.status, 0);
        const QString text = help.outText();
        QVERIFY2(text.startsWith(u"usage: wldict "_s + name), qPrintable(text));
        QVERIFY2(text.contains(u"\nExamples:\n  wldict "_s), qPrintable(text));
        for (const QString &line : text.split(u'\n'))
            QVERIFY2(line.size() <= 80, qPrintable(line));
    }
}

QTEST_GUILESS_MAIN(TestWldictHelp)
#include "tst_wldicthelp.moc"
