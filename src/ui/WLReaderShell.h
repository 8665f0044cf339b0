#pragma once

#include "WLDictionaryHost.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QQuickWindow>
#include <QSize>
#include <QString>

#include <memory>

class QQmlApplicationEngine;
class WLAppDelegate;
class WLColorScheme;
class WLInputMode;
class WLFileChooser;
class WLInstanceChannel;
class WLReaderApp;
class WLReaderSettings;
class WLScreenViews;
class WLSignalWatcher;

// The reader's window around the application delegate: builds the
// controllers, shows them through QML, and runs the stop sequence once,
// whether the window is closed or the process is asked to end by a signal.
// Another dictionary opens in the same window: the stop sequence for the
// one open, then the start sequence for the other, each with its own
// saved state.
//
// Threading: main thread only.
class WLReaderShell : public QObject, public WLDictionaryHost
{
    Q_OBJECT

public:
    struct Options {
        // The dictionary as given: a bundle folder or an installed name; empty
        // for $WL_DICTIONARY, else the one used last, else the demo.
        QString dictionaryPath;
        // Offscreen pictures of each tab go here, then the reader ends.
        QString screenshotDirectory;
        // A word to look up once the window is there.
        QString word;
        // The window's size; empty for the phone's default.
        QSize windowSize;
        // Start-up milestones on standard error.
        bool verbose = false;
        // The stop sequence ends the event loop (not when a test drives
        // the window).
        bool quitWhenStopped = true;
    };

    // Before the application object: the web engine's start-up settings
    // (as root, Chromium's sandbox cannot start and is turned off, said
    // once on standard error) and the renderer the window draws with.
    static void prepareApplication();

    // True when Chromium runs inside this process (the reader's default,
    // or the user's flags ask for it). Its teardown at exit can then hang or
    // crash, so the program ends without it once its state is saved.
    static bool webEngineInOneProcess();

    explicit WLReaderShell(QObject *parent = nullptr);
    ~WLReaderShell() override;

    // False when the window could not be made (the QML did not load).
    bool start(const Options &options);
    // The stop sequence, once; then the event loop ends.
    void terminate();

    WLAppDelegate *appDelegate() const { return mAppDelegate.get(); }
    WLReaderApp *app() const { return mApp.get(); }

    // WLDictionaryHost: the switch runs once the event that asked for it
    // has been handled (it replaces the screens that asked).
    QString openDictionaryPath() const override { return mBundle; }
    void openDictionary(const QString &bundlePath) override;
    void chooseDictionaryToAdd() override;
    QQuickWindow *window() const { return mWindow; }
    QQmlApplicationEngine *engine() const { return mEngine.get(); }
    WLScreenViews *screenViews() const { return mScreenViews.get(); }
    WLColorScheme *colorScheme() const { return mColorScheme.get(); }

Q_SIGNALS:
    // The window's first frame is on screen.
    void firstFrameShown();

protected:
    // Closing the window ends the reader like a signal does.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void registerTypes();
    // The start sequence on a bundle folder, and its socket.
    void openBundle(const QString &bundle);
    void switchDictionary(const QString &bundlePath);
    void listen();
    void milestone(const char *what);
    void warmUpWebEngine();
    void takeScreenshots();
    void takeScreenshot(int index);

    Options mOptions;
    void lookUp(const QString &word);
    void restoreWindowFrame();
    void fitWindowToScreen();
    void saveWindowFrame();

    std::unique_ptr<WLReaderSettings> mSettings;
    QString mBundle;
    std::unique_ptr<WLReaderApp> mApp;
    std::unique_ptr<WLFileChooser> mFileChooser;
    std::unique_ptr<WLAppDelegate> mAppDelegate;
    std::unique_ptr<QQmlApplicationEngine> mEngine;
    std::unique_ptr<WLScreenViews> mScreenViews;
    std::unique_ptr<WLSignalWatcher> mSignalWatcher;
    std::unique_ptr<WLInstanceChannel> mChannel;
    std::unique_ptr<WLColorScheme> mColorScheme;
    std::unique_ptr<WLInputMode> mInputMode;
    QPointer<QQuickWindow> mWindow;
    // The same window as the event filter sees it.
    QPointer<QObject> mWindowObject;
    QElapsedTimer mClock;
    bool mTerminated = false;
    bool mWebEngineStarted = false;
};
