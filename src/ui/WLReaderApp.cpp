#include "WLReaderApp.h"

#include "WLAppDelegate.h"
#include "WLWindow.h"

#include <QDir>
#include <QStandardPaths>

WLReaderApp::WLReaderApp(QObject *parent) : QObject(parent) {}

void WLReaderApp::setDelegate(WLAppDelegate *delegate)
{
    if (mDelegate)
        mDelegate->disconnect(this);
    mDelegate = delegate;
    if (mDelegate)
        connect(mDelegate, &WLAppDelegate::windowChanged, this, [this] {
            Q_EMIT delegateChanged();
            updateShown();
        });
    Q_EMIT delegateChanged();
    updateShown();
}

WLWindow *WLReaderApp::window() const
{
    return mDelegate ? mDelegate->window() : nullptr;
}

QString WLReaderApp::title() const
{
    return mDelegate ? mDelegate->title() : QString();
}

QString WLReaderApp::openingFailure() const
{
    return mDelegate ? mDelegate->openingFailure() : QString();
}

void WLReaderApp::updateShown()
{
    WLWindow *shownWindow = window();
    if (shownWindow)
        connect(shownWindow, &WLWindow::visibleChanged, this, &WLReaderApp::updateShown,
                Qt::UniqueConnection);
    if (mShown || !shownWindow || !shownWindow->isVisible())
        return;
    mShown = true;
    Q_EMIT shownChanged();
}

void WLReaderApp::addDictionary(const QUrl &url)
{
    if (url.isLocalFile() && mAdd)
        mAdd(url.toLocalFile());
}

void WLReaderApp::addDictionaries(const QList<QUrl> &urls)
{
    for (const QUrl &url : urls) {
        if (url.isLocalFile()) {
            addDictionary(url);
            return;
        }
    }
}

QUrl WLReaderApp::chooserFolder()
{
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return QUrl::fromLocalFile(QDir(downloads).exists() ? downloads : QDir::homePath());
}
