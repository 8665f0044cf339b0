#include "WLMediaWriter.h"

#include "WLBundleWriter.h"
#include "WLManifestReader.h"
#include "WLProgress.h"
#include "WLPropertyList.h"
#include "WLSourceEntry.h"
#include "WLSourceMessage.h"
#include "WLSqliteWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QVariantMap>

#include <algorithm>
#include <optional>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

const QString kManifest = QString::fromLatin1(WLManifestReader::kFileName);
const QString kMediaFile = u"media.db"_s;
const QString kDescription = u"DatabaseInfo.plist"_s;

QString manifestError(const QString &text)
{
    return wlSourceMessage(kManifest, 0, text);
}

// Table names go into the reader's SQL text unquoted, so only plain
// identifiers that are not SQL words will do.
bool isPlainIdentifier(const QString &name)
{
    if (name.isEmpty() || name.size() > 64)
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
        if (!letter && !(i > 0 && c >= u'0' && c <= u'9'))
            return false;
    }
    const QByteArray latin = name.toLatin1();
    return !sqlite3_keyword_check(latin.constData(), int(latin.size()));
}

// Every step of a destination must be a plain file name as well.
bool isPlainRelativePath(const QString &path)
{
    if (!WLManifestReader::isSafeRelativePath(path))
        return false;
    const QStringList steps = path.split(u'/');
    return std::all_of(steps.begin(), steps.end(), WLMediaWriter::isPlainFileName);
}

// The whole file; nothing after a message when it cannot be read or has
// become empty since it was listed.
std::optional<QByteArray> readMediaFile(const QString &path, const QString &shown,
                                        QString *errorMessage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *errorMessage = QStringLiteral("%1: cannot read: %2").arg(shown, file.errorString());
        return std::nullopt;
    }
    QByteArray data = file.readAll();
    if (data.isEmpty()) {
        *errorMessage = QStringLiteral("%1: a media file must not be empty").arg(shown);
        return std::nullopt;
    }
    return data;
}

} // namespace

bool WLMediaWriter::isPlainFileName(const QString &name)
{
    if (name.isEmpty() || name.startsWith(u'.'))
        return false;
    return std::all_of(name.begin(), name.end(), [](QChar c) {
        return c.isLetterOrNumber() || QStringView(u"-_.+~()").contains(c);
    });
}

bool WLMediaWriter::read(const QString &sourceDir, const QString &entriesFile,
                         const QList<WLSourceEntry> &entries, QString *errorMessage)
{
    mSourceDir = sourceDir;
    mTables.clear();
    mPreloads.clear();
    QFile file(QDir(sourceDir).filePath(kManifest));
    if (!file.open(QIODevice::ReadOnly)) {
        *errorMessage = manifestError(QStringLiteral("cannot read: %1").arg(file.errorString()));
        return false;
    }
    // The manifest reader has checked the syntax already.
    const QJsonObject manifest = QJsonDocument::fromJson(file.readAll()).object();
    if (!readTables(manifest.value(u"media"_s), errorMessage)
        || !readPreloads(manifest.value(u"preload"_s), errorMessage))
        return false;

    for (const WLSourceEntry &entry : entries) {
        for (qsizetype n = 0; n < entry.fragments.size(); ++n) {
            const WLSourceFragment &fragment = entry.fragments[n];
            for (const QString &reference : fragment.media) {
                const QString problem = checkReference(reference);
                if (!problem.isEmpty()) {
                    *errorMessage = wlSourceMessage(entriesFile, fragment.line,
                                                    QStringLiteral("\"%1\", fragment %2: media "
                                                                   "reference \"%3\": %4")
                                                        .arg(entry.headword)
                                                        .arg(n + 1)
                                                        .arg(reference, problem));
                    return false;
                }
            }
        }
    }
    return true;
}

bool WLMediaWriter::readTables(const QJsonValue &media, QString *errorMessage)
{
    if (media.isUndefined())
        return true;
    if (!media.isArray()) {
        *errorMessage = manifestError(u"\"media\" must be an array of {\"table\", \"folder\"}"_s);
        return false;
    }
    const QJsonArray list = media.toArray();
    for (const QJsonValue &value : list) {
        const QJsonObject object = value.toObject();
        Table table{object.value(u"table"_s).toString(), object.value(u"folder"_s).toString(), {}};
        if (!value.isObject() || !isPlainIdentifier(table.name)) {
            *errorMessage = manifestError(
                QStringLiteral("media table \"%1\": a table name is letters, digits and \"_\", "
                               "not starting with a digit, and no SQL word")
                    .arg(table.name));
            return false;
        }
        const bool taken = std::any_of(mTables.cbegin(), mTables.cend(), [&](const Table &t) {
            return t.name == table.name;
        });
        if (taken) {
            *errorMessage = manifestError(
                QStringLiteral("media table \"%1\" is named twice").arg(table.name));
            return false;
        }
        const QFileInfo folder(QDir(mSourceDir).filePath(table.folder));
        if (!WLManifestReader::isSafeRelativePath(table.folder) || !folder.isDir()) {
            *errorMessage = manifestError(
                QStringLiteral("media table \"%1\": \"%2\" is not a folder of the source")
                    .arg(table.name, table.folder));
            return false;
        }
        // Hidden files and subfolders are not media.
        const QFileInfoList files =
            QDir(folder.filePath()).entryInfoList(QDir::Files | QDir::NoDotAndDotDot);
        for (const QFileInfo &info : files) {
            const QString shown = table.folder + u'/' + info.fileName();
            if (!isPlainFileName(info.fileName())) {
                *errorMessage = QStringLiteral("%1: a media file name is letters, digits and "
                                               "\"-_.+~()\", not starting with \".\"")
                                    .arg(shown);
                return false;
            }
            if (info.size() == 0) {
                *errorMessage = QStringLiteral("%1: a media file must not be empty").arg(shown);
                return false;
            }
            table.files.append(info.fileName());
        }
        // Code-unit order, the same on every machine.
        std::sort(table.files.begin(), table.files.end());
        mTables.append(table);
    }
    return true;
}

bool WLMediaWriter::readPreloads(const QJsonValue &preload, QString *errorMessage)
{
    if (preload.isUndefined())
        return true;
    if (!preload.isArray()) {
        *errorMessage =
            manifestError(u"\"preload\" must be an array of {\"file\", \"destination\"}"_s);
        return false;
    }
    const QJsonArray list = preload.toArray();
    QStringList destinations;
    for (const QJsonValue &value : list) {
        const QJsonObject object = value.toObject();
        const Preload entry{object.value(u"file"_s).toString(),
                            object.value(u"destination"_s).toString()};
        if (!WLManifestReader::isSafeRelativePath(entry.file)
            || WLBundleWriter::reservedNames().contains(entry.file.section(u'/', 0, 0))
            || !QFileInfo(QDir(mSourceDir).filePath(entry.file)).isFile()) {
            *errorMessage = manifestError(
                QStringLiteral("preload \"%1\": not a file of the source the bundle may hold")
                    .arg(entry.file));
            return false;
        }
        // The reader refuses destinations outside the page directory; here
        // they are also kept free of anything a URL would have to escape.
        if (!isPlainRelativePath(entry.destination) || destinations.contains(entry.destination)) {
            *errorMessage = manifestError(
                QStringLiteral("preload \"%1\": destination \"%2\" must be a relative path of "
                               "plain file names, used once")
                    .arg(entry.file, entry.destination));
            return false;
        }
        destinations.append(entry.destination);
        mPreloads.append(entry);
    }
    return true;
}

// Empty when the reference names a file or a row of a table.
QString WLMediaWriter::checkReference(const QString &reference) const
{
    const QStringList parts = reference.split(u'/');
    if (parts.size() != 2 && parts.size() != 3)
        return u"must be \"table/file\" or \"table/file/ID\""_s;
    const auto table = std::find_if(mTables.cbegin(), mTables.cend(),
                                    [&](const Table &t) { return t.name == parts[0]; });
    if (table == mTables.cend())
        return u"no media table \"%1\""_s.arg(parts[0]);
    if (!isPlainFileName(parts[1]))
        return u"\"%1\" is not a plain file name"_s.arg(parts[1]);
    if (parts.size() == 2) {
        if (!table->files.contains(parts[1]))
            return u"no file \"%1\" in the folder \"%2\""_s.arg(parts[1], table->folder);
        return {};
    }
    bool ok = false;
    const qlonglong id = parts[2].toLongLong(&ok);
    if (!ok || id < 1 || id > table->files.size() || parts[2] != QString::number(id))
        return u"no row %1 in the table (IDs 1 to %2)"_s.arg(parts[2]).arg(table->files.size());
    return {};
}

bool WLMediaWriter::write(const QString &bundleDir, QString *errorMessage,
                          WLProgressMeter *meter) const
{
    return writeTables(bundleDir, errorMessage, meter) && copyPreloads(bundleDir, errorMessage)
        && describe(bundleDir, errorMessage);
}

bool WLMediaWriter::writeTables(const QString &bundleDir, QString *errorMessage,
                                WLProgressMeter *meter) const
{
    if (mTables.isEmpty())
        return true;
    if (meter) {
        qsizetype files = 0;
        for (const Table &table : mTables)
            files += table.files.size();
        meter->begin(QStringLiteral("writing ") + kMediaFile, files);
    }
    WLSqliteWriter db;
    if (!db.create(QDir(bundleDir).filePath(kMediaFile), errorMessage))
        return false;
    for (const Table &table : mTables) {
        // The name is a checked identifier.
        const QByteArray name = table.name.toLatin1();
        const QByteArray create = "CREATE TABLE " + name
            + "(id INTEGER PRIMARY KEY, name TEXT NOT NULL, data BLOB NOT NULL);";
        if (!db.exec(create.constData(), errorMessage))
            return false;
        const QByteArray sql = "INSERT INTO " + name + "(id, name, data) VALUES (?, ?, ?);";
        WLSqliteInsert insert(db, sql.constData(), errorMessage);
        if (!insert)
            return false;
        const QDir folder(QDir(mSourceDir).filePath(table.folder));
        for (qsizetype i = 0; i < table.files.size(); ++i) {
            const QString &fileName = table.files[i];
            const std::optional<QByteArray> data = readMediaFile(
                folder.filePath(fileName), table.folder + u'/' + fileName, errorMessage);
            if (!data)
                return false;
            insert.bind(1, qint64(i) + 1);
            insert.bind(2, fileName);
            insert.bindBlob(3, *data);
            if (!insert.run(errorMessage))
                return false;
            if (meter)
                meter->add(1);
        }
    }
    return db.finish(errorMessage);
}

bool WLMediaWriter::copyPreloads(const QString &bundleDir, QString *errorMessage) const
{
    for (const Preload &preload : mPreloads) {
        const QString target = QDir(bundleDir).filePath(preload.file);
        // The same file may be in the bundle already, as its icon or image.
        if (QFileInfo::exists(target))
            continue;
        if (!QDir().mkpath(QFileInfo(target).path())
            || !QFile::copy(QDir(mSourceDir).filePath(preload.file), target)) {
            *errorMessage = QStringLiteral("cannot copy \"%1\" into the bundle").arg(preload.file);
            return false;
        }
    }
    return true;
}

bool WLMediaWriter::describe(const QString &bundleDir, QString *errorMessage) const
{
    if (mTables.isEmpty() && mPreloads.isEmpty())
        return true;
    const QString path = QDir(bundleDir).filePath(kDescription);
    QVariantMap info = WLPropertyList::readFile(path).toMap();
    if (info.isEmpty()) {
        *errorMessage = QStringLiteral("%1: cannot read it back").arg(kDescription);
        return false;
    }
    if (!mTables.isEmpty()) {
        QVariantList tables;
        for (const Table &table : mTables) {
            tables.append(QVariantMap{{u"KXPropAdditionsDatabaseFileName"_s, kMediaFile},
                                      {u"KXPropAdditionsTableName"_s, table.name},
                                      {u"KXPropAdditionsIDColumn"_s, u"id"_s},
                                      {u"KXPropAdditionsNameColumn"_s, u"name"_s},
                                      {u"KXPropAdditionsDataColumn"_s, u"data"_s}});
        }
        info.insert(u"KXPropAdditionsDatabaseSupport"_s, true);
        info.insert(u"KXPropAdditionsTableArray"_s, tables);
    }
    if (!mPreloads.isEmpty()) {
        QVariantList preloads;
        for (const Preload &preload : mPreloads) {
            preloads.append(QVariantMap{{u"KXPropHTMLPreloadFileName"_s, preload.file},
                                        {u"KXPropHTMLPreloadDestination"_s, preload.destination}});
        }
        info.insert(u"KXPropHTMLPreloadFiles"_s, preloads);
    }
    const QByteArray data = WLPropertyList::toData(info);
    QSaveFile file(path);
    if (data.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(data) != data.size()
        || !file.commit()) {
        *errorMessage = QStringLiteral("%1: cannot write: %2").arg(kDescription, file.errorString());
        return false;
    }
    return true;
}
