#include "WLReaderSettings.h"

#include "WLBundle.h"
#include "WLDictionaryFolders.h"
#include "WLUserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QVariantMap>

namespace {
const QString kLastDictionary = QStringLiteral("WLLastDictionary");
const QString kWindowFrames = QStringLiteral("WLWindowFrames");

bool isBundle(const QString &path)
{
    return !path.isEmpty() && QFileInfo(QDir(path).filePath(QStringLiteral("DatabaseInfo.plist"))).isFile();
}
} // namespace

WLReaderSettings::WLReaderSettings(const QString &path)
    : mStore(std::make_unique<WLUserDefaults>(path))
{
}

WLReaderSettings::~WLReaderSettings() = default;

QString WLReaderSettings::defaultPath()
{
    // Tests and several profiles name their own defaults file; this one
    // goes beside it.
    const QString defaults = qEnvironmentVariable("WL_DEFAULTS_FILE");
    if (!defaults.isEmpty())
        return QFileInfo(defaults).dir().filePath(QStringLiteral("reader.plist"));
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("WLReader/reader.plist"));
}

QString WLReaderSettings::dictionaryToOpen(const QString &given) const
{
    if (!given.isEmpty())
        return WLDictionaryFolders::resolve(given);
    const QString fromEnvironment = qEnvironmentVariable("WL_DICTIONARY");
    if (!fromEnvironment.isEmpty())
        return WLDictionaryFolders::resolve(fromEnvironment);
    const QString last = mStore->stringForKey(kLastDictionary);
    if (isBundle(last))
        return last;
    return WLBundle::defaultBundlePath();
}

void WLReaderSettings::setLastDictionary(const QString &bundlePath)
{
    if (isBundle(bundlePath))
        mStore->setObject(QDir(bundlePath).absolutePath(), kLastDictionary);
}

QRect WLReaderSettings::windowFrame(const QString &screenName) const
{
    const QVariantList frame = mStore->objectForKey(kWindowFrames).toMap().value(screenName).toList();
    if (frame.size() != 4)
        return {};
    const QRect rect(frame.at(0).toInt(), frame.at(1).toInt(), frame.at(2).toInt(), frame.at(3).toInt());
    return rect.isValid() ? rect : QRect();
}

void WLReaderSettings::setWindowFrame(const QString &screenName, const QRect &frame)
{
    if (screenName.isEmpty() || !frame.isValid())
        return;
    QVariantMap frames = mStore->objectForKey(kWindowFrames).toMap();
    frames.insert(screenName, QVariantList{frame.x(), frame.y(), frame.width(), frame.height()});
    mStore->setObject(frames, kWindowFrames);
}

bool WLReaderSettings::synchronize()
{
    return mStore->synchronize();
}
