#include "WLEntriesReader.h"

#include "WLParallel.h"
#include "WLProgress.h"
#include "WLSourceMessage.h"

#include <QFile>
#include <QHashFunctions>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <memory_resource>
#include <numeric>
#include <unordered_map>

#include <sys/mman.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

bool hasLineBreakOrTab(const QString &text)
{
    return text.contains(QLatin1Char('\t')) || text.contains(QLatin1Char('\n')) ||
           text.contains(QLatin1Char('\r'));
}

// Reads one line's object into a fresh entry; the text of the problem on
// failure.
bool parseLine(const QJsonObject &object, int line, WLTextStore::Writer &texts,
               WLSourceEntry *entry, QString *problem)
{
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (it.key() != u"headword"_s && it.key() != u"look"_s && it.key() != u"fragments"_s) {
            *problem = QStringLiteral("unknown key \"%1\"").arg(it.key());
            return false;
        }
    }

    const QJsonValue headword = object.value(u"headword"_s);
    if (headword.isUndefined()) {
        *problem = QStringLiteral("missing \"headword\"");
        return false;
    }
    if (!headword.isString() || headword.toString().trimmed().isEmpty()) {
        *problem = QStringLiteral("\"headword\" must be a non-empty string");
        return false;
    }
    entry->headword = headword.toString();
    if (hasLineBreakOrTab(entry->headword)) {
        *problem = QStringLiteral("\"headword\" must not contain tabs or line breaks");
        return false;
    }
    entry->line = line;

    const QJsonValue fragments = object.value(u"fragments"_s);
    if (!fragments.isArray() || fragments.toArray().isEmpty()) {
        *problem = QStringLiteral("\"fragments\" must be a non-empty array");
        return false;
    }
    const QJsonArray fragmentArray = fragments.toArray();
    for (qsizetype i = 0; i < fragmentArray.size(); ++i) {
        const QJsonValue value = fragmentArray.at(i);
        WLSourceFragment fragment;
        fragment.line = line;
        if (value.isString()) {
            fragment.html = texts.append(value.toString().toUtf8());
        } else if (value.isObject()) {
            const QJsonObject fragmentObject = value.toObject();
            for (auto it = fragmentObject.constBegin(); it != fragmentObject.constEnd(); ++it) {
                if (it.key() != u"html"_s && it.key() != u"media"_s && it.key() != u"sameAs"_s) {
                    *problem =
                        QStringLiteral("fragment %1: unknown key \"%2\"").arg(i + 1).arg(it.key());
                    return false;
                }
            }
            if (fragmentObject.contains(u"sameAs"_s)) {
                const QJsonValue target = fragmentObject.value(u"sameAs"_s);
                if (fragmentObject.size() != 1 || !target.isString()) {
                    *problem = QStringLiteral("fragment %1: \"sameAs\" stands alone and names a "
                                              "fragment \"headword#n\"")
                                   .arg(i + 1);
                    return false;
                }
                fragment.html = texts.append(target.toString().toUtf8());
                fragment.isCopy = true;
                entry->fragments.append(fragment);
                continue;
            }
            if (!fragmentObject.value(u"html"_s).isString()) {
                *problem = QStringLiteral("fragment %1: \"html\" must be a string").arg(i + 1);
                return false;
            }
            fragment.html = texts.append(fragmentObject.value(u"html"_s).toString().toUtf8());
            if (fragmentObject.contains(u"media"_s)) {
                const QJsonValue media = fragmentObject.value(u"media"_s);
                bool good = media.isArray();
                const QJsonArray mediaArray = media.toArray();
                for (const QJsonValue &reference : mediaArray) {
                    good = good && reference.isString() && !reference.toString().isEmpty() &&
                           !hasLineBreakOrTab(reference.toString());
                    fragment.media.append(reference.toString());
                }
                if (!good) {
                    *problem = QStringLiteral("fragment %1: \"media\" must be an array of "
                                              "references \"table/file\"")
                                   .arg(i + 1);
                    return false;
                }
            }
        } else {
            *problem = QStringLiteral("fragment %1 must be a string or an object").arg(i + 1);
            return false;
        }
        entry->fragments.append(fragment);
    }

    if (object.contains(u"look"_s)) {
        const QJsonValue look = object.value(u"look"_s);
        if (!look.isArray()) {
            *problem = QStringLiteral("\"look\" must be an array of strings");
            return false;
        }
        const QJsonArray lookArray = look.toArray();
        for (const QJsonValue &value : lookArray) {
            if (!value.isString() || value.toString().trimmed().isEmpty() ||
                hasLineBreakOrTab(value.toString())) {
                *problem = QStringLiteral("\"look\" must hold non-empty strings without tabs or "
                                          "line breaks");
                return false;
            }
            const QString folded = WLEntriesReader::foldLook(value.toString());
            if (!entry->looks.contains(folded))
                entry->looks.append(folded);
        }
    } else {
        entry->looks.append(WLEntriesReader::foldLook(entry->headword));
    }
    return true;
}

// A run of whole lines of the entries file and what parsing it gave: an
// entry per line (merging comes later), or the first problem.
struct LineRun
{
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype lineCount = 0;
    int firstLine = 1;
    QList<WLSourceEntry> entries;
    int problemLine = 0;
    QString problem;
};

// The mapped pages a run has read count as the process's memory until
// they are let go; the file stays in the page cache all the same.
void releaseMapped(QByteArrayView text, qsizetype from, qsizetype to)
{
    const quintptr page = quintptr(sysconf(_SC_PAGESIZE));
    const quintptr begin = (quintptr(text.data() + from) + page - 1) & ~(page - 1);
    const quintptr end = quintptr(text.data() + to) & ~(page - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_DONTNEED);
}

void parseRun(QByteArrayView text, bool mapped, WLTextStore::Writer &texts,
              WLProgressMeter &meter, LineRun *run)
{
    WLProgressMeter::Counter read(meter);
    constexpr qsizetype kReleaseEvery = 8 << 20;
    qsizetype released = run->begin;
    int line = run->firstLine;
    for (qsizetype start = run->begin; start < run->end; ++line) {
        if (mapped && start - released >= kReleaseEvery) {
            releaseMapped(text, released, start);
            released = start;
        }
        qsizetype end = text.indexOf('\n', start);
        if (end < 0 || end > run->end)
            end = run->end;
        read.step(end + 1 - start);
        const QByteArrayView trimmed = text.sliced(start, end - start).trimmed();
        start = end + 1;
        if (trimmed.isEmpty() || trimmed.startsWith("//"))
            continue;

        QJsonParseError parseError;
        // Read in place: the document keeps nothing of the line.
        const QJsonDocument document = QJsonDocument::fromJson(
            QByteArray::fromRawData(trimmed.data(), trimmed.size()), &parseError);
        QString problem;
        if (parseError.error != QJsonParseError::NoError)
            problem = QStringLiteral("malformed JSON: %1").arg(parseError.errorString());
        else if (!document.isObject())
            problem = QStringLiteral("expected one JSON object");
        WLSourceEntry entry;
        if (problem.isEmpty() && parseLine(document.object(), line, texts, &entry, &problem)) {
            run->entries.append(std::move(entry));
            continue;
        }
        run->problemLine = line;
        run->problem = problem;
        return;
    }
}

} // namespace

QString WLEntriesReader::foldLook(const QString &text)
{
    return text.toLower().normalized(QString::NormalizationForm_C);
}

bool WLEntriesReader::read(const QString &path, const QString &displayName, WLTextStore *texts,
                           QList<WLSourceEntry> *entries, QString *errorMessage,
                           WLProgressMeter *meter)
{
    WLProgressMeter silent(nullptr);
    if (!meter)
        meter = &silent;
    auto fail = [&](int line, const QString &text) {
        if (errorMessage)
            *errorMessage = wlSourceMessage(displayName, line, text);
        return false;
    };

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(0, QStringLiteral("cannot read: %1").arg(file.errorString()));
    // Mapped rather than copied, so the threads below page it in side by
    // side; read when it cannot be mapped.
    QByteArray copy;
    QByteArrayView text;
    const uchar *mapped = file.size() > 0 ? file.map(0, file.size()) : nullptr;
    if (mapped) {
        text = QByteArrayView(mapped, file.size());
    } else {
        copy = file.readAll();
        text = copy;
    }
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);

    // Parsing the JSON is most of the work, and lines are independent until
    // they are merged: the text is cut into one run of whole lines per core.
    const int runCount = wlThreadCount();
    QList<LineRun> runs(runCount);
    for (int i = 0; i < runCount; ++i) {
        const qsizetype begin = i == 0 ? 0 : runs[i - 1].end;
        qsizetype end = text.size() * (i + 1) / runCount;
        if (end < text.size()) {
            end = text.indexOf('\n', std::max(begin, end));
            end = end < 0 ? text.size() : end + 1;
        }
        runs[i].begin = begin;
        runs[i].end = end;
    }
    wlRunConcurrently(runCount, [&](int i) {
        runs[i].lineCount =
            std::count(text.begin() + runs[i].begin, text.begin() + runs[i].end, '\n');
    });
    for (int i = 1; i < runCount; ++i)
        runs[i].firstLine = runs[i - 1].firstLine + int(runs[i - 1].lineCount);
    if (!texts->open(runCount, errorMessage))
        return false;
    wlRunConcurrently(runCount,
                      [&](int i) { parseRun(text, mapped, texts->writer(i), *meter, &runs[i]); });
    if (!texts->finish(errorMessage))
        return false;

    // Merged in source order; the first bad line is the first run's.
    // std::unordered_map: faster than QHash at this size, and one lookup
    // both finds and adds; its nodes come from one pool, made and freed in
    // bulk. The keys view the headwords moved into entries (a moved QString
    // keeps its characters where they are).
    std::pmr::monotonic_buffer_resource pool;
    std::pmr::unordered_map<QStringView, qsizetype> byHeadword(&pool);
    const qsizetype lineEntries =
        std::accumulate(runs.cbegin(), runs.cend(), qsizetype(0),
                        [](qsizetype sum, const LineRun &run) { return sum + run.entries.size(); });
    byHeadword.reserve(size_t(lineEntries));
    entries->reserve(lineEntries);
    for (LineRun &run : runs) {
        if (!run.problem.isEmpty())
            return fail(run.problemLine, run.problem);
        for (WLSourceEntry &entry : run.entries) {
            const auto [known, added] = byHeadword.try_emplace(entry.headword, entries->size());
            if (added) {
                entries->append(std::move(entry));
                continue;
            }
            WLSourceEntry &merged = (*entries)[known->second];
            merged.fragments.append(entry.fragments);
            for (const QString &look : std::as_const(entry.looks)) {
                if (!merged.looks.contains(look))
                    merged.looks.append(look);
            }
        }
        run.entries.clear();
    }
    if (entries->isEmpty())
        return fail(0, QStringLiteral("no entries"));

    // Copies last, when every entry is whole. The text after the last "#"
    // is the fragment's number, so any headword can be named.
    for (WLSourceEntry &entry : *entries) {
        for (qsizetype n = 0; n < entry.fragments.size(); ++n) {
            WLSourceFragment &fragment = entry.fragments[n];
            if (!fragment.isCopy)
                continue;
            const std::optional<QByteArray> named = texts->read(fragment.html);
            const QString target = named ? QString::fromUtf8(*named) : QString();
            const qsizetype hash = target.lastIndexOf(u'#');
            const QStringView number = QStringView(target).mid(hash + 1);
            const bool digits =
                hash > 0 && !number.isEmpty() && number.size() <= 9 &&
                std::all_of(number.begin(), number.end(), [](QChar c) { return c.isDigit(); });
            const auto known = digits ? byHeadword.find(QStringView(target).left(hash))
                                      : byHeadword.end();
            const qsizetype at = digits ? number.toInt() - 1 : -1;
            QString problem;
            if (known == byHeadword.end() || at < 0 ||
                at >= (*entries)[known->second].fragments.size())
                problem = QStringLiteral("\"sameAs\": no fragment \"%1\"").arg(target);
            else if ((*entries)[known->second].fragments[at].isCopy)
                problem = QStringLiteral("\"sameAs\": \"%1\" is itself a copy").arg(target);
            if (!problem.isEmpty())
                return fail(fragment.line, QStringLiteral("\"%1\", fragment %2: %3")
                                               .arg(entry.headword)
                                               .arg(n + 1)
                                               .arg(problem));
            const WLSourceFragment &original = (*entries)[known->second].fragments[at];
            fragment.html = original.html;
            fragment.media = original.media;
        }
    }
    return true;
}
