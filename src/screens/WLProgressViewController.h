#pragma once

#include "WLViewController.h"

#include <QString>

#include <functional>

// A box over the window while something long runs: what it is, the step
// it is at, a bar (indeterminate while the amount is not known) and a
// Cancel button, also Escape.
//
// Threading: main thread only.
class WLProgressViewController : public WLViewController
{
    Q_OBJECT
    Q_PROPERTY(QString step READ step NOTIFY progressChanged)
    // 0 to 1; negative while the amount is not known.
    Q_PROPERTY(double fraction READ fraction NOTIFY progressChanged)
    Q_PROPERTY(bool cancelling READ isCancelling NOTIFY progressChanged)

public:
    WLProgressViewController(const QString &title, std::function<void()> cancel,
                             QObject *parent = nullptr);

    QString step() const { return mStep; }
    double fraction() const { return mFraction; }
    bool isCancelling() const { return mCancelling; }
    void setProgress(const QString &step, qint64 done, qint64 total);

    // The button's action; once.
    Q_INVOKABLE void cancel();
    bool keyCommand(const WLKeyCommand &command) override;

Q_SIGNALS:
    void progressChanged();

private:
    std::function<void()> mCancel;
    QString mStep;
    double mFraction = -1;
    bool mCancelling = false;
};
