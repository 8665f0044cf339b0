#include "WLPageRequestInterceptor.h"

#include "WLPageHost.h"
#include "WLPageSchemeHandler.h"

#include <QPointer>
#include <QWebEngineUrlRequestInfo>

WLPageRequestInterceptor::WLPageRequestInterceptor(WLPageSchemeHandler *handler, QObject *parent)
    : QWebEngineUrlRequestInterceptor(parent), mHandler(handler)
{
}

bool WLPageRequestInterceptor::isAllowed(const QUrl &url)
{
    const QString scheme = url.scheme();
    return scheme == QLatin1String(WLPageSchemeHandler::kScheme) || scheme == u"data";
}

void WLPageRequestInterceptor::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    const QUrl url = info.requestUrl();
    if (isAllowed(url))
        return;
    info.block(true);
    const QString pageHost = info.firstPartyUrl().host();
    QMetaObject::invokeMethod(
        mHandler,
        [handler = QPointer(mHandler), pageHost, url] {
            // A page without a host (the blank page) asks for nothing.
            if (WLPageHost *host = handler ? handler->hostNamed(pageHost) : nullptr)
                host->requestBlocked(url);
        },
        Qt::QueuedConnection);
}
