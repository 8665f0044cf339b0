#include "WLPageSchemeHandler.h"

#include "WLPageHost.h"
#include "WLPageRequestInterceptor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QQuickWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace {

WLPageSchemeHandler *sInstalled = nullptr;

// The types a dictionary's page is made of, by extension; anything else
// goes as bytes, which the engine neither shows nor runs.
QByteArray contentType(const QString &path)
{
    static const QHash<QString, QByteArray> types{
        {QStringLiteral("html"), "text/html"},       {QStringLiteral("htm"), "text/html"},
        {QStringLiteral("xhtml"), "application/xhtml+xml"},
        {QStringLiteral("css"), "text/css"},         {QStringLiteral("txt"), "text/plain"},
        {QStringLiteral("png"), "image/png"},        {QStringLiteral("jpg"), "image/jpeg"},
        {QStringLiteral("jpeg"), "image/jpeg"},      {QStringLiteral("gif"), "image/gif"},
        {QStringLiteral("webp"), "image/webp"},      {QStringLiteral("bmp"), "image/bmp"},
        {QStringLiteral("ico"), "image/x-icon"},     {QStringLiteral("svg"), "image/svg+xml"},
        {QStringLiteral("wav"), "audio/wav"},        {QStringLiteral("ogg"), "audio/ogg"},
        {QStringLiteral("oga"), "audio/ogg"},        {QStringLiteral("mp3"), "audio/mpeg"},
        {QStringLiteral("aif"), "audio/aiff"},       {QStringLiteral("aiff"), "audio/aiff"},
        {QStringLiteral("woff"), "font/woff"},       {QStringLiteral("woff2"), "font/woff2"},
        {QStringLiteral("ttf"), "font/ttf"},         {QStringLiteral("otf"), "font/otf"},
    };
    return types.value(QFileInfo(path).suffix().toLower(), "application/octet-stream");
}

} // namespace

void WLPageSchemeHandler::registerScheme()
{
    if (!QWebEngineUrlScheme::schemeByName(kScheme).name().isEmpty())
        return;
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Secure, so the engine's own rules keep plain http out of the page
    // too; not local, so no file access comes with it.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

WLPageSchemeHandler *WLPageSchemeHandler::installOn(QQuickWebEngineProfile *profile)
{
    if (sInstalled || !profile)
        return sInstalled;
    auto *handler = new WLPageSchemeHandler(profile);
    profile->installUrlSchemeHandler(kScheme, handler);
    profile->setUrlRequestInterceptor(new WLPageRequestInterceptor(handler, profile));
    sInstalled = handler;
    return handler;
}

WLPageSchemeHandler *WLPageSchemeHandler::installed()
{
    return sInstalled;
}

WLPageSchemeHandler::WLPageSchemeHandler(QObject *parent) : QWebEngineUrlSchemeHandler(parent) {}

QString WLPageSchemeHandler::addHost(WLPageHost *host)
{
    const QString name = QStringLiteral("page%1").arg(++mLastHostNumber);
    mHosts.insert(name, Host{host, {}});
    return name;
}

void WLPageSchemeHandler::setFolder(const QString &name, const QString &folder)
{
    const auto it = mHosts.find(name);
    if (it != mHosts.end())
        it->folder = folder;
}

void WLPageSchemeHandler::removeHost(const QString &name)
{
    mHosts.remove(name);
}

WLPageHost *WLPageSchemeHandler::hostNamed(const QString &name) const
{
    return mHosts.value(name).host;
}

std::optional<QString> WLPageSchemeHandler::resolve(const QString &folder, const QString &urlPath)
{
    if (folder.isEmpty() || !urlPath.startsWith(u'/') || urlPath.contains(QChar(0)))
        return std::nullopt;
    QStringList parts;
    for (const QString &part : urlPath.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u"..")
            return std::nullopt;
        if (part != u".")
            parts.append(part);
    }
    if (parts.isEmpty())
        return std::nullopt;
    // Resources have no links; a folder on disk is compared by its real
    // path, so a link inside it cannot point out.
    const bool resource = folder.startsWith(u':');
    const QString root = resource ? QDir::cleanPath(folder) : QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty())
        return std::nullopt;
    const QFileInfo file(root + u'/' + parts.join(u'/'));
    if (!file.isFile())
        return std::nullopt;
    if (resource)
        return file.filePath();
    const QString real = file.canonicalFilePath();
    if (real.isEmpty() || !real.startsWith(root.endsWith(u'/') ? root : root + u'/'))
        return std::nullopt;
    return real;
}

void WLPageSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QUrl url = job->requestUrl();
    const auto host = mHosts.constFind(url.host());
    if (job->requestMethod() != "GET") {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    if (host == mHosts.cend() || host->folder.isEmpty()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    // One page's files are not another's.
    const QUrl initiator = job->initiator();
    if (!initiator.isEmpty() && initiator.toString() != u"null" &&
        (initiator.scheme() != QLatin1String(kScheme) || initiator.host() != url.host())) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    const std::optional<QString> path = resolve(host->folder, url.path(QUrl::FullyDecoded));
    if (!path) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    // The job owns the file: the engine reads it after this returns.
    auto *file = new QFile(*path, job);
    if (!file->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    job->reply(contentType(*path), file);
}
