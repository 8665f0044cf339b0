#include "WLBookmarksDataSource.h"
#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLUserDefaults.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>

#include <cmath>
#include <optional>

namespace {

QJsonArray bookmarksAsJson(const WLBookmarksDataSource &store)
{
    QJsonArray array;
    for (std::size_t i = 0; i < store.bookmarkCount(); ++i) {
        QString word, notes;
        QVariantList links, contentsIDs;
        if (!store.getBookmark(&word, &links, &notes, &contentsIDs, i))
            continue;
        QJsonObject object;
        object.insert(QStringLiteral("word"), word);
        object.insert(QStringLiteral("links"), QJsonArray::fromVariantList(links));
        object.insert(QStringLiteral("notes"), notes);
        object.insert(QStringLiteral("contentsIDs"), QJsonArray::fromVariantList(contentsIDs));
        array.append(object);
    }
    return array;
}

// Links and contents IDs hold texts and numbers only: anything else could
// not be stored in the user defaults and would cost every bookmark.
std::optional<QVariantList> referenceList(const QJsonValue &value)
{
    if (!value.isArray())
        return std::nullopt;
    QVariantList list;
    const QJsonArray array = value.toArray();
    for (const QJsonValue &item : array) {
        if (item.isString()) {
            list.append(item.toString());
        } else if (item.isDouble()) {
            // JSON has only reals; contents IDs are integers.
            const double number = item.toDouble();
            if (number == std::trunc(number) && std::fabs(number) < 9.0e15)
                list.append(qint64(number));
            else
                list.append(number);
        } else {
            return std::nullopt;
        }
    }
    return list;
}

struct ImportedBookmark {
    QString word;
    QVariantList links;
    QString notes;
    QVariantList contentsIDs;
};

// Every bookmark of the file, or nothing with a message naming the first
// one that is wrong.
std::optional<QList<ImportedBookmark>> parseBookmarks(const QByteArray &bytes, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = QStringLiteral("not JSON (%1 at offset %2)")
                     .arg(parseError.errorString())
                     .arg(parseError.offset);
        return std::nullopt;
    }
    if (!document.isArray()) {
        *error = QStringLiteral("not an array of bookmarks");
        return std::nullopt;
    }
    QList<ImportedBookmark> bookmarks;
    const QJsonArray array = document.array();
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonObject object = array.at(i).toObject();
        const QJsonValue word = object.value(QStringLiteral("word"));
        const QJsonValue notes = object.value(QStringLiteral("notes"));
        const auto links = referenceList(object.value(QStringLiteral("links")));
        const auto contentsIDs = referenceList(object.value(QStringLiteral("contentsIDs")));
        if (!array.at(i).isObject() || !word.isString() || !links || !contentsIDs
            || !(notes.isString() || notes.isUndefined())) {
            *error = QStringLiteral("bookmark %1 is not {\"word\": text, \"links\": [...], "
                                    "\"notes\": text, \"contentsIDs\": [...]}")
                         .arg(i + 1);
            return std::nullopt;
        }
        bookmarks.append({word.toString(), *links, notes.toString(), *contentsIDs});
    }
    return bookmarks;
}

class BookmarksCommand : public WLCommand
{
public:
    QString name() const override { return QStringLiteral("bookmarks"); }
    QString arguments() const override { return QStringLiteral("[export FILE | import FILE]"); }
    QString summary() const override
    {
        return QStringLiteral("list the bookmarks, or move them between machines as JSON");
    }
    QString description() const override
    {
        return QStringLiteral(
            "Lists the bookmarks, each word with its notes, as the reader's Bookmarks tab shows "
            "them. \"export FILE\" writes every bookmark to FILE as JSON (\"-\": standard "
            "output); \"import FILE\" reads such a file (\"-\": standard input) and adds each "
            "bookmark, replacing the one of the same word. A file with any bookmark that is not "
            "right changes nothing.");
    }
    QStringList examples() const override
    {
        return {QStringLiteral("wldict bookmarks"),
                QStringLiteral("wldict bookmarks export bookmarks.json"),
                QStringLiteral("wldict bookmarks import bookmarks.json")};
    }
    bool needsDictionary() const override { return false; }

    int run(WLCliContext &context, const QStringList &arguments) override
    {
        if (arguments.isEmpty())
            return list(context);
        if (arguments.size() != 2)
            return context.usage(*this, QStringLiteral("wrong number of arguments"));
        if (arguments[0] == QLatin1String("export"))
            return exportTo(context, arguments[1]);
        if (arguments[0] == QLatin1String("import"))
            return importFrom(context, arguments[1]);
        return context.usage(*this, QStringLiteral("unknown action \"%1\"").arg(arguments[0]));
    }

private:
    int list(WLCliContext &context)
    {
        const auto store = WLBookmarksDataSource::init();
        if (context.json()) {
            context.writeJson(bookmarksAsJson(*store));
            return 0;
        }
        QList<QStringList> rows;
        for (std::size_t i = 0; i < store->bookmarkCount(); ++i) {
            QString word, notes;
            if (!store->getBookmark(&word, nullptr, &notes, nullptr, i))
                continue;
            notes = notes.simplified();
            rows.append(notes.isEmpty() ? QStringList{word} : QStringList{word, notes});
        }
        context.writeTable(rows);
        return 0;
    }

    int exportTo(WLCliContext &context, const QString &path)
    {
        const auto store = WLBookmarksDataSource::init();
        const QByteArray bytes = QJsonDocument(bookmarksAsJson(*store)).toJson();
        if (path == QLatin1String("-")) {
            context.writeBytes(bytes);
            return 0;
        }
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()
            || !file.commit()) {
            return context.fail(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path),
                                                             file.errorString()));
        }
        if (!context.json())
            context.writeLine(QStringLiteral("Exported %1 bookmarks.").arg(store->bookmarkCount()));
        return 0;
    }

    int importFrom(WLCliContext &context, const QString &path)
    {
        QFile file(path);
        if (path == QLatin1String("-") ? !file.open(stdin, QIODevice::ReadOnly)
                                       : !file.open(QIODevice::ReadOnly)) {
            return context.fail(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path),
                                                             file.errorString()));
        }
        QString error;
        const auto bookmarks = parseBookmarks(file.readAll(), &error);
        if (!bookmarks)
            return context.fail(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), error));

        const auto store = WLBookmarksDataSource::init();
        QSet<QString> known;
        for (std::size_t i = 0; i < store->bookmarkCount(); ++i) {
            QString word;
            store->getBookmark(&word, nullptr, nullptr, nullptr, i);
            known.insert(word);
        }
        qsizetype added = 0;
        qsizetype replaced = 0;
        for (const ImportedBookmark &b : *bookmarks) {
            if (!store->addBookmark(b.word, b.links, b.notes, b.contentsIDs))
                return context.fail(QStringLiteral("the bookmark \"%1\" was refused").arg(b.word));
            if (known.contains(b.word)) {
                ++replaced;
            } else {
                ++added;
                known.insert(b.word);
            }
        }
        // Written now rather than at exit, so that a failure is reported.
        if (!WLUserDefaults::standardUserDefaults()->synchronize())
            return context.fail(QStringLiteral("the bookmarks could not be saved"));

        if (context.json()) {
            QJsonObject object;
            object.insert(QStringLiteral("added"), added);
            object.insert(QStringLiteral("replaced"), replaced);
            object.insert(QStringLiteral("bookmarks"), qint64(store->bookmarkCount()));
            context.writeJson(object);
        } else {
            context.writeLine(QStringLiteral("Imported %1 bookmarks: %2 new, %3 replaced.")
                                  .arg(bookmarks->size())
                                  .arg(added)
                                  .arg(replaced));
        }
        return 0;
    }
};

} // namespace

WL_REGISTER_COMMAND(BookmarksCommand)
