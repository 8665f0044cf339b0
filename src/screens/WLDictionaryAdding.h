#pragma once

#include "WLDictionaryAdder.h"

#include <QPointer>
#include <QString>

class WLDictionaryHost;
class WLProgressViewController;
class WLViewController;

// Adding a dictionary the user chose or dropped on the window: a plain
// message naming the file when it is not one; else a box with the progress
// and Cancel while it is built and installed, and then the new dictionary
// opens, or a message says why it could not be added.
//
// Threading: main thread only.
class WLDictionaryAdding
{
public:
    explicit WLDictionaryAdding(WLDictionaryHost *host) : mHost(host) {}

    // The box and the messages go over presenter.
    void add(const QString &path, WLViewController *presenter);
    bool isAdding() const { return mAdder.isRunning(); }

private:
    void finished(const WLDictionaryAdder::Result &result);
    void tell(const QString &message);

    WLDictionaryHost *mHost;
    WLDictionaryAdder mAdder;
    QPointer<WLViewController> mPresenter;
    QPointer<WLProgressViewController> mProgress;
};
