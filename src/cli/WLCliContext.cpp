#include "WLCliContext.h"

#include "WLBundle.h"
#include "WLCommand.h"
#include "WLDatabase.h"
#include "WLDescriptionReader.h"
#include "WLTextLayout.h"
#include "WLUserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

WLCliContext::WLCliContext(QString dictionaryPath, bool json)
    : mDictionaryPath(std::move(dictionaryPath)), mJson(json),
      mOutputWidth(WLTextLayout::outputWidth())
{
    // Bookmarks and history are the chosen dictionary's own.
    if (!mDictionaryPath.isEmpty()) {
        WLUserDefaults::setDictionary(
            [description = descriptionPath()] { return wlDictionaryIdentifier(description); },
            mDictionaryPath);
    }
}

WLCliContext::~WLCliContext()
{
    // Output first, so nothing written by the shutdown interleaves with it.
    std::fflush(stdout);
}

QString WLCliContext::descriptionPath() const
{
    return QDir(mDictionaryPath).filePath(QStringLiteral("DatabaseInfo.plist"));
}

WLDatabase *WLCliContext::database()
{
    if (mOpenAttempted)
        return mDatabase.get();
    mOpenAttempted = true;
    if (mDictionaryPath.isEmpty()) {
        fail(QStringLiteral("no dictionary: give --dictionary DIR or set WL_DICTIONARY"));
        return nullptr;
    }
    if (!QFileInfo(descriptionPath()).isFile()) {
        if (!QFileInfo::exists(mDictionaryPath) && !mDictionaryPath.contains(QLatin1Char('/')))
            fail(QStringLiteral("no dictionary folder or installed dictionary \"%1\"")
                     .arg(mDictionaryPath));
        else
            fail(QStringLiteral("%1: no dictionary bundle here (DatabaseInfo.plist is missing)")
                     .arg(QDir::toNativeSeparators(mDictionaryPath)));
        return nullptr;
    }
    WLBundle::setResourcePath(QFileInfo(mDictionaryPath).absoluteFilePath());
    mDatabase = WLDatabase::initWithPropertyListFile(descriptionPath());
    if (!mDatabase)
        fail(QStringLiteral("%1: the dictionary cannot be opened")
                 .arg(QDir::toNativeSeparators(mDictionaryPath)));
    return mDatabase.get();
}

void WLCliContext::writeJson(const QJsonValue &value)
{
    QJsonDocument document;
    if (value.isArray())
        document.setArray(value.toArray());
    else
        document.setObject(value.toObject());
    writeBytes(document.toJson(QJsonDocument::Indented));
}

void WLCliContext::writeLine(const QString &text)
{
    writeBytes(text.toUtf8() + '\n');
}

void WLCliContext::writeBytes(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void WLCliContext::writeTable(const QList<QStringList> &rows, const QList<int> &rightAligned)
{
    const QStringList lines = WLTextLayout::table(rows, rightAligned, mOutputWidth);
    for (const QString &line : lines)
        writeLine(line);
}

int WLCliContext::fail(const QString &message)
{
    std::fflush(stdout);
    std::fprintf(stderr, "wldict: %s\n", message.toUtf8().constData());
    return 1;
}

int WLCliContext::usage(const WLCommand &command, const QString &message)
{
    std::fprintf(stderr, "wldict %s: %s\nusage: wldict %s %s\n",
                 command.name().toUtf8().constData(), message.toUtf8().constData(),
                 command.name().toUtf8().constData(), command.arguments().toUtf8().constData());
    return 2;
}

std::optional<int> WLCliContext::parseID(const QString &text)
{
    if (text.isEmpty() || text.size() > 10)
        return std::nullopt;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value <= 0)
        return std::nullopt;
    return value;
}
