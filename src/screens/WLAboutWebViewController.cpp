#include "WLAboutWebViewController.h"

#include "WLApplication.h"
#include "WLReport.h"
#include "WLResources.h"

WLAboutWebViewController::WLAboutWebViewController(QObject *parent)
    : WLViewController(QStringLiteral("PageScreen"), parent)
{
}

WLAboutWebViewController::~WLAboutWebViewController()
{
    if (mWebView)
        mWebView->setDelegate(nullptr);
}

void WLAboutWebViewController::loadView()
{
    mWebView = new WLWebView(true, this);
    mWebView->setDelegate(this);
}

bool WLAboutWebViewController::webViewShouldStartLoadWithRequest(WLWebView *, const QUrl &url,
                                                                 int navigationType)
{
    if (navigationType != WLWebView::LinkClicked)
        return true;
    // Only plain "http": a secure address or a local page loads here.
    if (url.scheme() == u"http") {
        WLApplication::openURL(url);
        return false;
    }
    return true;
}

void WLAboutWebViewController::viewDidDisappear(bool)
{
    // Popped, not merely covered.
    if (!parentViewController())
        clearContents();
}

void WLAboutWebViewController::clearContents()
{
    static constexpr char kFn[] = "-[WLAboutWebViewController clearContents]";
    const QString name = QStringLiteral("WhitePage.html");
    if (!mWhiteHTMLData) {
        if (WLResources::pathForResource(name).isEmpty()) {
            WL_REPORT(kFn, "path == nil");
            return;
        }
        mWhiteHTMLData = WLResources::dataForResource(name);
        if (!mWhiteHTMLData) {
            WL_REPORT(kFn, "mWhiteHTMLData == nil");
            return;
        }
    }
    if (mWebView)
        mWebView->loadData(*mWhiteHTMLData, QStringLiteral("text/html"), QStringLiteral("UTF-8"), QUrl());
}
