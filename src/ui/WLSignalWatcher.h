#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the main thread.
// The handler only writes a byte to a pipe; everything else runs from the
// event loop.
class WLSignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit WLSignalWatcher(QObject *parent = nullptr);
    ~WLSignalWatcher() override;

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    std::unique_ptr<QSocketNotifier> mNotifier;
};
