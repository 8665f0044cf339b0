#pragma once

#include "WLViewController.h"
#include "WLWebView.h"

#include <QByteArray>

#include <optional>

// The About page. A tapped "http" link leaves for the desktop's browser;
// any other link loads in place. Blanked when popped.
class WLAboutWebViewController : public WLViewController, public WLWebViewDelegate
{
    Q_OBJECT
    Q_PROPERTY(WLWebView *webView READ webView NOTIFY viewLoadedChanged)

public:
    explicit WLAboutWebViewController(QObject *parent = nullptr);
    ~WLAboutWebViewController() override;

    WLWebView *webView() const { return mWebView; }
    void clearContents();

    bool webViewShouldStartLoadWithRequest(WLWebView *webView, const QUrl &url,
                                           int navigationType) override;

protected:
    void loadView() override;
    void viewDidDisappear(bool animated) override;

private:
    WLWebView *mWebView = nullptr;
    std::optional<QByteArray> mWhiteHTMLData;
};
