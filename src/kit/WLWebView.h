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

    // From the view.
    Q_INVOKABLE bool shouldStartLoad(const QUrl &url, int navigationType);
    // A tap on a same-document link ("#25"), which the engine does not ask
    // about: routed like any tapped link; followed in the page when the
    // delegate leaves it.
    Q_INVOKABLE void linkActivated(const QString &href);
    Q_INVOKABLE void loadFinished(int serial, bool ok);

Q_SIGNALS:
    void contentChanged();
    void loadedSerialChanged();
    // The view scrolls its page to a fragment.
    void fragmentRequested(const QString &fragment);

private:
    void show(const QString &html, const QUrl &baseUrl, const QUrl &url);

    WLWebViewDelegate *mDelegate = nullptr;
    bool mScalesPageToFit;
    QString mHtml;
    QUrl mBaseUrl;
    QUrl mUrl;
    int mContentSerial = 0;
    int mLoadedSerial = 0;
};
