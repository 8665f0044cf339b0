#include "WLEntriesReader.h"

#include "WLSourceMessage.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

bool hasLineBreakOrTab(const QString &text)
{
    return text.contains(QLatin1Char('\t')) || text.contains(QLatin1Char('\n')) ||
           text.contains(QLatin1Char('\r'));
}

// Reads one line's object into a fresh entry; the text of the problem on
// failure.
bool parseLine(const QJsonObject &object, int line, WLSourceEntry *entry, QString *problem)
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
            fragment.html = value.toString();
        } else if (value.isObject()) {
            const QJsonObject fragmentObject = value.toObject();
            for (auto it = fragmentObject.constBegin(); it != fragmentObject.constEnd(); ++it) {
                if (it.key() != u"html"_s && it.key() != u"media"_s) {
                    *problem =
                        QStringLiteral("fragment %1: unknown key \"%2\"").arg(i + 1).arg(it.key());
                    return false;
                }
            }
            if (!fragmentObject.value(u"html"_s).isString()) {
                *problem = QStringLiteral("fragment %1: \"html\" must be a string").arg(i + 1);
                return false;
            }
            fragment.html = fragmentObject.value(u"html"_s).toString();
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

} // namespace

QString WLEntriesReader::foldLook(const QString &text)
{
    return text.toLower().normalized(QString::NormalizationForm_C);
}

bool WLEntriesReader::read(const QString &path, const QString &displayName,
                           QList<WLSourceEntry> *entries, QString *errorMessage)
{
    auto fail = [&](int line, const QString &text) {
        if (errorMessage)
            *errorMessage = wlSourceMessage(displayName, line, text);
        return false;
    };

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(0, QStringLiteral("cannot read: %1").arg(file.errorString()));
    QByteArray text = file.readAll();
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);

    QHash<QString, qsizetype> byHeadword;
    int line = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        ++line;
        const QByteArray raw = text.mid(start, end - start);
        start = end + 1;
        const QByteArray trimmed = raw.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith("//"))
            continue;

        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(trimmed, &parseError);
        if (parseError.error != QJsonParseError::NoError)
            return fail(line, QStringLiteral("malformed JSON: %1").arg(parseError.errorString()));
        if (!document.isObject())
            return fail(line, QStringLiteral("expected one JSON object"));

        WLSourceEntry entry;
        QString problem;
        if (!parseLine(document.object(), line, &entry, &problem))
            return fail(line, problem);

        const auto known = byHeadword.constFind(entry.headword);
        if (known == byHeadword.constEnd()) {
            byHeadword.insert(entry.headword, entries->size());
            entries->append(std::move(entry));
            continue;
        }
        WLSourceEntry &merged = (*entries)[*known];
        merged.fragments.append(entry.fragments);
        for (const QString &look : std::as_const(entry.looks)) {
            if (!merged.looks.contains(look))
                merged.looks.append(look);
        }
    }
    if (entries->isEmpty())
        return fail(0, QStringLiteral("no entries"));
    return true;
}
