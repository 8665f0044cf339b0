#pragma once

#include "WLViewController.h"
#include "WLWebView.h"

#include <QByteArray>
#include <QString>
#include <QVariantList>

#include <optional>

class WLDatabase;

// The one screen that shows an entry. A single shared instance serves all
// tabs: a list screen hands it an entry reference and pushes it on its
// stack. It builds the page through the dictionary, shows it with the page
// directory as base, and records the entry in the history.
class WLWebViewController : public WLViewController, public WLWebViewDelegate
{
    Q_OBJECT
    Q_PROPERTY(WLWebView *webView READ webView NOTIFY viewLoadedChanged)

public:
    // The first viewer made, until it is destroyed.
    static WLWebViewController *sharedWebViewController();

    explicit WLWebViewController(QObject *parent = nullptr);
    ~WLWebViewController() override;

    WLDatabase *database() const { return mDatabase; }
    void setDatabase(WLDatabase *database) { mDatabase = database; }
    WLWebView *webView() const { return mWebView; }

    std::optional<QString> currentWord() const { return mCurrentWord; }
    std::optional<QVariantList> currentLinks() const { return mCurrentLinks; }
    std::optional<QVariantList> currentContentsIDs() const { return mCurrentContentsIDs; }
    QByteArray currentContentsData() const { return mCurrentContentsData; }
    bool useLargeFont() const { return mUseLargeFont; }

    // Shows an entry; false (the previous one stays) when its page cannot
    // be built.
    bool setCurrentContentsIDs(const std::optional<QVariantList> &contentsIDs, const QString &word,
                               const QVariantList &links);
    // Blanks the page; the current entry stays.
    void clearContents();

    bool webViewShouldStartLoadWithRequest(WLWebView *webView, const QUrl &url,
                                           int navigationType) override;

Q_SIGNALS:
    // An entry was shown, or the viewer left its stack.
    void currentEntryChanged();

protected:
    void loadView() override;
    void viewDidDisappear(bool animated) override;

    // Loads page bytes of the dictionary's charset with the page directory
    // as base.
    void loadPage(const QByteArray &htmlData);

    bool mUseLargeFont = false;

private:
    WLDatabase *mDatabase = nullptr;
    WLWebView *mWebView = nullptr;
    std::optional<QString> mCurrentWord;
    std::optional<QVariantList> mCurrentLinks;
    std::optional<QVariantList> mCurrentContentsIDs;
    QByteArray mCurrentContentsData;
    std::optional<QByteArray> mWhiteHTMLData;
};
