#include "WLCollator.h"
#include "WLContentsBlobs.h"
#include "WLDictionaryLayout.h"
#include "WLSourceEntry.h"
#include "WLTextEncoder.h"

#include <QDir>
#include <QTest>

#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Enough entries for many chunks, each fragment referring to another entry;
// the entries named in badAt refer to nothing. Their texts go into texts.
QList<WLSourceEntry> sampleEntries(WLTextStore &texts, const QList<int> &badAt = {})
{
    constexpr int count = 3000;
    QString error;
    if (!texts.open(1, &error))
        qFatal("%s", qPrintable(error));
    WLTextStore::Writer &writer = texts.writer(0);
    QList<WLSourceEntry> entries;
    for (int i = 0; i < count; ++i) {
        WLSourceEntry entry;
        entry.headword = u"w%1"_s.arg(i, 4, 10, QLatin1Char('0'));
        entry.looks = {entry.headword};
        entry.line = i + 1;
        const QString target =
            badAt.contains(i) ? u"nowhere"_s : u"w%1"_s.arg(i * 7 % count, 4, 10, QLatin1Char('0'));
        entry.fragments.append(
            {writer.append(u"<p>%1 [[%2]]</p>"_s.arg(i).arg(target).toUtf8()), {}, i + 1});
        entry.fragments.append({writer.append(u"<p>more of %1</p>"_s.arg(i).toUtf8()), {}, i + 1});
        entries.append(entry);
    }
    if (!texts.finish(&error))
        qFatal("%s", qPrintable(error));
    return entries;
}

// Every row, or the message of the first that cannot be made, with the
// given number of helper threads.
QList<QByteArray> takeAll(const QList<WLSourceEntry> &entries, const WLTextStore &texts,
                          const WLDictionaryLayout &layout, int helperCount, QString *message)
{
    QString problem;
    const std::optional<WLTextEncoder> encoder = WLTextEncoder::forCharset(u"UTF-8"_s, &problem);
    WLContentsBlobs blobs(entries, texts, layout, u"entries.jsonl"_s);
    std::vector<std::jthread> helpers;
    for (int i = 0; i < helperCount; ++i)
        helpers.emplace_back([&blobs] { blobs.help(u"UTF-8"_s); });
    QList<QByteArray> rows;
    for (qsizetype row = 0; row < layout.contents.size(); ++row) {
        const QByteArray *data = blobs.take(row, *encoder, message);
        if (!data)
            break;
        rows.append(*data);
    }
    blobs.stop();
    return rows;
}

} // namespace

class TestWLContentsBlobs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameRowsWhoeverMakesThem_data();
    void sameRowsWhoeverMakesThem();
    void firstBadRowIsReported_data();
    void firstBadRowIsReported();
    void storedTextsAreComparedByContent();
};

void TestWLContentsBlobs::sameRowsWhoeverMakesThem_data()
{
    QTest::addColumn<int>("helpers");
    QTest::newRow("one helper") << 1;
    QTest::newRow("three helpers") << 3;
}

void TestWLContentsBlobs::sameRowsWhoeverMakesThem()
{
    QFETCH(int, helpers);
    WLTextStore texts(QDir::tempPath());
    const QList<WLSourceEntry> entries = sampleEntries(texts);
    const WLDictionaryLayout layout =
        WLDictionaryLayout::arrange(entries, texts, *WLCollator::forLocale(u"root"_s));
    QString message;
    const QList<QByteArray> alone = takeAll(entries, texts, layout, 0, &message);
    QCOMPARE(alone.size(), layout.contents.size());
    QCOMPARE(takeAll(entries, texts, layout, helpers, &message), alone);
    QVERIFY(message.isEmpty());
}

// Helpers make chunks ahead of the writer, bad ones included; the writer
// still meets the first bad row first.
void TestWLContentsBlobs::firstBadRowIsReported_data()
{
    QTest::addColumn<QList<int>>("badAt");
    QTest::addColumn<int>("helpers");
    QTest::addColumn<QString>("message");
    const QString w0100 =
        u"entries.jsonl:101: \"w0100\", fragment 1: unknown cross-reference target \"nowhere\""_s;
    const QString w2900 =
        u"entries.jsonl:2901: \"w2900\", fragment 1: unknown cross-reference target \"nowhere\""_s;
    QTest::newRow("alone") << QList<int>{2900, 100} << 0 << w0100;
    QTest::newRow("with a helper") << QList<int>{2900, 100} << 1 << w0100;
    QTest::newRow("last chunk, with helpers") << QList<int>{2900} << 3 << w2900;
}

void TestWLContentsBlobs::firstBadRowIsReported()
{
    QFETCH(QList<int>, badAt);
    QFETCH(int, helpers);
    QFETCH(QString, message);
    WLTextStore texts(QDir::tempPath());
    const QList<WLSourceEntry> entries = sampleEntries(texts, badAt);
    const WLDictionaryLayout layout =
        WLDictionaryLayout::arrange(entries, texts, *WLCollator::forLocale(u"root"_s));
    QString error;
    const QList<QByteArray> rows = takeAll(entries, texts, layout, helpers, &error);
    QCOMPARE(error, message);
    // Headwords and contents IDs follow the same order here: two rows each.
    QCOMPARE(rows.size(), std::min(badAt[0], badAt.last()) * 2);
}

// Equal hashes only say where to look: two texts that collide must still be
// told apart, or one entry would show the other's text.
void TestWLContentsBlobs::storedTextsAreComparedByContent()
{
    WLTextStore texts(QDir::tempPath());
    QString error;
    QVERIFY2(texts.open(2, &error), qPrintable(error));
    const WLTextRef one = texts.writer(0).append("<p>one</p>");
    const WLTextRef again = texts.writer(1).append("<p>one</p>");
    WLTextRef other = texts.writer(1).append("<p>two</p>");
    QVERIFY2(texts.finish(&error), qPrintable(error));
    QVERIFY(texts.equal(one, again));
    QVERIFY(!texts.equal(one, other));
    other.hash = one.hash;
    QVERIFY(!texts.equal(one, other));
    QCOMPARE(texts.read(again), QByteArray("<p>one</p>"));
}

QTEST_GUILESS_MAIN(TestWLContentsBlobs)
#include "tst_wlcontentsblobs.moc"
