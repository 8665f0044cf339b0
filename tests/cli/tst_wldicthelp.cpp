#include "WLCliRunner.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

// wldict --help and each command's help, read as a new user reads them.
class TestWldictHelp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void everyCommandExplainsItself();
    void manualPageHasEveryCommandAndOption();

private:
    // The commands "wldict --help" lists.
    QStringList commands() const;
    // The options a help text lists.
    static QStringList options(const QString &help);

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

QStringList TestWldictHelp::options(const QString &help)
{
    static const QRegularExpression option(u"^  (-[-\\w]+)"_s, QRegularExpression::MultilineOption);
    const qsizetype start = help.indexOf(u"\nOptions:\n"_s);
    if (start < 0)
        return {};
    QStringList names;
    const QString section = help.mid(start, help.indexOf(u"\n\n"_s, start + 1) - start);
    for (auto it = option.globalMatch(section); it.hasNext();)
        names.append(it.next().captured(1));
    return names;
}

void TestWldictHelp::manualPageHasEveryCommandAndOption()
{
#ifndef WL_MAN_PAGE
    QSKIP("the manual pages are not built");
#else
    QFile file(QStringLiteral(WL_MAN_PAGE));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    // The troff without its font changes and escapes.
    static const QRegularExpression markup(u"\\\\f[BIRP]|\\\\&"_s);
    const QString page = QString::fromUtf8(file.readAll()).remove(markup).replace(u"\\-"_s, u"-"_s);

    QStringList expected = options(mWldict.run({u"--help"_s}).outText());
    QVERIFY(expected.contains(u"--dictionary"_s));
    const QStringList names = commands();
    for (const QString &name : names) {
        QVERIFY2(page.contains(u"\n.SS "_s + name + u' ') ||
                     page.contains(u"\n.SS "_s + name + u'\n'),
                 qPrintable(name));
        expected += options(mWldict.run({name, u"--help"_s}).outText());
    }
    for (const QString &option : std::as_const(expected))
        QVERIFY2(page.contains(option), qPrintable(option));
    for (const char *variable : {"WL_DICTIONARY", "WL_DEFAULTS_FILE", "TMPDIR"})
        QVERIFY2(page.contains(u"\n.SH ENVIRONMENT"_s) && page.contains(QLatin1String(variable)),
                 variable);
#endif
}

QTEST_GUILESS_MAIN(TestWldictHelp)
#include "tst_wldicthelp.moc"
