#include "WLPageBridge.h"

#include "WLPageHost.h"

WLPageBridge::WLPageBridge(WLPageHost *host) : QObject(host), mHost(host) {}

void WLPageBridge::activate(const QString &href, const QString &url)
{
    if (mHost)
        mHost->linkActivated(href, QUrl(url));
}
