#include "WLUserDefaults.h"

#include "WLNotificationCenter.h"
#include "WLPropertyList.h"
#include "WLReport.h"
#include "WLText.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// Every store alive, so that the application object's teardown can write
// them all while their timers can still be stopped.
std::vector<WLUserDefaults *> &liveStores()
{
    static std::vector<WLUserDefaults *> stores;
    return stores;
}

std::unique_ptr<WLUserDefaults> &standardSlot()
{
    // The list must outlive the standard store, whose destructor at exit
    // takes itself off it: statics die in the reverse order of their making.
    liveStores();
    static std::unique_ptr<WLUserDefaults> slot;
    return slot;
}

bool sPostRoutineRegistered = false;

// The dictionary whose state the process-wide store keeps: its folder, or
// what makes it on first use.
struct DictionaryFolder {
    QString name;
    std::function<QString()> identifier;
    QString bundlePath;
};

DictionaryFolder &dictionaryFolderSlot()
{
    static DictionaryFolder folder;
    return folder;
}

QString dictionaryFolder()
{
    DictionaryFolder &folder = dictionaryFolderSlot();
    if (folder.identifier) {
        folder.name = WLUserDefaults::dictionaryFolderName(std::exchange(folder.identifier, {})(),
                                                           folder.bundlePath);
    }
    return folder.name;
}

bool isSafeFolderName(const QString &name)
{
    constexpr qsizetype kMaxLength = 64;
    if (name.isEmpty() || name.size() > kMaxLength || name.startsWith(u'.'))
        return false;
    return std::all_of(name.cbegin(), name.cend(), [](QChar c) {
        return c.isLetterOrNumber() || c == u'.' || c == u'-' || c == u'_' || c == u'+';
    });
}

// The in-memory form of a value: integers as qint64 (quint64 beyond its
// range), reals as double, lists and maps all the way down, so that a value
// reads back the same before and after it has been through the file.
std::optional<QVariant> normalized(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Double:
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::QDateTime:
    case QMetaType::LongLong:
        return value;
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::SChar:
        return QVariant(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::ULongLong: {
        const quint64 number = value.toULongLong();
        if (number <= quint64(std::numeric_limits<qint64>::max()))
            return QVariant(qint64(number));
        return QVariant(number);
    }
    case QMetaType::Float:
        return QVariant(value.toDouble());
    case QMetaType::QStringList:
    case QMetaType::QVariantList: {
        QVariantList list;
        const QVariantList items = value.toList();
        list.reserve(items.size());
        for (const QVariant &item : items) {
            auto converted = normalized(item);
            if (!converted)
                return std::nullopt;
            list.append(*converted);
        }
        return QVariant(list);
    }
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash: {
        QVariantMap map;
        const QVariantMap items = value.toMap();
        for (auto it = items.cbegin(); it != items.cend(); ++it) {
            auto converted = normalized(it.value());
            if (!converted)
                return std::nullopt;
            map.insert(it.key(), *converted);
        }
        return QVariant(map);
    }
    default:
        return std::nullopt;
    }
}

} // namespace

WLUserDefaults *WLUserDefaults::standardUserDefaults()
{
    auto &slot = standardSlot();
    if (!slot)
        slot = std::make_unique<WLUserDefaults>(defaultPath());
    return slot.get();
}

void WLUserDefaults::resetStandardUserDefaults()
{
    standardSlot().reset();
}

QString WLUserDefaults::defaultPath()
{
    const QString fromEnvironment = qEnvironmentVariable("WL_DEFAULTS_FILE");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    // One folder for the reader and wldict alike (their application names
    // differ), so that both see the same bookmarks.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty() || dictionaryFolder().isEmpty())
        return {};
    return QDir(base).filePath(QStringLiteral("WLReader/%1/defaults.plist").arg(dictionaryFolder()));
}

void WLUserDefaults::setDictionary(const QString &identifier, const QString &bundlePath)
{
    dictionaryFolderSlot() = {dictionaryFolderName(identifier, bundlePath), {}, {}};
}

void WLUserDefaults::setDictionary(std::function<QString()> identifier, const QString &bundlePath)
{
    dictionaryFolderSlot() = {{}, std::move(identifier), bundlePath};
}

QString WLUserDefaults::dictionaryFolderName(const QString &identifier, const QString &bundlePath)
{
    // The identifier comes from a bundle, which anyone can make: it is used
    // as it is or not at all, since mending it could make two dictionaries
    // share a file.
    if (isSafeFolderName(identifier))
        return identifier;
    const QFileInfo bundle(bundlePath);
    const QString canonical = bundle.canonicalFilePath();
    const QString path = canonical.isEmpty() ? bundle.absoluteFilePath() : canonical;
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256);
    // The folder's own name first, where it can be read, for whoever looks.
    QString readable;
    for (const QChar c : QFileInfo(path).fileName().left(32)) {
        if (c.isLetterOrNumber() || c == u'-' || c == u'_')
            readable += c;
    }
    return QStringLiteral("path-%1-%2").arg(readable, QString::fromLatin1(hash.toHex().left(16)));
}

WLUserDefaults::WLUserDefaults(const QString &path) : mPath(path)
{
    liveStores().push_back(this);
    load();
}

WLUserDefaults::~WLUserDefaults()
{
    std::erase(liveStores(), this);
    // Nobody is told: this may run after the notification centre is gone.
    write(false);
}

void WLUserDefaults::load()
{
    static constexpr char kFn[] = "-[WLUserDefaults initWithPath:]";
    if (mPath.isEmpty()) {
        WL_REPORT(kFn, "path == nil");
        mWritable = false;
        return;
    }
    std::optional<QByteArray> bytes;
    QString error;
    if (!readFile(&bytes, &error)) {
        WL_REPORT_PREFIX(kFn);
        wlReportMessage("Cannot read %s: %s\n", qUtf8Printable(mPath), qUtf8Printable(error));
        mWritable = false;
        return;
    }
    mFileBytes = bytes;
    if (!rebase(bytes, &mValues, &error)) {
        moveAside(error);
        mFileBytes.reset();
    }
}

bool WLUserDefaults::readFile(std::optional<QByteArray> *bytes, QString *error) const
{
    QFile file(mPath);
    if (!file.open(QIODevice::ReadOnly)) {
        // Gone is no file, not a failure: another process may have just
        // moved it aside.
        if (!file.exists()) {
            bytes->reset();
            return true;
        }
        *error = file.errorString();
        return false;
    }
    *bytes = file.readAll();
    return true;
}

bool WLUserDefaults::rebase(const std::optional<QByteArray> &bytes, QVariantMap *values,
                            QString *error) const
{
    QVariantMap stored;
    if (bytes) {
        const QVariant root = WLPropertyList::fromData(*bytes, error);
        if (!WLPropertyList::isDictionary(root)) {
            if (error->isEmpty())
                *error = QStringLiteral("not a dictionary");
            return false;
        }
        stored = root.toMap();
    }
    for (const auto &[key, edit] : mPending) {
        const QVariant value = edit(stored);
        if (!value.isValid()) {
            stored.remove(key);
        } else if (const std::optional<QVariant> normal = normalized(value)) {
            stored.insert(key, *normal);
        }
    }
    *values = std::move(stored);
    return true;
}

void WLUserDefaults::adopt(QVariantMap values, bool announce)
{
    QStringList changed;
    const auto differs = [](const QVariant &a, const QVariant &b) {
        return a.typeId() != b.typeId() || a != b;
    };
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (differs(mValues.value(it.key()), it.value()))
            changed.append(it.key());
    }
    for (auto it = mValues.cbegin(); it != mValues.cend(); ++it) {
        if (!values.contains(it.key()))
            changed.append(it.key());
    }
    mValues = std::move(values);
    if (announce && !changed.isEmpty()) {
        WLNotificationCenter::defaultCenter().postNotificationName(
            QLatin1String(WLUserDefaultsDidChangeNotification), this,
            {{QStringLiteral("keys"), changed}});
    }
}

void WLUserDefaults::moveAside(const QString &reason)
{
    static constexpr char kFn[] = "-[WLUserDefaults initWithPath:]";
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = mPath + QStringLiteral(".corrupt-") + stamp;
    for (int n = 1; QFileInfo::exists(target); ++n)
        target = mPath + QStringLiteral(".corrupt-") + stamp + u'-' + QString::number(n);
    WL_REPORT_PREFIX(kFn);
    if (QFile::rename(mPath, target)) {
        wlReportMessage("Unreadable user defaults %s (%s) moved to %s\n", qUtf8Printable(mPath),
                        qUtf8Printable(reason), qUtf8Printable(target));
    } else {
        wlReportMessage("Unreadable user defaults %s (%s) could not be moved aside; "
                        "changes will not be saved\n",
                        qUtf8Printable(mPath), qUtf8Printable(reason));
        mWritable = false;
    }
}

void WLUserDefaults::registerDefaults(const QVariantMap &defaults)
{
    static constexpr char kFn[] = "-[WLUserDefaults registerDefaults:]";
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it) {
        const auto value = normalized(it.value());
        if (!value) {
            WL_REPORT(kFn, "!isPropertyList(value)");
            continue;
        }
        mRegistered.insert(it.key(), *value);
    }
}

QVariant WLUserDefaults::objectForKey(const QString &key) const
{
    const auto it = mValues.constFind(key);
    if (it != mValues.cend())
        return *it;
    return mRegistered.value(key);
}

bool WLUserDefaults::boolForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (WLPropertyList::isNumber(value))
        return value.toDouble() != 0;
    if (WLPropertyList::isString(value)) {
        const QString text = value.toString().trimmed();
        if (text.compare(u"yes", Qt::CaseInsensitive) == 0
            || text.compare(u"true", Qt::CaseInsensitive) == 0)
            return true;
        return wlIntValue(text) != 0;
    }
    return false;
}

qint64 WLUserDefaults::integerForKey(const QString &key) const
{
    return integerValue(objectForKey(key));
}

qint64 WLUserDefaults::integerValue(const QVariant &value)
{
    if (value.typeId() == QMetaType::Double) {
        const double number = value.toDouble();
        if (std::isnan(number))
            return 0;
        // Truncated towards zero; out-of-range values saturate.
        if (number >= 9.2233720368547758e18)
            return std::numeric_limits<qint64>::max();
        if (number <= -9.2233720368547758e18)
            return std::numeric_limits<qint64>::min();
        return qint64(number);
    }
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? 1 : 0;
    if (WLPropertyList::isNumber(value))
        return value.toLongLong();
    if (WLPropertyList::isString(value))
        return wlIntValue(value.toString());
    return 0;
}

QString WLUserDefaults::stringForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (WLPropertyList::isString(value))
        return value.toString();
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 17);
    if (WLPropertyList::isNumber(value))
        return value.toString();
    return {};
}

std::optional<QVariantList> WLUserDefaults::arrayForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (!WLPropertyList::isArray(value))
        return std::nullopt;
    return value.toList();
}

void WLUserDefaults::setObject(const QVariant &value, const QString &key)
{
    static constexpr char kFn[] = "-[WLUserDefaults setObject:forKey:]";
    if (!value.isValid()) {
        removeObjectForKey(key);
        return;
    }
    const auto stored = normalized(value);
    if (!stored) {
        WL_REPORT(kFn, "!isPropertyList(value)");
        return;
    }
    const auto it = mValues.constFind(key);
    if (it != mValues.cend() && it->typeId() == stored->typeId() && *it == *stored)
        return;
    mValues.insert(key, *stored);
    // A value set replaces whatever this process did to the key before.
    std::erase_if(mPending, [&key](const auto &pending) { return pending.first == key; });
    mPending.emplace_back(key, [value = *stored](const QVariantMap &) { return value; });
    scheduleSave();
}

void WLUserDefaults::editObject(const QString &key, Edit edit)
{
    const QVariant value = edit(mValues);
    if (!value.isValid()) {
        mValues.remove(key);
    } else if (const std::optional<QVariant> stored = normalized(value)) {
        mValues.insert(key, *stored);
    } else {
        WL_REPORT("-[WLUserDefaults editObject:forKey:]", "!isPropertyList(value)");
        return;
    }
    mPending.emplace_back(key, std::move(edit));
    scheduleSave();
}

void WLUserDefaults::setBool(bool value, const QString &key)
{
    setObject(QVariant(value), key);
}

void WLUserDefaults::setInteger(qint64 value, const QString &key)
{
    setObject(QVariant(value), key);
}

void WLUserDefaults::removeObjectForKey(const QString &key)
{
    if (mValues.remove(key) == 0)
        return;
    std::erase_if(mPending, [&key](const auto &pending) { return pending.first == key; });
    mPending.emplace_back(key, [](const QVariantMap &) { return QVariant(); });
    scheduleSave();
}

bool WLUserDefaults::synchronize()
{
    return write(true);
}

bool WLUserDefaults::write(bool announce)
{
    static constexpr char kFn[] = "-[WLUserDefaults synchronize]";
    if (mSaveTimer)
        mSaveTimer->stop();
    if (mPending.empty())
        return true;
    if (!mWritable)
        return false;

    QDir().mkpath(QFileInfo(mPath).absolutePath());
    // One writer at a time: what is read here is what the write replaces.
    QLockFile lock(mPath + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockTimeoutMs)) {
        WL_REPORT_PREFIX(kFn);
        wlReportMessage("Cannot write %s: another process keeps it locked\n", qUtf8Printable(mPath));
        return false;
    }
    std::optional<QByteArray> onDisk;
    QString error;
    if (!readFile(&onDisk, &error)) {
        WL_REPORT_PREFIX(kFn);
        wlReportMessage("Cannot read %s: %s\n", qUtf8Printable(mPath), qUtf8Printable(error));
        return false;
    }
    QVariantMap values = mValues;
    // Written by another process since: its values, with this one's
    // changes made again on top.
    if (onDisk != mFileBytes && !rebase(onDisk, &values, &error)) {
        moveAside(error);
        if (!mWritable)
            return false;
        rebase(std::nullopt, &values, &error);
    }
    const QByteArray bytes = WLPropertyList::toData(values);
    if (bytes.isEmpty()) {
        WL_REPORT(kFn, "bytes == nil");
        return false;
    }
    QSaveFile file(mPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        WL_REPORT_PREFIX(kFn);
        wlReportMessage("Cannot write %s: %s\n", qUtf8Printable(mPath),
                        qUtf8Printable(file.errorString()));
        return false;
    }
    mFileBytes = bytes;
    mPending.clear();
    adopt(std::move(values), announce);
    return true;
}

void WLUserDefaults::reloadIfChanged()
{
    std::optional<QByteArray> onDisk;
    QString error;
    if (mPath.isEmpty() || !readFile(&onDisk, &error) || onDisk == mFileBytes)
        return;
    QVariantMap values;
    // A file that does not parse is kept aside when this store next
    // writes; until then what is in memory stays.
    if (!rebase(onDisk, &values, &error))
        return;
    mFileBytes = onDisk;
    adopt(std::move(values), true);
}

void WLUserDefaults::watchForChanges()
{
    if (mWatcher || mPath.isEmpty())
        return;
    const QString folder = QFileInfo(mPath).absolutePath();
    QDir().mkpath(folder);
    // The folder, since a write replaces the file by another; the file too,
    // for a program that writes it in place.
    mWatcher = std::make_unique<QFileSystemWatcher>(QStringList{folder});
    mReloadTimer = std::make_unique<QTimer>();
    mReloadTimer->setSingleShot(true);
    mReloadTimer->setInterval(kReloadDelayMs);
    const auto watchFile = [this] {
        if (!mWatcher->files().contains(mPath) && QFileInfo::exists(mPath))
            mWatcher->addPath(mPath);
    };
    watchFile();
    QObject::connect(mReloadTimer.get(), &QTimer::timeout, mReloadTimer.get(), [this, watchFile] {
        watchFile();
        reloadIfChanged();
    });
    const auto changed = [this] { mReloadTimer->start(); };
    QObject::connect(mWatcher.get(), &QFileSystemWatcher::directoryChanged, mReloadTimer.get(), changed);
    QObject::connect(mWatcher.get(), &QFileSystemWatcher::fileChanged, mReloadTimer.get(), changed);
}

void WLUserDefaults::scheduleSave()
{
    // Without an event loop on this thread the change waits for synchronize()
    // or for the store's end.
    const QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return;
    if (!mSaveTimer) {
        mSaveTimer = std::make_unique<QTimer>();
        mSaveTimer->setSingleShot(true);
        mSaveTimer->setInterval(kSaveDelayMs);
        QObject::connect(mSaveTimer.get(), &QTimer::timeout, mSaveTimer.get(),
                         [this] { synchronize(); });
        if (!sPostRoutineRegistered) {
            qAddPostRoutine(&WLUserDefaults::flushAllAtApplicationExit);
            sPostRoutineRegistered = true;
        }
    }
    // Not restarted by later changes: a steady stream of changes is still
    // written every kSaveDelayMs.
    if (!mSaveTimer->isActive())
        mSaveTimer->start();
}

void WLUserDefaults::flushAllAtApplicationExit()
{
    sPostRoutineRegistered = false;
    for (WLUserDefaults *store : liveStores()) {
        store->write(false);
        store->mSaveTimer.reset();
        store->mReloadTimer.reset();
        store->mWatcher.reset();
    }
}
