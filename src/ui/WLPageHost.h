#pragma once

#include "WLWebView.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QQmlParserStatus>
#include <QQuickItem>
#include <QQuickWindow>
#include <QString>
#include <QUrl>
#include <QWebEngineLoadingInfo>
#include <QtQml/qqml.h>

class QQmlWebChannel;
class WLPageBridge;

// Hosts one page view (a WebEngineView of the QML) for one web view model:
// the only place that knows the web engine. It shows the model's content
// under the reader's page scheme (the model's content folder becomes
// "wlpage://NAME/"), with the bundle's script off, no plugins and no local
// or remote access; it puts the link bridge in a script world of its own,
// out of the page's reach; and it turns the engine's questions into the
// model's terms (file URLs, the phone's navigation types, whether the user
// really tapped) for the model to decide.
//
// Threading: main thread only.
class WLPageHost : public QObject, public QQmlParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    QML_NAMED_ELEMENT(PageHost)
    Q_PROPERTY(QQuickItem *view READ view WRITE setView NOTIFY viewChanged)
    Q_PROPERTY(WLWebView *webView READ webView WRITE setWebView NOTIFY webViewChanged)

public:
    // A navigation counts as the user's tap only this soon after a click,
    // touch or key in the page.
    static constexpr qint64 kGestureWindowMs = 3000;

    explicit WLPageHost(QObject *parent = nullptr);
    ~WLPageHost() override;

    QQuickItem *view() const { return mView; }
    void setView(QQuickItem *view);
    WLWebView *webView() const { return mWebView; }
    void setWebView(WLWebView *webView);
    // The host name the page is served under.
    QString name() const { return mName; }

    // The page's URL for a file of the content folder, and back; empty
    // when it is not one.
    QUrl servedUrl(const QUrl &local) const;
    QUrl localUrl(const QUrl &served) const;

    // From the view (QWebEngineNavigationRequest, QWebEngineNewWindowRequest,
    // the file dialog request).
    Q_INVOKABLE void navigationRequested(QObject *request);
    Q_INVOKABLE void newWindowRequested(QObject *request);
    Q_INVOKABLE void fileDialogRequested(QObject *request);
    Q_INVOKABLE void loadingChanged(const QWebEngineLoadingInfo &info);

    // From the bridge: a tap on a link, its text as written and its URL.
    void linkActivated(const QString &href, const QUrl &url);
    // From the request interceptor.
    void requestBlocked(const QUrl &url);

    void classBegin() override {}
    void componentComplete() override;

Q_SIGNALS:
    void viewChanged();
    void webViewChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void prepareView();
    void show();
    void scrollToFragment(const QString &fragment);
    void load(const QUrl &local);
    void watchWindow(QQuickWindow *window);
    bool userJustActed() const;
    QString folderOf(const QUrl &contentFolder) const;

    QPointer<QQuickItem> mView;
    QPointer<WLWebView> mWebView;
    QPointer<QQuickWindow> mWindow;
    WLPageBridge *mBridge = nullptr;
    QQmlWebChannel *mChannel = nullptr;
    QString mName;
    QUrl mFolder;
    int mRequestedSerial = 0;
    bool mComplete = false;
    bool mPrepared = false;
    QElapsedTimer mSinceGesture;
};
