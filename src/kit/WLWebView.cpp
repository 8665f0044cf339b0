#include "WLWebView.h"

#include "WLCharset.h"

#include <QDir>
#include <QSaveFile>

namespace {

// The engine percent-encodes a data URL: every byte but the unreserved
// ones takes three.
qsizetype dataURLLength(const QByteArray &utf8)
{
    qsizetype length = qsizetype(sizeof "data:text/html;charset=UTF-8,");
    for (const char c : utf8) {
        const bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        length += unreserved ? 1 : 3;
    }
    return length;
}

QString decode(const QByteArray &data, const QString &encodingName)
{
    if (encodingName.isEmpty() || encodingName.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0)
        return QString::fromUtf8(data);
    if (std::optional<WLCharset> charset = WLCharset::forName(encodingName)) {
        if (std::optional<QString> text = charset->decode(data))
            return *text;
    }
    // Bytes the charset cannot read still show, as Latin-1 shows any byte.
    return QString::fromLatin1(data);
}

} // namespace

WLWebView::WLWebView(bool scalesPageToFit, QObject *parent)
    : WLControl(QStringLiteral("WebView"), parent), mScalesPageToFit(scalesPageToFit)
{
}

void WLWebView::loadData(const QByteArray &data, const QString &mimeType,
                         const QString &encodingName, const QUrl &baseURL)
{
    const QString text = mimeType.startsWith(QLatin1String("text/")) || mimeType.isEmpty()
                             ? decode(data, encodingName)
                             : QString::fromLatin1(data);
    const QByteArray utf8 = text.toUtf8();
    if (dataURLLength(utf8) <= kMaxInlineBytes || !baseURL.isLocalFile()) {
        show(text, baseURL, {});
        return;
    }
    // Two names in turn, so the page on screen is never rewritten under it.
    const QString name = mContentSerial % 2 ? QStringLiteral(".wlreader-page-a.html")
                                            : QStringLiteral(".wlreader-page-b.html");
    const QString path = QDir(baseURL.toLocalFile()).filePath(name);
    QSaveFile file(path);
    // A byte order mark tells the engine the encoding before any <meta>.
    if (file.open(QIODevice::WriteOnly) && file.write("\xEF\xBB\xBF") == 3 &&
        file.write(utf8) == utf8.size() && file.commit()) {
        show({}, baseURL, QUrl::fromLocalFile(path));
        return;
    }
    show(text.left(kMaxInlineBytes / 3), baseURL, {});
}

void WLWebView::loadRequest(const QUrl &url)
{
    show({}, {}, url);
}

void WLWebView::show(const QString &html, const QUrl &baseUrl, const QUrl &url)
{
    mHtml = html;
    mBaseUrl = baseUrl;
    mUrl = url;
    ++mContentSerial;
    Q_EMIT contentChanged();
}

bool WLWebView::shouldStartLoad(const QUrl &url, int navigationType)
{
    return !mDelegate || mDelegate->webViewShouldStartLoadWithRequest(this, url, navigationType);
}

void WLWebView::linkActivated(const QString &href)
{
    // The page's base is the base URL it was given, also for a page shown
    // from a file.
    const QUrl base = mBaseUrl.isEmpty() ? mUrl : mBaseUrl;
    const QUrl url = base.resolved(QUrl(href));
    if (shouldStartLoad(url, LinkClicked) && url.hasFragment())
        Q_EMIT fragmentRequested(url.fragment());
}

void WLWebView::loadFinished(int serial, bool ok)
{
    if (serial != mContentSerial)
        return;
    mLoadedSerial = serial;
    Q_EMIT loadedSerialChanged();
    if (ok && mDelegate)
        mDelegate->webViewDidFinishLoad(this);
}
