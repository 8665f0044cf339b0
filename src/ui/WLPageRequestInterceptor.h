#pragma once

#include <QWebEngineUrlRequestInterceptor>

class WLPageSchemeHandler;

// Keeps the pages off the network and off the machine's files: a request
// of a page goes through only for the reader's page scheme and for data
// URLs. Whatever else a page asks for (a remote picture, a font, a frame,
// a form's target, a prefetch, a file:) is blocked and reported to the
// page's host, which says so once per page.
//
// Threading: the engine may ask on a thread of its own; the decision needs
// nothing but the URL, and the report goes to the main thread.
class WLPageRequestInterceptor : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT

public:
    WLPageRequestInterceptor(WLPageSchemeHandler *handler, QObject *parent = nullptr);

    static bool isAllowed(const QUrl &url);
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

private:
    // Lives on the main thread, as long as this.
    WLPageSchemeHandler *mHandler;
};
