#include "WLReaderHandOver.h"

#include "WLDescriptionReader.h"
#include "WLInstanceChannel.h"
#include "WLReaderSettings.h"
#include "WLUserDefaults.h"

#include <QDir>

QString WLReaderHandOver::socketPathFor(const QString &bundle)
{
    const QString folder = WLUserDefaults::dictionaryFolderName(
        wlDictionaryIdentifier(QDir(bundle).filePath(QStringLiteral("DatabaseInfo.plist"))), bundle);
    return WLInstanceChannel::socketPath(folder);
}

bool WLReaderHandOver::handOver(const QString &dictionaryPath, const QString &word)
{
    const WLReaderSettings settings;
    const QString bundle = QDir(settings.dictionaryToOpen(dictionaryPath)).absolutePath();
    return WLInstanceChannel::handOver(socketPathFor(bundle), word);
}
