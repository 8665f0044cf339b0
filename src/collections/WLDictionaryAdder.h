#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>

// Adds a dictionary the user has, as a file or a folder, to their installed
// dictionaries: a bundle folder is installed as it is; a dictd database
// (its .index, with the .dict or .dict.dz beside it) or a StarDict
// dictionary (its .ifo) is built into a bundle first. The work runs in
// wldict, a process of its own, so the window stays responsive and a
// hostile file can bring down only that process; its progress comes back
// line by line. Cancel stops it and leaves nothing behind: a build is
// stopped and its folder removed; an install that has begun finishes and
// the dictionary is removed again. The same dictionary (its identifier
// and title) added again replaces the user's copy under its name, keeping its
// bookmarks; a replacement that has begun is not undone.
//
// Threading: main thread only; the handlers run there.
class WLDictionaryAdder : public QObject
{
    Q_OBJECT

public:
    enum class Kind { Bundle, Dictd, StarDict };
    struct Source {
        Kind kind = Kind::Bundle;
        // The bundle folder, the .index or the .ifo.
        QString path;
        // A dictd database's data file.
        QString data;
        // The name it is installed under.
        QString name;
    };
    // What the file or folder is, or why it is not a dictionary (a line for
    // the user, naming it).
    static std::optional<Source> identify(const QString &path, QString *why);
    // The wldict program: $WLDICT, else beside the running program (also in
    // the build tree), else on the PATH; empty when there is none.
    static QString wldictProgram();

    struct Progress {
        QString phase;
        qint64 done = 0;
        // 0 when not known.
        qint64 total = 0;
    };
    struct Result {
        bool ok = false;
        bool cancelled = false;
        // The installed bundle; else why it failed.
        QString path;
        QString error;
    };

    explicit WLDictionaryAdder(QObject *parent = nullptr);
    ~WLDictionaryAdder() override;

    // False (with the reason in finished's result, at once) when it cannot
    // start; then each handler is called as the work goes.
    void start(const Source &source, std::function<void(const Progress &)> progress,
               std::function<void(const Result &)> finished);
    void cancel();
    bool isRunning() const { return mStep != Step::Idle; }

private:
    enum class Step { Idle, Building, Installing };

    void runStep(Step step, const QStringList &arguments);
    void readProgress();
    void stepFinished(int exitCode, QProcess::ExitStatus status);
    void finish(Result result);

    Source mSource;
    QString mProgram;
    Step mStep = Step::Idle;
    bool mCancelled = false;
    // Installing over the user's copy of the same dictionary.
    bool mReplacing = false;
    QString mLastError;
    QByteArray mPending;
    std::unique_ptr<QTemporaryDir> mWork;
    std::unique_ptr<QProcess> mProcess;
    std::function<void(const Progress &)> mProgress;
    std::function<void(const Result &)> mFinished;
};
