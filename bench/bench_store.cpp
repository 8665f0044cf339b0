// The dictionary store on the generated 200,000-headword bundle: opening,
// headword lookups, page assembly, deciphering and the compiler itself.

#include "WLBenchBundle.h"
#include "WLBundle.h"
#include "WLDatabase.h"
#include "WLDictionaryCompiler.h"
#include "WLProgress.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

QString infoPath()
{
    static const QString bundle = WLBenchBundle::bundlePath();
    WLBundle::setResourcePath(bundle);
    return QDir(bundle).filePath(QStringLiteral("DatabaseInfo.plist"));
}

WLDatabase &openDatabase()
{
    static std::unique_ptr<WLDatabase> database = WLDatabase::initWithPropertyListFile(infoPath());
    if (!database)
        std::abort();
    return *database;
}

// Contents IDs whose stored fragment is about 2 KB, straight from the file.
QVariantList twoLargeContentsIDs()
{
    QVariantList ids;
    sqlite3 *db = nullptr;
    const QByteArray path =
        QDir(WLBenchBundle::bundlePath()).filePath(QStringLiteral("contents.db")).toUtf8();
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT id FROM contents WHERE length(data) BETWEEN 1800 AND 2400 "
                           "LIMIT 2;",
                           -1, &stmt, nullptr);
        while (stmt && sqlite3_step(stmt) == SQLITE_ROW)
            ids.append(sqlite3_column_int(stmt, 0));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return ids;
}

void BM_Open(benchmark::State &state)
{
    const QString path = infoPath();
    for (auto _ : state) {
        auto database = WLDatabase::initWithPropertyListFile(path);
        benchmark::DoNotOptimize(database.get());
        if (!database)
            state.SkipWithError("opening failed");
    }
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

void BM_HeadwordByPosition(benchmark::State &state)
{
    WLDatabase &database = openDatabase();
    QRandomGenerator random(42);
    const uint sections = database.sectionCount();
    for (auto _ : state) {
        const uint section = random.bounded(sections);
        const uint row = random.bounded(database.itemCountOfHeadwordSectionAtIndex(section));
        benchmark::DoNotOptimize(database.itemNameAtIndexOfHeadwordSectionAtIndex(row, section));
    }
}
BENCHMARK(BM_HeadwordByPosition)->Unit(benchmark::kMicrosecond);

void BM_EntryReference(benchmark::State &state)
{
    WLDatabase &database = openDatabase();
    QRandomGenerator random(7);
    QString word;
    QStringList links, contentsIDs;
    for (auto _ : state) {
        const int id = 1 + int(random.bounded(uint(WLBenchBundle::kEntries)));
        benchmark::DoNotOptimize(database.getName(&word, &links, &contentsIDs, id));
    }
}
BENCHMARK(BM_EntryReference)->Unit(benchmark::kMicrosecond);

void BM_PageOfTwoFragments(benchmark::State &state)
{
    WLDatabase &database = openDatabase();
    const QVariantList ids = twoLargeContentsIDs();
    if (ids.size() != 2) {
        state.SkipWithError("no fragments of about 2 KB in the bundle");
        return;
    }
    qint64 bytes = 0;
    for (auto _ : state) {
        const auto page = database.newHtmlDataForIDs(ids, false);
        bytes += page ? page->size() : 0;
        benchmark::DoNotOptimize(page);
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_PageOfTwoFragments)->Unit(benchmark::kMicrosecond);

void BM_Decipher(benchmark::State &state)
{
    const QByteArray blob(qsizetype(state.range(0)), '\x5a');
    for (auto _ : state) {
        auto plain = WLDatabase::decryptDataBytes(blob.constData(), blob.size());
        benchmark::DoNotOptimize(plain);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Decipher)->Arg(2048)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

// Argument 1: with a progress sink, as wldict builds (it draws only on a
// terminal), to show what the progress costs.
void BM_Build(benchmark::State &state)
{
    struct Sink : WLProgress
    {
        qint64 calls = 0;
        void progress(const QString &, qint64, qint64) override { ++calls; }
    } sink;
    const QString source = WLBenchBundle::sourcePath();
    QTemporaryDir out;
    for (auto _ : state) {
        QString error;
        if (!WLDictionaryCompiler::build(source, out.filePath(QStringLiteral("bundle")), &error,
                                         state.range(0) ? &sink : nullptr))
            state.SkipWithError(qPrintable(error));
    }
    state.counters["progress_calls"] = double(sink.calls);
}
BENCHMARK(BM_Build)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
