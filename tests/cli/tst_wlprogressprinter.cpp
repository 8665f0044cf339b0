#include "WLProgressPrinter.h"

#include "WLCliRunner.h"
#include "WLSourceFixture.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

// The progress line of long builds, and what build shows when nobody
// watches its standard error.
class TestWLProgressPrinter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void redrawsOneLineOnATerminal_data();
    void redrawsOneLineOnATerminal();
    void buildShowsOnlyItsSummaryInAPipe_data();
    void buildShowsOnlyItsSummaryInAPipe();
};

void TestWLProgressPrinter::redrawsOneLineOnATerminal_data()
{
    QTest::addColumn<bool>("terminal");
    QTest::addColumn<QByteArray>("drawn");
    QTest::newRow("terminal") << true
                              << QByteArray("\rreading entries.jsonl: 25%\x1b[K"
                                            "\rwriting contents.db, link.db: 100%\x1b[K"
                                            "\rreading headwords: 7\x1b[K"
                                            "\rmoving the bundle into place\x1b[K\r\x1b[K");
    QTest::newRow("not a terminal") << false << QByteArray();
}

void TestWLProgressPrinter::redrawsOneLineOnATerminal()
{
    QFETCH(bool, terminal);
    QFETCH(QByteArray, drawn);
    const std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::tmpfile(), &std::fclose);
    QVERIFY(file);
    {
        WLProgressPrinter printer(file.get(), terminal);
        printer.progress(u"reading entries.jsonl"_s, 50, 200);
        printer.progress(u"writing contents.db, link.db"_s, 12, 10);
        printer.progress(u"reading headwords"_s, 7, 0);
        printer.progress(u"moving the bundle into place"_s, 0, 0);
        printer.finish();
        printer.finish(); // the line is cleared once
    }
    std::rewind(file.get());
    QByteArray written(4096, '\0');
    written.resize(qsizetype(std::fread(written.data(), 1, size_t(written.size()), file.get())));
    QCOMPARE(written, drawn);
}

void TestWLProgressPrinter::buildShowsOnlyItsSummaryInAPipe_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("plain") << QStringList{};
    QTest::newRow("quiet") << QStringList{u"--quiet"_s};
}

void TestWLProgressPrinter::buildShowsOnlyItsSummaryInAPipe()
{
    QFETCH(QStringList, options);
    const WLCliRunner wldict;
    if (!wldict.isAvailable())
        QSKIP("WLDICT does not name the wldict executable");
    QTemporaryDir dir;
    QVERIFY(WLSourceFixture::write(
        dir.filePath(u"src"_s), WLSourceFixture::manifest(),
        WLSourceFixture::entry(u"bank"_s, {u"<p>money</p>"_s, u"<p>by a [[river]]</p>"_s}) +
            WLSourceFixture::entry(u"river"_s, {u"<p>money</p>"_s})));
    const WLCliResult result = wldict.run(QStringList{u"build"_s} + options +
                                          QStringList{dir.filePath(u"src"_s), dir.filePath(u"out"_s)});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out, QByteArray());
    const QString err = result.errText();
    const QRegularExpression summary(
        u"^%1: 2 headwords, 3 fragments \\(2 stored\\), \\d+\\.\\d MB in \\d+\\.\\d s\\n$"_s.arg(
            QRegularExpression::escape(dir.filePath(u"out"_s))));
    QVERIFY2(summary.match(err).hasMatch(), qPrintable(err));
}

QTEST_GUILESS_MAIN(TestWLProgressPrinter)
#include "tst_wlprogressprinter.moc"
