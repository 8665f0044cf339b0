#include "WLWebViewController.h"

#include "WLDatabase.h"
#include "WLHistoryDataSource.h"
#include "WLReport.h"
#include "WLResources.h"

namespace {
WLWebViewController *gSharedWebViewController = nullptr;
} // namespace

WLWebViewController *WLWebViewController::sharedWebViewController()
{
    return gSharedWebViewController;
}

WLWebViewController::WLWebViewController(QObject *parent)
    : WLViewController(QStringLiteral("EntryScreen"), parent)
{
    if (!gSharedWebViewController)
        gSharedWebViewController = this;
}

WLWebViewController::~WLWebViewController()
{
    if (mWebView)
        mWebView->setDelegate(nullptr);
    if (gSharedWebViewController == this)
        gSharedWebViewController = nullptr;
}

void WLWebViewController::loadView()
{
    mWebView = new WLWebView(false, this);
    mWebView->setDelegate(this);
}

bool WLWebViewController::setCurrentContentsIDs(const std::optional<QVariantList> &contentsIDs,
                                                const QString &word, const QVariantList &links)
{
    static constexpr char kFn[] = "-[WLWebViewController setCurrentContentsIDs:word:links:]";
    if (!contentsIDs) {
        WL_REPORT(kFn, "contentsIDs == nil");
        return false;
    }
    std::optional<QByteArray> htmlData =
        mDatabase ? mDatabase->newHtmlDataForIDs(*contentsIDs, mUseLargeFont) : std::nullopt;
    if (!htmlData) {
        WL_REPORT(kFn, "htmlData == nil");
        return false;
    }
    mCurrentWord = word;
    mCurrentLinks = links;
    mCurrentContentsData = std::move(*htmlData);
    mCurrentContentsIDs = contentsIDs;
    loadPage(mCurrentContentsData);
    Q_EMIT currentEntryChanged();
    if (WLHistoryDataSource *history = WLHistoryDataSource::sharedHistory())
        history->addHistory(word, links, *contentsIDs);
    return true;
}

void WLWebViewController::loadPage(const QByteArray &htmlData)
{
    if (mWebView && mDatabase)
        mWebView->loadData(htmlData, QStringLiteral("text/html"), mDatabase->htmlEncoding(),
                           mDatabase->htmlBaseURL());
}

void WLWebViewController::clearContents()
{
    static constexpr char kFn[] = "-[WLWebViewController clearContents]";
    if (!mWhiteHTMLData) {
        if (WLResources::pathForResource(QStringLiteral("WhitePage.html")).isEmpty()) {
            WL_REPORT(kFn, "path == nil");
            return;
        }
        mWhiteHTMLData = WLResources::dataForResource(QStringLiteral("WhitePage.html"));
        if (!mWhiteHTMLData) {
            WL_REPORT(kFn, "mWhiteHTMLData == nil");
            return;
        }
    }
    if (mWebView)
        mWebView->loadData(*mWhiteHTMLData, QStringLiteral("text/html"), QStringLiteral("UTF-8"),
                           QUrl());
}

void WLWebViewController::viewDidDisappear(bool)
{
    if (!parentViewController()) {
        clearContents();
        Q_EMIT currentEntryChanged();
    }
}

bool WLWebViewController::webViewShouldStartLoadWithRequest(WLWebView *, const QUrl &, int)
{
    return true;
}
