#include "WLPageHost.h"

#include "WLPageBridge.h"
#include "WLPageSchemeHandler.h"
#include "WLReport.h"
#include "WLWebView.h"

#include <QDir>
#include <QFile>
#include <QJSValue>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QQmlWebChannel>
#include <QQuickItem>
#include <QQuickWebEngineProfile>
#include <QQuickWindow>
#include <QWebEngineNavigationRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineScript>

namespace {

constexpr char kFn[] = "-[WLPageHost prepareView]";

// The link script and the web channel's client, once.
const QString &linkScript()
{
    static const QString script = [] {
        QFile channel(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
        QFile links(QStringLiteral(":/WLReader/page/links.js"));
        if (!channel.open(QIODevice::ReadOnly) || !links.open(QIODevice::ReadOnly))
            return QString();
        return QString::fromUtf8(channel.readAll() + "\n" + links.readAll());
    }();
    return script;
}

// The engine's settings for a page of a dictionary: no script of the
// page's, nothing local or remote beyond its own files, no plugins, no
// windows, no drops that navigate, and unknown schemes refused by the
// engine itself should anything get past the host.
const std::pair<const char *, QVariant> kSettings[] = {
    {"javascriptEnabled", false},
    {"javascriptCanOpenWindows", false},
    {"javascriptCanAccessClipboard", false},
    {"javascriptCanPaste", false},
    {"localStorageEnabled", false},
    {"localContentCanAccessRemoteUrls", false},
    {"localContentCanAccessFileUrls", false},
    {"pluginsEnabled", false},
    {"pdfViewerEnabled", false},
    {"webGLEnabled", false},
    {"accelerated2dCanvasEnabled", false},
    {"hyperlinkAuditingEnabled", false},
    {"dnsPrefetchEnabled", false},
    {"autoLoadIconsForPage", false},
    {"touchIconsEnabled", false},
    {"allowRunningInsecureContent", false},
    {"allowGeolocationOnInsecureOrigins", false},
    {"allowWindowActivationFromJavaScript", false},
    {"screenCaptureEnabled", false},
    {"webRTCPublicInterfacesOnly", true},
    {"playbackRequiresUserGesture", true},
    {"navigateOnDropEnabled", false},
    {"focusOnNavigationEnabled", false},
    // WebEngineSettings.DisallowUnknownUrlSchemes
    {"unknownUrlSchemePolicy", 1},
};

} // namespace

WLPageHost::WLPageHost(QObject *parent) : QObject(parent)
{
    mBridge = new WLPageBridge(this);
}

WLPageHost::~WLPageHost()
{
    if (WLPageSchemeHandler *handler = WLPageSchemeHandler::installed(); handler && !mName.isEmpty())
        handler->removeHost(mName);
}

void WLPageHost::setView(QQuickItem *view)
{
    if (mView == view)
        return;
    mView = view;
    Q_EMIT viewChanged();
    prepareView();
}

void WLPageHost::setWebView(WLWebView *webView)
{
    if (mWebView == webView)
        return;
    if (mWebView)
        disconnect(mWebView, nullptr, this, nullptr);
    mWebView = webView;
    if (mWebView) {
        connect(mWebView, &WLWebView::contentChanged, this, &WLPageHost::show);
        connect(mWebView, &WLWebView::fragmentRequested, this, &WLPageHost::scrollToFragment);
        connect(mWebView, &WLWebView::loadRequested, this, &WLPageHost::load);
    }
    Q_EMIT webViewChanged();
    show();
}

void WLPageHost::componentComplete()
{
    mComplete = true;
    prepareView();
    show();
}

void WLPageHost::prepareView()
{
    if (!mComplete || !mView || mPrepared)
        return;
    mPrepared = true;
    WLPageSchemeHandler *handler =
        WLPageSchemeHandler::installOn(QQuickWebEngineProfile::defaultProfile());
    if (!handler) {
        WL_REPORT(kFn, "handler == nil");
        return;
    }
    mName = handler->addHost(this);

    QObject *settings = mView->property("settings").value<QObject *>();
    if (!settings) {
        WL_REPORT(kFn, "settings == nil");
        return;
    }
    for (const auto &[name, value] : kSettings) {
        // Settings this engine does not have are left as they are.
        if (settings->metaObject()->indexOfProperty(name) >= 0 && !settings->setProperty(name, value))
            WL_REPORT(kFn, "![settings setProperty:name]");
    }

    // The link bridge runs in a world of its own, with the channel
    // published there only.
    mChannel = new QQmlWebChannel(this);
    mChannel->registerObject(QStringLiteral("viewer"), mBridge);
    mView->setProperty("webChannel", QVariant::fromValue(mChannel));
    mView->setProperty("webChannelWorld", QVariant::fromValue(quint32(QWebEngineScript::ApplicationWorld)));
    QWebEngineScript script;
    script.setName(QStringLiteral("wlreader-links"));
    script.setSourceCode(linkScript());
    // Once the page has loaded: no tap comes sooner, and the page is on
    // screen without waiting for the script world and the channel.
    script.setInjectionPoint(QWebEngineScript::Deferred);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    QObject *scripts = mView->property("userScripts").value<QObject *>();
    if (!scripts || !QMetaObject::invokeMethod(scripts, "insert", Q_ARG(QWebEngineScript, script)))
        WL_REPORT(kFn, "![userScripts insert:script]");

    watchWindow(mView->window());
    connect(mView, &QQuickItem::windowChanged, this, &WLPageHost::watchWindow);
}

QString WLPageHost::folderOf(const QUrl &contentFolder) const
{
    if (contentFolder.isLocalFile())
        return contentFolder.toLocalFile();
    if (contentFolder.scheme() == u"qrc")
        return u':' + contentFolder.path();
    return {};
}

QUrl WLPageHost::servedUrl(const QUrl &local) const
{
    if (mName.isEmpty() || !mWebView || !mWebView->isInsideContentFolder(local))
        return {};
    const QString folderPath = QDir::cleanPath(mFolder.path());
    const QString path = QDir::cleanPath(local.path());
    QUrl served;
    served.setScheme(QLatin1String(WLPageSchemeHandler::kScheme));
    served.setHost(mName);
    served.setPath(u'/' + path.mid(folderPath.size()).section(u'/', 0, -1, QString::SectionSkipEmpty));
    served.setQuery(local.query());
    served.setFragment(local.fragment());
    return served;
}

QUrl WLPageHost::localUrl(const QUrl &served) const
{
    if (served.scheme() != QLatin1String(WLPageSchemeHandler::kScheme) || served.host() != mName ||
        mFolder.isEmpty())
        return {};
    QUrl relative;
    relative.setPath(served.path(QUrl::FullyDecoded).mid(1), QUrl::DecodedMode);
    relative.setQuery(served.query());
    relative.setFragment(served.fragment());
    QUrl folder = mFolder;
    if (!folder.path().endsWith(u'/'))
        folder.setPath(folder.path() + u'/');
    return folder.resolved(relative);
}

void WLPageHost::show()
{
    if (!mPrepared || !mView || !mWebView || mWebView->contentSerial() == mRequestedSerial)
        return;
    mRequestedSerial = mWebView->contentSerial();
    mFolder = mWebView->contentFolder();
    if (WLPageSchemeHandler *handler = WLPageSchemeHandler::installed())
        handler->setFolder(mName, folderOf(mFolder));
    if (!mWebView->html().isEmpty() || mWebView->url().isEmpty()) {
        const QUrl base = mWebView->baseUrl().isEmpty() ? QUrl() : servedUrl(mWebView->baseUrl());
        QMetaObject::invokeMethod(mView, "loadHtml", Q_ARG(QString, mWebView->html()), Q_ARG(QUrl, base));
        return;
    }
    const QUrl url = servedUrl(mWebView->url());
    if (url.isEmpty()) {
        WL_REPORT("-[WLPageHost show]", "url == nil");
        return;
    }
    mView->setProperty("url", url);
}

void WLPageHost::scrollToFragment(const QString &fragment)
{
    if (!mView)
        return;
    const QString target = QString::fromUtf8(
        QJsonDocument(QJsonArray{u'#' + fragment}).toJson(QJsonDocument::Compact));
    QMetaObject::invokeMethod(mView, "runJavaScript",
                              Q_ARG(QString, QStringLiteral("location.hash = %1[0]").arg(target)),
                              Q_ARG(quint32, quint32(QWebEngineScript::ApplicationWorld)),
                              Q_ARG(QJSValue, QJSValue()));
}

void WLPageHost::load(const QUrl &local)
{
    const QUrl served = servedUrl(local);
    if (!mView || served.isEmpty())
        return;
    // A file the folder does not have would put the engine's error page
    // where the entry was.
    if (!WLPageSchemeHandler::resolve(folderOf(mFolder), served.path(QUrl::FullyDecoded))) {
        WL_REPORT_PREFIX("-[WLPageHost load:]");
        wlReportMessage("A link to %s names no file of the page's folder\n",
                        qUtf8Printable(local.toDisplayString().left(160)));
        return;
    }
    mView->setProperty("url", served);
}

void WLPageHost::navigationRequested(QObject *object)
{
    auto *request = qobject_cast<QWebEngineNavigationRequest *>(object);
    if (!request)
        return;
    // The host's own loads are the only ones the engine calls typed.
    if (request->navigationType() == QWebEngineNavigationRequest::TypedNavigation) {
        request->accept();
        return;
    }
    int kind = WLWebView::Other;
    switch (request->navigationType()) {
    case QWebEngineNavigationRequest::LinkClickedNavigation:
        kind = userJustActed() ? WLWebView::LinkClicked : WLWebView::Other;
        break;
    case QWebEngineNavigationRequest::FormSubmittedNavigation:
        kind = WLWebView::FormSubmitted;
        break;
    case QWebEngineNavigationRequest::BackForwardNavigation:
        kind = WLWebView::BackForward;
        break;
    case QWebEngineNavigationRequest::ReloadNavigation:
        kind = WLWebView::Reload;
        break;
    default:
        break;
    }
    const QUrl served = request->url();
    const QUrl local = localUrl(served);
    const bool load = mWebView &&
                      mWebView->shouldStartLoad(local.isEmpty() ? served : local, kind,
                                                request->isMainFrame());
    // What loads here is always one of the page's own files.
    if (load && !local.isEmpty())
        request->accept();
    else
        request->reject();
}

void WLPageHost::newWindowRequested(QObject *object)
{
    // A tapped link that names another window is a tapped link.
    auto *request = qobject_cast<QWebEngineNewWindowRequest *>(object);
    if (!request || !mWebView)
        return;
    const QUrl served = request->requestedUrl();
    const QUrl local = localUrl(served);
    const int kind = request->isUserInitiated() && userJustActed() ? WLWebView::LinkClicked
                                                                   : WLWebView::Other;
    if (mWebView->shouldStartLoad(local.isEmpty() ? served : local, kind) && !local.isEmpty())
        load(local);
}

void WLPageHost::fileDialogRequested(QObject *request)
{
    // A page has no business with the user's files.
    if (!request)
        return;
    request->setProperty("accepted", true);
    QMetaObject::invokeMethod(request, "dialogReject");
}

void WLPageHost::loadingChanged(const QWebEngineLoadingInfo &info)
{
    if (!mWebView)
        return;
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        mWebView->loadFinished(mRequestedSerial, true);
        break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        mWebView->loadFinished(mRequestedSerial, false);
        break;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        // A refused navigation of the page's stops its load where it was;
        // one of ours stops only because a newer one of ours began.
        if (info.url().scheme() != u"data" && localUrl(info.url()).isEmpty())
            mWebView->loadFinished(mRequestedSerial, false);
        break;
    default:
        break;
    }
}

void WLPageHost::linkActivated(const QString &href, const QUrl &url)
{
    if (!mWebView || !userJustActed())
        return;
    const QUrl local = localUrl(url);
    mWebView->linkActivated(local.isEmpty() ? url : local, href.startsWith(u'#'));
}

void WLPageHost::requestBlocked(const QUrl &url)
{
    if (mWebView)
        mWebView->requestBlocked(url);
}

void WLPageHost::watchWindow(QQuickWindow *window)
{
    if (mWindow)
        mWindow->removeEventFilter(this);
    mWindow = window;
    if (mWindow)
        mWindow->installEventFilter(this);
}

bool WLPageHost::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != mWindow || !mView)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::TouchEnd: {
        const auto *pointer = static_cast<QPointerEvent *>(event);
        const QPointF at = pointer->points().isEmpty() ? QPointF() : pointer->points().constFirst().scenePosition();
        if (mView->isVisible() && mView->contains(mView->mapFromScene(at)))
            mSinceGesture.start();
        break;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        QQuickItem *focus = mWindow->activeFocusItem();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && focus &&
            (focus == mView || mView->isAncestorOf(focus)))
            mSinceGesture.start();
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool WLPageHost::userJustActed() const
{
    return mSinceGesture.isValid() && mSinceGesture.elapsed() <= kGestureWindowMs;
}
