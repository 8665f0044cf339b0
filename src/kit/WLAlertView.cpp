#include "WLAlertView.h"

WLAlertView::WLAlertView(const QString &title, QString message, QStringList buttonTitles,
                         int cancelButtonIndex, Handler handler, QObject *parent)
    : WLViewController(QStringLiteral("AlertScreen"), parent),
      mMessage(std::move(message)),
      mButtonTitles(std::move(buttonTitles)),
      mCancelButtonIndex(cancelButtonIndex),
      mHandler(std::move(handler))
{
    setTitle(title);
    setOverlaysContent(true);
}

void WLAlertView::show(WLViewController *presenter)
{
    setParent(presenter);
    presenter->presentModalViewController(this, false);
}

void WLAlertView::tapButton(int index)
{
    if (index < 0 || index >= mButtonTitles.size() || !presentingViewController())
        return;
    // Gone first: the handler may show the next alert.
    dismissModalViewControllerAnimated(false);
    if (const Handler handler = std::exchange(mHandler, {}))
        handler(index);
    deleteLater();
}

bool WLAlertView::keyCommand(const WLKeyCommand &command)
{
    switch (command.key) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        tapButton(mCancelButtonIndex);
        return true;
    default:
        return false;
    }
}
