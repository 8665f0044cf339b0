#include "WLDictionaryInstaller.h"

#include "WLBundle.h"
#include "WLDatabase.h"
#include "WLDescriptionReader.h"
#include "WLDictionaryFolders.h"
#include "WLPropertyList.h"
#include "WLProperty.h"
#include "WLUserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

namespace {
const QString kDescription = QStringLiteral("DatabaseInfo.plist");

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Puts staged in place of target in one step: a rename when there is none
// yet, an exchange when there is (the old one then sits at staged).
bool putInPlace(const QString &staged, const QString &target, bool exists, QString *error)
{
    const QByteArray from = QFile::encodeName(staged);
    const QByteArray to = QFile::encodeName(target);
    const int result = exists ? ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(),
                                            RENAME_EXCHANGE)
                              : ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(),
                                            RENAME_NOREPLACE);
    if (result == 0)
        return true;
    *error = QStringLiteral("cannot put %1 in place: %2")
                 .arg(shown(target), QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}
} // namespace

bool WLDictionaryInstaller::isValidName(const QString &name)
{
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9_+-][A-Za-z0-9._+-]{0,99}$"));
    return safe.match(name).hasMatch();
}

bool WLDictionaryInstaller::opens(const QString &bundle)
{
    // The bundle's files are found through the resource path, which the
    // dictionary open in a reader needs back afterwards.
    const QString before = WLBundle::resourcePath();
    WLBundle::setResourcePath(bundle);
    std::unique_ptr<WLDatabase> database =
        WLDatabase::initWithPropertyListFile(QDir(bundle).filePath(kDescription));
    const bool ok = database != nullptr;
    if (database)
        database->invalidate();
    database.reset();
    WLBundle::setResourcePath(before);
    return ok;
}

bool WLDictionaryInstaller::copyTree(const QString &from, const QString &to, QString *error)
{
    const QDir source(from);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo entry = it.fileInfo();
        const QString target = QDir(to).filePath(source.relativeFilePath(entry.filePath()));
        // A bundle is plain files in folders; a link could reach anything.
        if (entry.isSymLink()) {
            *error = QStringLiteral("%1 is a symbolic link; a bundle holds only files and folders")
                         .arg(shown(entry.filePath()));
            return false;
        }
        if (entry.isDir()) {
            if (!QDir().mkpath(target)) {
                *error = QStringLiteral("cannot make %1").arg(shown(target));
                return false;
            }
        } else if (entry.isFile()) {
            if (!QFile::copy(entry.filePath(), target)) {
                *error = QStringLiteral("cannot copy %1").arg(shown(entry.filePath()));
                return false;
            }
        } else {
            *error = QStringLiteral("%1 is not a plain file").arg(shown(entry.filePath()));
            return false;
        }
    }
    return true;
}

WLDictionaryInstaller::Result WLDictionaryInstaller::install(const QString &sourceBundle,
                                                            const QString &requestedName,
                                                            bool replace)
{
    Result result;
    const QFileInfo source(sourceBundle);
    if (!source.isDir() || !QFileInfo(QDir(sourceBundle).filePath(kDescription)).isFile()) {
        result.error = QStringLiteral("%1: no dictionary bundle here (DatabaseInfo.plist is missing)")
                           .arg(shown(sourceBundle));
        return result;
    }
    const QString name = requestedName.isEmpty() ? source.canonicalFilePath().section(u'/', -1)
                                                 : requestedName;
    if (!isValidName(name)) {
        result.error = QStringLiteral("\"%1\" cannot name a dictionary: use letters, digits and . - _ +")
                           .arg(name);
        return result;
    }
    if (!opens(source.absoluteFilePath())) {
        result.error = QStringLiteral("%1: the dictionary cannot be opened (the reports above say why); "
                                      "nothing was installed")
                           .arg(shown(sourceBundle));
        return result;
    }
    const QString folder = WLDictionaryFolders::searchPaths().value(0);
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        result.error = QStringLiteral("cannot make the dictionaries folder %1").arg(shown(folder));
        return result;
    }
    const QString target = QDir(folder).filePath(name);
    const bool exists = QFileInfo::exists(target) || QFileInfo(target).isSymLink();
    if (exists && !replace) {
        result.error = QStringLiteral("%1 is already installed at %2; --force replaces it")
                           .arg(name, shown(target));
        return result;
    }
    // What an interrupted install of this name left goes first.
    const QStringList leftovers = QDir(folder).entryList(
        {QStringLiteral(".%1.install-*").arg(name)}, QDir::Dirs | QDir::Hidden | QDir::NoSymLinks);
    for (const QString &leftover : leftovers)
        QDir(QDir(folder).filePath(leftover)).removeRecursively();

    QTemporaryDir staging(QDir(folder).filePath(QStringLiteral(".%1.install-XXXXXX").arg(name)));
    if (!staging.isValid()) {
        result.error = QStringLiteral("cannot write in %1").arg(shown(folder));
        return result;
    }
    if (!copyTree(source.absoluteFilePath(), staging.path(), &result.error))
        return result;
    // Readable by others like any installed data; the staging folder was
    // made private.
    QFile::setPermissions(staging.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                              QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                              QFileDevice::ExeOther);
    if (!opens(staging.path())) {
        result.error = QStringLiteral("the copy in %1 does not open; nothing was installed").arg(shown(folder));
        return result;
    }
    if (!putInPlace(staging.path(), target, exists, &result.error))
        return result;
    // After an exchange the old bundle is in the staging folder, which goes.
    result.ok = true;
    result.path = target;
    return result;
}

WLDictionaryInstaller::Installed WLDictionaryInstaller::describe(const QString &bundlePath)
{
    Installed entry;
    const QString description = QDir(bundlePath).filePath(kDescription);
    entry.path = bundlePath;
    entry.name = QFileInfo(bundlePath).fileName();
    entry.identifier = wlDictionaryIdentifier(description);
    entry.title = WLPropertyList::readFile(description).toMap().value(KXPropDatabaseTitle).toString();
    entry.demo = entry.identifier == QLatin1String(kDemoIdentifier);
    const QStringList folders = WLDictionaryFolders::searchPaths();
    const QString parent = QFileInfo(bundlePath).absolutePath();
    for (qsizetype i = 0; i < folders.size() && !entry.installed; ++i) {
        if (QFileInfo(folders.at(i)).absoluteFilePath() == parent) {
            entry.installed = true;
            entry.user = i == 0;
        }
    }
    return entry;
}

QString WLDictionaryInstaller::whyNotRemovable(const Installed &dictionary)
{
    if (dictionary.demo)
        return QStringLiteral("The demo comes with WL Reader and cannot be removed.");
    if (!dictionary.installed)
        return QStringLiteral("%1 is not installed but opened where it is, in %2, which is left alone.")
            .arg(dictionary.title.isEmpty() ? dictionary.name : dictionary.title,
                 shown(QFileInfo(dictionary.path).absolutePath()));
    if (!dictionary.user)
        return QStringLiteral("%1 is installed for every user of this computer, in %2; "
                              "its package or its administrator removes it.")
            .arg(dictionary.title.isEmpty() ? dictionary.name : dictionary.title,
                 shown(QFileInfo(dictionary.path).absolutePath()));
    return {};
}

WLDictionaryInstaller::Result WLDictionaryInstaller::remove(const Installed &dictionary,
                                                           bool forgetState)
{
    Result result;
    result.error = whyNotRemovable(dictionary);
    if (!result.error.isEmpty())
        return result;
    const QFileInfo bundle(dictionary.path);
    if (!bundle.isDir() || bundle.isSymLink()) {
        result.error = QStringLiteral("%1 is not an installed dictionary").arg(shown(dictionary.path));
        return result;
    }
    // Renamed aside first, in one step: whatever happens next, the name is
    // free and nothing half-deleted is found under it. What an interrupted
    // removal left goes too.
    const QDir folder(bundle.absolutePath());
    for (const QString &leftover : folder.entryList({QStringLiteral(".*.remove-*")},
                                                    QDir::Dirs | QDir::Hidden | QDir::NoSymLinks))
        QDir(folder.filePath(leftover)).removeRecursively();
    const QString aside = folder.filePath(
        QStringLiteral(".%1.remove-%2").arg(dictionary.name).arg(QCoreApplication::applicationPid()));
    if (::renameat2(AT_FDCWD, QFile::encodeName(bundle.absoluteFilePath()).constData(), AT_FDCWD,
                    QFile::encodeName(aside).constData(), RENAME_NOREPLACE) != 0) {
        result.error = QStringLiteral("cannot remove %1: %2")
                           .arg(shown(dictionary.path), QString::fromLocal8Bit(std::strerror(errno)));
        return result;
    }
    QDir(aside).removeRecursively();
    if (forgetState) {
        const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        const QString state = QDir(base).filePath(
            QStringLiteral("WLReader/") +
            WLUserDefaults::dictionaryFolderName(dictionary.identifier, dictionary.path));
        if (!base.isEmpty() && QFileInfo(state).isDir() && !QFileInfo(state).isSymLink())
            QDir(state).removeRecursively();
    }
    result.ok = true;
    result.path = dictionary.path;
    return result;
}

QString WLDictionaryInstaller::availableName(const QString &base)
{
    QString safe;
    for (const QChar c : base) {
        if (c.isLetterOrNumber() && c.unicode() < 0x80)
            safe += c;
        else if (c == u'.' || c == u'-' || c == u'_' || c == u'+')
            safe += c;
        else if (!safe.endsWith(u'-'))
            safe += u'-';
    }
    while (safe.startsWith(u'.') || safe.startsWith(u'-'))
        safe.remove(0, 1);
    safe = safe.left(90);
    if (safe.isEmpty())
        safe = QStringLiteral("dictionary");
    const QDir folder(WLDictionaryFolders::searchPaths().value(0));
    QString name = safe;
    for (int n = 2; QFileInfo::exists(folder.filePath(name)); ++n)
        name = safe + u'-' + QString::number(n);
    return name;
}

QList<WLDictionaryInstaller::Installed> WLDictionaryInstaller::installed()
{
    QList<Installed> result;
    QStringList seen;
    const QStringList folders = WLDictionaryFolders::searchPaths();
    for (qsizetype i = 0; i < folders.size(); ++i) {
        const QDir folder(folders.at(i));
        const QStringList names = folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString &name : names) {
            const QString path = folder.filePath(name);
            const QString description = QDir(path).filePath(kDescription);
            if (!QFileInfo(description).isFile())
                continue;
            Installed entry = describe(path);
            entry.name = name;
            entry.installed = true;
            entry.user = i == 0;
            entry.shadowed = seen.contains(name);
            seen.append(name);
            result.append(entry);
        }
    }
    return result;
}
