#include "WLDatabaseMedia.h"

#include "WLDatabase.h"

#include "WLBundle.h"
#include "WLDescriptionReader.h"
#include "WLFileSystem.h"
#include "WLProperty.h"
#include "WLPropertyList.h"
#include "WLReport.h"
#include "WLText.h"

#include <QDir>
#include <QFile>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kHTMLDirectoryFn[] = "-[WLDatabase prepareHTMLDirectory]";

using WLFileSystem::PathKind;
using WLFileSystem::pathKind;

// The per-user directory that holds the page directory. The temporary
// directory is shared with every other user, so the directory must be
// ours alone: made with mode 0700, and when it already exists, a real
// directory (not a link) that we own and nobody else may write to.
QString privateDirectory(const QString &temporaryPath)
{
    const QString path = temporaryPath + QStringLiteral("/wlreader-%1").arg(::getuid());
    const QByteArray encoded = QFile::encodeName(path);
    if (::mkdir(encoded.constData(), 0700) != 0 && errno != EEXIST) {
        WL_REPORT(kHTMLDirectoryFn, "mkdir(privatePath, 0700) != 0");
        return {};
    }
    struct stat info;
    if (::lstat(encoded.constData(), &info) != 0) {
        WL_REPORT(kHTMLDirectoryFn, "lstat(privatePath) != 0");
        return {};
    }
    if (S_ISLNK(info.st_mode)) {
        WL_REPORT(kHTMLDirectoryFn, "S_ISLNK(info.st_mode)");
        return {};
    }
    if (!S_ISDIR(info.st_mode)) {
        WL_REPORT(kHTMLDirectoryFn, "!S_ISDIR(info.st_mode)");
        return {};
    }
    if (info.st_uid != ::getuid()) {
        WL_REPORT(kHTMLDirectoryFn, "info.st_uid != getuid()");
        return {};
    }
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        WL_REPORT(kHTMLDirectoryFn, "(info.st_mode & (S_IWGRP | S_IWOTH)) != 0");
        return {};
    }
    return path;
}

// Each opening has a page directory of its own in the private directory,
// "html-NAMESPACE-PID-START-XXXXXX": the owning process's ID namespace, ID
// and start time are in the name, made in the same step as the directory,
// so that no later process with the same ID, nor one in another namespace
// (a container sharing the temporary directory), is taken for the owner.
constexpr char kPageDirectoryPrefix[] = "html-";

QString pageDirectoryPrefix(quint64 pidNamespace, qint64 pid, quint64 start)
{
    return QStringLiteral("%1%2-%3-%4-")
        .arg(QLatin1String(kPageDirectoryPrefix))
        .arg(pidNamespace)
        .arg(pid)
        .arg(start);
}

// True when the name is a page directory of our namespace whose process has
// ended.
bool isLeftByEndedProcess(const QByteArray &name, quint64 pidNamespace)
{
    if (!name.startsWith(kPageDirectoryPrefix))
        return false;
    const QList<QByteArray> parts = name.mid(qsizetype(sizeof kPageDirectoryPrefix) - 1).split('-');
    if (parts.size() != 4)
        return false;
    bool namespaceOk = false;
    bool pidOk = false;
    bool startOk = false;
    const quint64 owner = parts.at(0).toULongLong(&namespaceOk);
    const qint64 pid = parts.at(1).toLongLong(&pidOk);
    const quint64 start = parts.at(2).toULongLong(&startOk);
    if (!namespaceOk || !pidOk || !startOk || pid <= 0 || owner != pidNamespace)
        return false;
    return WLFileSystem::processStartTime(pid) != start;
}

// Removes the page directories of processes that no longer run (a crash,
// a kill, or wldict page, which keeps its directory on purpose). Only our
// own private directory is searched, and nothing found there is followed.
void removePageDirectoriesOfEndedProcesses(const QString &privatePath, quint64 pidNamespace,
                                           const QString &ownPrefix)
{
    const QByteArray base = QFile::encodeName(privatePath);
    WLFileSystem::DirectoryStream directory(base);
    for (const QByteArray &name : directory.names()) {
        if (!isLeftByEndedProcess(name, pidNamespace))
            continue;
        const QByteArray path = base + '/' + name;
        struct stat info;
        if (::lstat(path.constData(), &info) != 0 || info.st_uid != ::getuid())
            continue;
        if (!S_ISDIR(info.st_mode)) {
            ::unlink(path.constData());
            continue;
        }
        // Made ours first: of two openings that find it at the same time,
        // one renames it and removes it, the other passes by. Should we end
        // half-way, the next opening finds it under our name.
        const QByteArray claimed =
            base + '/' + QFile::encodeName(ownPrefix) + name.mid(name.lastIndexOf('-') + 1) + '_';
        if (::rename(path.constData(), claimed.constData()) == 0)
            cleanupDirectoryContents(QFile::decodeName(claimed));
    }
}

// The page directory's path for the operations that build paths by hand;
// it must exist as a directory. Empty after a report.
QString existingBasePath(const QUrl &baseURL, const char *function)
{
    QString basePath = baseURL.toLocalFile();
    while (basePath.size() > 1 && basePath.endsWith(u'/'))
        basePath.chop(1);
    if (basePath.isEmpty()) {
        WL_REPORT(function, "basePath == nil");
        return {};
    }
    switch (pathKind(basePath)) {
    case PathKind::Missing:
        WL_REPORT(function, "[fm fileExistsAtPath:basePath isDirectory:&isDirectory] == NO");
        return {};
    case PathKind::Other:
        WL_REPORT(function, "isDirectory == NO");
        return {};
    case PathKind::Directory:
        break;
    }
    return basePath;
}

} // namespace

QUrl WLDatabaseMedia::htmlBaseURL() const
{
    return mDatabase.htmlBaseURL();
}

bool WLDatabaseMedia::prepare(Stage stage, const QVariantMap &info)
{
    static constexpr char kInitFn[] = "-[WLDatabase initWithPropertyListFile:]";
    if (stage != Stage::Files)
        return true;
    if (!prepareHTMLDirectory()) {
        WL_REPORT(kInitFn, "![self prepareHTMLDirectory]");
        return false;
    }
    if (!prepareDataLoader(info)) {
        WL_REPORT(kInitFn, "![self prepareDataLoader:info]");
        return false;
    }
    if (!prepareAdditionalDatabase(info)) {
        WL_REPORT(kInitFn, "![self prepareAdditionalDatabase:info]");
        return false;
    }
    return true;
}

void WLDatabaseMedia::cleanup(Stage stage)
{
    if (stage != Stage::Files)
        return;
    cleanupDataLoader(); // deletes the page directory
    cleanupAdditionalDatabase();
}

bool WLDatabaseMedia::prepareHTMLDirectory()
{
    const QString temporaryPath = QDir::tempPath();
    if (temporaryPath.isEmpty()) {
        WL_REPORT(kHTMLDirectoryFn, "temporaryPath == nil");
        return false;
    }
    const QString privatePath = privateDirectory(temporaryPath);
    if (privatePath.isEmpty())
        return false;
    // Without the namespace and start time of our own process, the living
    // cannot be told from the ended: nothing is removed then.
    const std::optional<quint64> pidNamespace = WLFileSystem::processNamespace();
    const std::optional<quint64> start = WLFileSystem::processStartTime(::getpid());
    const QString ownPrefix =
        pageDirectoryPrefix(pidNamespace.value_or(0), ::getpid(), start.value_or(0));
    if (pidNamespace && start)
        removePageDirectoriesOfEndedProcesses(privatePath, *pidNamespace, ownPrefix);
    QByteArray pathTemplate = QFile::encodeName(privatePath + u'/' + ownPrefix + QStringLiteral("XXXXXX"));
    // mkdtemp makes a new directory of mode 0700, never one that exists.
    if (::mkdtemp(pathTemplate.data()) == nullptr) {
        WL_REPORT(kHTMLDirectoryFn, "mkdtemp(pathTemplate) == NULL");
        return false;
    }
    const QString path = QFile::decodeName(pathTemplate);
    const QUrl baseURL = QUrl::fromLocalFile(path + u'/');
    if (baseURL.isEmpty()) {
        WL_REPORT(kHTMLDirectoryFn, "mHTMLBaseURL == nil");
        return false;
    }
    mDatabase.setHTMLBaseURL(baseURL);
    return true;
}

bool WLDatabaseMedia::prepareDataLoader(const QVariantMap &info)
{
    static constexpr char kFn[] = "-[WLDatabase prepareDataLoader:]";
    if (htmlBaseURL().isEmpty()) {
        WL_REPORT(kFn, "mHTMLBaseURL == nil");
        return false;
    }
    mDataLoader = WLDataLoader::initWithBaseURL(htmlBaseURL());
    if (!mDataLoader) {
        WL_REPORT(kFn, "mDataLoader == nil");
        return false;
    }
    if (WLBundle::resourcePath().isEmpty()) {
        WL_REPORT(kFn, "resourcePath == nil");
        return false;
    }
    // A preload entry that fails is reported and skipped; the others are
    // still copied. The loader refuses destinations outside the directory.
    const QVariantList preloadFiles = info.value(KXPropHTMLPreloadFiles).toList();
    for (const QVariant &entry : preloadFiles) {
        const QVariantMap preload = entry.toMap();
        const WLDescriptionReader reader(preload, kFn);
        QString fileName;
        if (!reader.readNames({{KXPropHTMLPreloadFileName, "fileName == nil", &fileName}}))
            continue;
        const QString filePath = WLBundle::pathForResource(fileName);
        if (filePath.isEmpty()) {
            WL_REPORT(kFn, "filePath == nil");
            continue;
        }
        QFile file(filePath);
        if (!file.open(QIODevice::ReadOnly)) {
            WL_REPORT(kFn, "fileData == nil");
            continue;
        }
        const QByteArray fileData = file.readAll();
        QString destinationPath;
        if (!reader.readStrings(
                    {{KXPropHTMLPreloadDestination, "destinationPath == nil", &destinationPath}}))
            continue;
        if (!mDataLoader->storeData(fileData, destinationPath))
            WL_REPORT(kFn, "![mDataLoader storeData:fileData relativePath:destinationPath]");
    }
    // The cache budget stays unlimited: media are never evicted in a run.
    return true;
}

void WLDatabaseMedia::cleanupDataLoader()
{
    mDataLoader.reset();
}

bool WLDatabaseMedia::prepareAdditionalDatabase(const QVariantMap &info)
{
    static constexpr char kFn[] = "-[WLDatabase prepareAdditionalDatabase:]";
    const QVariant support = info.value(KXPropAdditionsDatabaseSupport);
    if (!WLPropertyList::isNumber(support) || support.toDouble() == 0) {
        mAdditionSupport = false;
        return true;
    }
    const QVariant additionInfoArray = info.value(KXPropAdditionsTableArray);
    if (!WLPropertyList::isArray(additionInfoArray)) {
        WL_REPORT(kFn, "additionInfoArray == nil");
        return false;
    }
    std::vector<std::unique_ptr<WLAdditionDatabase>> additionArray;
    for (const QVariant &attributes : additionInfoArray.toList()) {
        std::unique_ptr<WLAdditionDatabase> additionDatabase =
                WLAdditionDatabase::initWithAttributes(attributes.toMap());
        if (!additionDatabase) {
            WL_REPORT(kFn, "additionDatabase == nil");
            continue;
        }
        additionArray.push_back(std::move(additionDatabase));
    }
    mAdditionSupport = true;
    mAdditionArray = std::move(additionArray);
    return true;
}

void WLDatabaseMedia::cleanupAdditionalDatabase()
{
    mAdditionArray.reset();
}

bool WLDatabaseMedia::readDataForAdditions(const QString &additions)
{
    // Every piece is tried, even after one has failed.
    bool succeeded = true;
    for (const QString &additionName : additions.split(u'\t'))
        succeeded = readDataForAdditionNamed(additionName) && succeeded;
    return succeeded;
}

bool WLDatabaseMedia::readDataForAdditionNamed(const QString &additionName)
{
    static constexpr char kFn[] = "-[WLDatabase readDataForAdditionNamed:]";
    const QStringList components = additionName.split(u'/');
    const qsizetype pathCount = components.size();
    if ((pathCount != 2) && (pathCount != 3)) {
        WL_REPORT(kFn, "(pathCount != 2) && (pathCount != 3)");
        return false;
    }
    const QString &tableName = components.at(0);
    if (tableName.isEmpty()) {
        WL_REPORT(kFn, "[tableName length] == 0");
        return false;
    }
    const QString &fileName = components.at(1);
    if (fileName.isEmpty()) {
        WL_REPORT(kFn, "[fileName length] == 0");
        return false;
    }
    // The reference comes from the dictionary's rows: "." or ".." would
    // name a place outside the table's directory.
    if (!isSafeRelativePath(additionName)) {
        WL_REPORT(kFn, "!isSafeRelativePath(additionName)");
        return false;
    }
    if (!mDataLoader) {
        WL_REPORT(kFn, "mDataLoader == nil");
        return false;
    }
    const QString relativePath = tableName + u'/' + fileName;
    // Extracted at most once per page directory; an existing file is never
    // rewritten or compared.
    if (mDataLoader->fileExistsAtRelativePath(relativePath))
        return true;

    const int contentsID = pathCount == 3 ? wlIntValue(components.at(2)) : 0;
    WLAdditionDatabase *additionDatabase = nullptr;
    if (mAdditionArray) {
        for (const std::unique_ptr<WLAdditionDatabase> &table : *mAdditionArray) {
            if (table->tableName() == tableName) {
                additionDatabase = table.get();
                break;
            }
        }
    }
    if (!additionDatabase) {
        WL_REPORT(kFn, "gotData == NO");
        return false;
    }
    QByteArray additionData;
    if (contentsID > 0) {
        // Written under the reference's file name, whatever the row's name.
        if (!additionDatabase->getData(&additionData, nullptr, contentsID)) {
            WL_REPORT(kFn, "![additionDatabase getData:&additionData name:NULL forID:contentsID]");
            WL_REPORT(kFn, "gotData == NO");
            return false;
        }
    } else if (!additionDatabase->getData(&additionData, fileName)) {
        WL_REPORT(kFn, "![additionDatabase getData:&additionData forName:fileName]");
        WL_REPORT(kFn, "gotData == NO");
        return false;
    }
    if (!mDataLoader->cacheData(additionData, relativePath)) {
        WL_REPORT(kFn, "![mDataLoader cacheData:additionData relativePath:relativePath]");
        return false;
    }
    return true;
}

QString WLDatabaseMedia::prepareDirectoryPathForTable(const QString &tableName)
{
    static constexpr char kFn[] = "-[WLDatabase prepareDirectoryPathForTable:]";
    const QString basePath = existingBasePath(htmlBaseURL(), kFn);
    if (basePath.isEmpty())
        return {};
    if (!isSafeRelativePath(tableName) || tableName.contains(u'/')) {
        WL_REPORT(kFn, "!isSafePathComponent(tableName)");
        return {};
    }
    const QString directoryPath = basePath + u'/' + tableName;
    if (!WLFileSystem::ensureDirectory(directoryPath, kFn, "!isDirectory",
                                       "![fm createDirectoryAtPath:directoryPath attributes:nil]"))
        return {};
    return directoryPath;
}

QString WLDatabaseMedia::prepareWritingPathForAdditionNamed(const QString &relativePath)
{
    static constexpr char kFn[] = "-[WLDatabase prepareWritingPathForAdditionNamed:]";
    const QString basePath = existingBasePath(htmlBaseURL(), kFn);
    if (basePath.isEmpty())
        return {};
    if (relativePath.isEmpty()) {
        WL_REPORT(kFn, "count == 0");
        return {};
    }
    if (relativePath.startsWith(u'/')) {
        WL_REPORT(kFn, "[pathComponent isEqualToString:@\"/\"]");
        return {};
    }
    if (!isSafeRelativePath(relativePath)) {
        WL_REPORT(kFn, "!isSafeRelativePath(relativePath)");
        return {};
    }
    const QStringList components = relativePath.split(u'/');
    QString path = basePath;
    for (qsizetype index = 0; index < components.size() - 1; ++index) {
        path += u'/' + components.at(index);
        if (!WLFileSystem::ensureDirectory(
                path, kFn, "isDirectory == NO",
                "[fm createDirectoryAtPath:newPath attributes:nil] == NO"))
            return {};
    }
    return path + u'/' + components.constLast();
}
