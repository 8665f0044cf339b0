#pragma once

#include "WLControl.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

class WLWebView;

class WLWebViewDelegate
{
public:
    virtual ~WLWebViewDelegate() = default;
    // Asked before every navigation; false keeps the page where it is.
    virtual bool webViewShouldStartLoadWithRequest(WLWebView *webView, const QUrl &url,
                                                   int navigationType) = 0;
    virtual void webViewDidFinishLoad(WLWebView *) {}
};

// A web page on screen. The model holds what the page view shows (an HTML
// text with its base URL, or a URL) and answers the view's questions
// through its delegate; the view (a web engine) draws it.
//
// A page may show what its content folder holds (the base URL's folder, or
// the folder of the URL shown) and nothing else. Of the navigations its
// page asks for, only a tap in the main frame is considered: the delegate
// routes it, and a link it leaves to the web view loads here when it stays
// in the content folder, leaves for the desktop when it is http, https or
// mailto, and is refused otherwise. Everything else the page asks for is
// refused and reported, once per page.
//
// Threading: main thread only.
class WLWebView : public WLControl
{
    Q_OBJECT
    // What to show: html with baseUrl, or url when html is empty. The serial
    // grows with every load, also of the same content.
    Q_PROPERTY(QString html READ html NOTIFY contentChanged)
    Q_PROPERTY(QUrl baseUrl READ baseUrl NOTIFY contentChanged)
    Q_PROPERTY(QUrl url READ url NOTIFY contentChanged)
    Q_PROPERTY(int contentSerial READ contentSerial NOTIFY contentChanged)
    Q_PROPERTY(bool scalesPageToFit READ scalesPageToFit CONSTANT)
    Q_PROPERTY(int loadedSerial READ loadedSerial NOTIFY loadedSerialChanged)

public:
    // The phone's values.
    enum NavigationType {
        LinkClicked = 0,
        FormSubmitted = 1,
        BackForward = 2,
        Reload = 3,
        FormResubmitted = 4,
        Other = 5,
    };
    // The web engine takes inline pages up to this size, as a data URL.
    static constexpr qsizetype kMaxInlineBytes = 2 * 1024 * 1024;

    explicit WLWebView(bool scalesPageToFit = false, QObject *parent = nullptr);

    void setDelegate(WLWebViewDelegate *delegate) { mDelegate = delegate; }

    // Shows bytes in a charset, relative links resolving against baseURL.
    // A page too large to go inline is written into the base directory (a
    // local folder) and shown from there.
    void loadData(const QByteArray &data, const QString &mimeType, const QString &encodingName,
                  const QUrl &baseURL);
    void loadRequest(const QUrl &url);

    QString html() const { return mHtml; }
    QUrl baseUrl() const { return mBaseUrl; }
    QUrl url() const { return mUrl; }
    int contentSerial() const { return mContentSerial; }
    bool scalesPageToFit() const { return mScalesPageToFit; }
    // The serial of the content whose load finished last.
    int loadedSerial() const { return mLoadedSerial; }

    // The folder whose files the page may show: the base URL, else the
    // folder of the URL; empty for a page of its own (the blank page).
    QUrl contentFolder() const;
    // The content folder itself or a file below it, by whole path
    // components after "." and ".." are resolved.
    bool isInsideContentFolder(const QUrl &url) const;

    // From the view: may the page go to url? navigationType is the phone's
    // value; LinkClicked only for a tap the user made. The view's own loads
    // of what this model holds are not asked about.
    bool shouldStartLoad(const QUrl &url, int navigationType, bool mainFrame = true);
    // A tap on a link that the view hands over instead of following it:
    // routed like any tapped link; when the delegate leaves it to the web
    // view, a place in the page shown (samePage: the link was "#…") is
    // scrolled to, and another file of the content folder loaded.
    void linkActivated(const QUrl &url, bool samePage);
    // The same for a link as written in the page ("#25").
    void linkActivated(const QString &href);
    // A request of the page for something outside its content folder (a
    // picture, a style sheet, a frame), which the view did not make.
    void requestBlocked(const QUrl &url);
    Q_INVOKABLE void loadFinished(int serial, bool ok);

Q_SIGNALS:
    void contentChanged();
    void loadedSerialChanged();
    // The view scrolls its page to a fragment.
    void fragmentRequested(const QString &fragment);
    // The view shows another file of the content folder in place.
    void loadRequested(const QUrl &url);

private:
    void show(const QString &html, const QUrl &baseUrl, const QUrl &url);
    // A tapped link the delegate left to the web view.
    bool follow(const QUrl &url);

    // The serial of the page whose blocked requests have been reported.
    int mReportedSerial = 0;

    WLWebViewDelegate *mDelegate = nullptr;
    bool mScalesPageToFit;
    QString mHtml;
    QUrl mBaseUrl;
    QUrl mUrl;
    int mContentSerial = 0;
    int mLoadedSerial = 0;
};
