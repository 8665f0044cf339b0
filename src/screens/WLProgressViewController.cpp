#include "WLProgressViewController.h"

#include "WLLocalization.h"

WLProgressViewController::WLProgressViewController(const QString &title, std::function<void()> cancel,
                                                   QObject *parent)
    : WLViewController(QStringLiteral("ProgressScreen"), parent), mCancel(std::move(cancel))
{
    setTitle(title);
    setOverlaysContent(true);
}

void WLProgressViewController::setProgress(const QString &step, qint64 done, qint64 total)
{
    mStep = step;
    mFraction = total > 0 ? qBound(0.0, double(done) / double(total), 1.0) : -1;
    Q_EMIT progressChanged();
}

void WLProgressViewController::cancel()
{
    if (mCancelling)
        return;
    mCancelling = true;
    mStep = WLLocalization::localizedString("Dictionaries.Cancelling");
    Q_EMIT progressChanged();
    if (mCancel)
        mCancel();
}

bool WLProgressViewController::keyCommand(const WLKeyCommand &command)
{
    if (command.key != Qt::Key_Escape)
        return false;
    cancel();
    return true;
}
