#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class WLPageHost;

// What the link script of an entry page may call, and all it may call: it
// lives in a script world of its own, published to that world only, where
// the page's own script (which does not run anyway) cannot reach it.
class WLPageBridge : public QObject
{
    Q_OBJECT

public:
    explicit WLPageBridge(WLPageHost *host);

    // A tap on a link: its text as written and the URL it resolves to.
    Q_INVOKABLE void activate(const QString &href, const QString &url);

private:
    QPointer<WLPageHost> mHost;
};
