#include "WLCollator.h"
#include "WLContentsBlobs.h"
#include "WLDictionaryLayout.h"
#include "WLSourceEntry.h"
#include "WLTextEncoder.h"

#include <QTest>

#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Enough entries for many chunks, each fragment referring to another entry;
// the entries named in badAt refer to nothing.
QList<WLSourceEntry> sampleEntries(const QList<int> &badAt = {})
{
    constexpr int count = 3000;
    QList<WLSourceEntry> entries;
    for (int i = 0; i < count; ++i) {
        WLSourceEntry entry;
        entry.headword = u"w%1"_s.arg(i, 4, 10, QLatin1Char('0'));
        entry.looks = {entry.headword};
        entry.line = i + 1;
        const QString target =
            badAt.contains(i) ? u"nowhere"_s : u"w%1"_s.arg(i * 7 % count, 4, 10, QLatin1Char('0'));
        entry.fragments.append({u"<p>%1 [[%2]]</p>"_s.arg(i).arg(target), {}, i + 1});
        entry.fragments.append({u"<p>more of %1</p>"_s.arg(i), {}, i + 1});
        entries.append(entry);
    }
    return entries;
}

// Every row, or the message of the first that cannot be made, with the
// given number of helper threads.
QList<QByteArray> takeAll(const QList<WLSourceEntry> &entries, const WLDictionaryLayout &layout,
                          int helperCount, QString *message)
{
    QString problem;
    const std::optional<WLTextEncoder> encoder = WLTextEncoder::forCharset(u"UTF-8"_s, &problem);
    WLContentsBlobs blobs(entries, layout, u"entries.jsonl"_s);
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
    const QList<WLSourceEntry> entries = sampleEntries();
    const WLDictionaryLayout layout =
        WLDictionaryLayout::arrange(entries, *WLCollator::forLocale(u"root"_s));
    QString message;
    const QList<QByteArray> alone = takeAll(entries, layout, 0, &message);
    QCOMPARE(alone.size(), layout.contents.size());
    QCOMPARE(takeAll(entries, layout, helpers, &message), alone);
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
    const QList<WLSourceEntry> entries = sampleEntries(badAt);
    const WLDictionaryLayout layout =
        WLDictionaryLayout::arrange(entries, *WLCollator::forLocale(u"root"_s));
    QString error;
    const QList<QByteArray> rows = takeAll(entries, layout, helpers, &error);
    QCOMPARE(error, message);
    // Headwords and contents IDs follow the same order here: two rows each.
    QCOMPARE(rows.size(), std::min(badAt[0], badAt.last()) * 2);
}

QTEST_GUILESS_MAIN(TestWLContentsBlobs)
#include "tst_wlcontentsblobs.moc"
