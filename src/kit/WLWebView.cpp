#include "WLWebView.h"

#include "WLApplication.h"
#include "WLCharset.h"
#include "WLReport.h"

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

// A URL for a report line: long ones (a page may pack a whole file into
// one) are cut.
QByteArray shortened(const QUrl &url)
{
    constexpr qsizetype kMaxLength = 160;
    const QString text = url.toDisplayString();
    return (text.size() <= kMaxLength ? text : text.left(kMaxLength) + u'\u2026').toUtf8();
}

// The schemes a tapped link may leave the reader by, for the desktop to open.
bool leavesForTheDesktop(const QUrl &url)
{
    const QString scheme = url.scheme();
    return (scheme == u"http" || scheme == u"https") ? !url.host().isEmpty()
                                                      : scheme == u"mailto";
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

QUrl WLWebView::contentFolder() const
{
    if (!mBaseUrl.isEmpty())
        return mBaseUrl;
    if (!mUrl.isEmpty())
        return mUrl.adjusted(QUrl::RemoveFilename | QUrl::RemoveQuery | QUrl::RemoveFragment);
    return {};
}

bool WLWebView::isInsideContentFolder(const QUrl &url) const
{
    const QUrl folder = contentFolder();
    if (folder.isEmpty() || !url.isValid() || url.scheme() != folder.scheme() ||
        url.host() != folder.host())
        return false;
    const QString folderPath = QDir::cleanPath(folder.path());
    const QString path = QDir::cleanPath(url.path());
    if (folderPath.isEmpty() || path.isEmpty())
        return false;
    return path == folderPath ||
           path.startsWith(folderPath.endsWith(u'/') ? folderPath : folderPath + u'/');
}

bool WLWebView::shouldStartLoad(const QUrl &url, int navigationType, bool mainFrame)
{
    // Frames, forms, refreshes, history steps: nothing but a tap moves a
    // page, and only the main frame's.
    if (!mainFrame || navigationType != LinkClicked) {
        requestBlocked(url);
        return false;
    }
    if (mDelegate && !mDelegate->webViewShouldStartLoadWithRequest(this, url, navigationType))
        return false;
    return follow(url);
}

bool WLWebView::follow(const QUrl &url)
{
    if (isInsideContentFolder(url))
        return true;
    // Other sites open in the desktop's programs, where the page's
    // neighbours (the link bridge, the reader's files) are out of reach.
    if (leavesForTheDesktop(url)) {
        WLApplication::openURL(url);
        return false;
    }
    WL_REPORT_PREFIX("-[WLWebView shouldStartLoad:navigationType:]");
    wlReportMessage("A link to %s was not followed: pages may open only their own files and "
                    "http, https and mailto links\n",
                    shortened(url).constData());
    return false;
}

void WLWebView::linkActivated(const QUrl &url, bool samePage)
{
    if (!shouldStartLoad(url, LinkClicked))
        return;
    if (samePage)
        Q_EMIT fragmentRequested(url.fragment());
    else
        Q_EMIT loadRequested(url);
}

void WLWebView::linkActivated(const QString &href)
{
    // The page's base is the base URL it was given, also for a page shown
    // from a file.
    const QUrl base = mBaseUrl.isEmpty() ? mUrl : mBaseUrl;
    linkActivated(base.resolved(QUrl(href)), href.startsWith(u'#'));
}

void WLWebView::requestBlocked(const QUrl &url)
{
    if (mReportedSerial == mContentSerial)
        return;
    mReportedSerial = mContentSerial;
    WL_REPORT_PREFIX("-[WLWebView requestBlocked:]");
    wlReportMessage("The page asked for %s, outside its own files; that and anything more it "
                    "asks for are blocked\n",
                    shortened(url).constData());
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
