#include "WLConstants.h"
#include "WLDescriptionReader.h"
#include "WLInstanceChannel.h"
#include "WLUserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

// wlreader as a process: its command line, and ending it by a signal.
class TestWLReaderProcess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandLine_data();
    void commandLine();
    void aSignalRunsTheStopSequence_data();
    void aSignalRunsTheStopSequence();
    void aDictionaryThatDoesNotOpenStillShowsTheWindow();
    void aSecondStartHandsItsWordToTheFirst();
    void aSocketLeftByAKilledReaderDoesNotStopTheNext();
    void theWebEngineRunsWhereTheFlagsSay_data();
    void theWebEngineRunsWhereTheFlagsSay();

private:
    // Starts a reader and waits until its window is on screen.
    bool startReader(QProcess &reader, const QTemporaryDir &home, const QStringList &arguments = {});
    // A process that has already ended has the id 0, and kill(0, …) would
    // signal this test's whole process group (ctest, make).
    static void sendSignal(const QProcess &reader, int signalNumber)
    {
        if (const pid_t pid = pid_t(reader.processId()); pid > 0)
            ::kill(pid, signalNumber);
    }
    static void stop(QProcess &reader)
    {
        sendSignal(reader, SIGTERM);
        reader.waitForFinished(60000);
    }
    QProcessEnvironment environment(const QTemporaryDir &home) const;
};

QProcessEnvironment TestWLReaderProcess::environment(const QTemporaryDir &home) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    env.insert(u"TMPDIR"_s, home.path());
    env.insert(u"XDG_RUNTIME_DIR"_s, home.path());
    env.insert(u"WL_DEFAULTS_FILE"_s, home.filePath(u"defaults.plist"_s));
    env.insert(u"WL_DICTIONARY"_s, qEnvironmentVariable("WL_DEMO_BUNDLE"));
    return env;
}

void TestWLReaderProcess::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    QTest::newRow("help") << QStringList{u"--help"_s} << 0 << u"Usage: wlreader [options]"_s;
    QTest::newRow("version") << QStringList{u"--version"_s} << 0 << u"wlreader "_s;
    QTest::newRow("unknown option") << QStringList{u"--colour"_s} << 2 << u"Unknown option 'colour'"_s;
}

void TestWLReaderProcess::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QTemporaryDir home;
    QProcess reader;
    QProcessEnvironment env = environment(home);
    // Needs no display.
    env.remove(u"QT_QPA_PLATFORM"_s);
    env.remove(u"DISPLAY"_s);
    reader.setProcessEnvironment(env);
    reader.start(QStringLiteral(WLREADER), arguments);
    QVERIFY(reader.waitForFinished(30000));
    QCOMPARE(reader.exitCode(), exitCode);
    QVERIFY(QString::fromUtf8(reader.readAllStandardOutput() + reader.readAllStandardError()).contains(output));
}

void TestWLReaderProcess::aSignalRunsTheStopSequence_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestWLReaderProcess::aSignalRunsTheStopSequence()
{
    QFETCH(int, signalNumber);
    QTemporaryDir home;
    {
        // An entry open on the History tab, as a run before left it.
        WLUserDefaults defaults(home.filePath(u"defaults.plist"_s));
        defaults.setInteger(103, WLPrefLastTabTag);
        defaults.setObject(u"about"_s, WLPrefLastWord);
        defaults.setObject(QVariantList{u"about#1"_s, u"about#2"_s}, WLPrefLastLinks);
        defaults.setObject(QVariantList{u"6"_s, u"7"_s}, WLPrefLastContentsIDs);
        QVERIFY(defaults.synchronize());
    }
    QProcess reader;
    reader.setProcessEnvironment(environment(home));
    reader.start(QStringLiteral(WLREADER), {u"--verbose"_s});
    QByteArray errors;
    QVERIFY(QTest::qWaitFor([&] {
        reader.waitForReadyRead(100);
        errors += reader.readAllStandardError();
        return errors.contains("first frame");
    }, 60000));
    sendSignal(reader, signalNumber);
    QVERIFY(reader.waitForFinished(60000));
    QCOMPARE(reader.exitStatus(), QProcess::NormalExit);
    QCOMPARE(reader.exitCode(), 0);
    errors += reader.readAllStandardError();
    QVERIFY2(errors.contains("stopping"), errors.constData());
    // The web engine started for the restored entry; its own chatter stays
    // off the terminal.
    for (const QByteArray &line : errors.split('\n'))
        QVERIFY2(line.isEmpty() || line.startsWith("wlreader: "), errors.constData());

    WLUserDefaults defaults(home.filePath(u"defaults.plist"_s));
    QCOMPARE(defaults.integerForKey(WLPrefLastTabTag), 103);
    QCOMPARE(defaults.stringForKey(WLPrefLastWord), u"about"_s);
    QCOMPARE(defaults.arrayForKey(WLPrefLastContentsIDs), std::optional(QVariantList{u"6"_s, u"7"_s}));
    QCOMPARE(defaults.arrayForKey(u"WLHistory"_s).value_or(QVariantList()).size(), 1);
    // Nothing is left of the run's page directory.
    const QFileInfoList left = QDir(home.path()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QFileInfo &folder : left) {
        if (folder.fileName().startsWith(u"wlreader-"_s))
            QVERIFY2(QDir(folder.filePath()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                     qPrintable(folder.filePath()));
    }
}

void TestWLReaderProcess::aDictionaryThatDoesNotOpenStillShowsTheWindow()
{
    QTemporaryDir home;
    QProcess reader;
    reader.setProcessEnvironment(environment(home));
    const QString pictures = home.filePath(u"pictures"_s);
    reader.start(QStringLiteral(WLREADER), {u"--dictionary"_s, home.filePath(u"nothing-here"_s), u"--screenshots"_s, pictures});
    QVERIFY(reader.waitForFinished(60000));
    QCOMPARE(reader.exitCode(), 0);
    QVERIFY(QString::fromUtf8(reader.readAllStandardError()).contains(u"(path == nil)"_s));
    QVERIFY(QFileInfo(pictures + u"/1-window.png"_s).size() > 0);
}

bool TestWLReaderProcess::startReader(QProcess &reader, const QTemporaryDir &home,
                                      const QStringList &arguments)
{
    QProcessEnvironment env = environment(home);
    // Where the readers of one user meet.
    env.insert(u"XDG_RUNTIME_DIR"_s, home.path());
    reader.setProcessEnvironment(env);
    reader.start(QStringLiteral(WLREADER), QStringList{u"--verbose"_s} + arguments);
    QByteArray errors;
    return QTest::qWaitFor([&] {
        reader.waitForReadyRead(100);
        errors += reader.readAllStandardError();
        return errors.contains("first frame") || reader.state() == QProcess::NotRunning;
    }, 60000) && reader.state() == QProcess::Running;
}

void TestWLReaderProcess::aSecondStartHandsItsWordToTheFirst()
{
    QTemporaryDir home;
    QProcess first;
    QVERIFY(startReader(first, home));
    QProcess second;
    QProcessEnvironment env = environment(home);
    env.insert(u"XDG_RUNTIME_DIR"_s, home.path());
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(WLREADER), {u"house"_s});
    QVERIFY(second.waitForFinished(30000));
    QCOMPARE(second.exitCode(), 0);
    // The second one never made a window: it did not get as far as the
    // web engine.
    QVERIFY(!second.readAllStandardError().contains("sandbox"));
    QTest::qWait(1500);
    stop(first);
    QCOMPARE(first.exitCode(), 0);
    WLUserDefaults defaults(home.filePath(u"defaults.plist"_s));
    // It showed the entry on the Search tab, over the word's results.
    QCOMPARE(defaults.integerForKey(WLPrefLastTabTag), 101);
    QCOMPARE(defaults.stringForKey(WLPrefLastSearchKeyword), u"house"_s);
    QCOMPARE(defaults.stringForKey(WLPrefLastWord), u"house"_s);
}

void TestWLReaderProcess::aSocketLeftByAKilledReaderDoesNotStopTheNext()
{
    QTemporaryDir home;
    QProcess killed;
    QVERIFY(startReader(killed, home));
    sendSignal(killed, SIGKILL);
    QVERIFY(killed.waitForFinished(30000));
    // The socket the killed reader listened on is still there.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.path()));
    const QString bundle = qEnvironmentVariable("WL_DEMO_BUNDLE");
    const QString socket = WLInstanceChannel::socketPath(WLUserDefaults::dictionaryFolderName(
        wlDictionaryIdentifier(bundle + u"/DatabaseInfo.plist"_s), QDir(bundle).absolutePath()));
    QVERIFY(QFileInfo(socket).exists());

    QProcess next;
    QVERIFY(startReader(next, home));
    QProcess third;
    QProcessEnvironment env = environment(home);
    env.insert(u"XDG_RUNTIME_DIR"_s, home.path());
    third.setProcessEnvironment(env);
    third.start(QStringLiteral(WLREADER), {u"apple"_s});
    QVERIFY(third.waitForFinished(30000));
    QCOMPARE(third.exitCode(), 0);
    stop(next);
    QCOMPARE(next.exitCode(), 0);
}

namespace {
// The processes whose parent is pid.
int childrenOf(qint64 pid)
{
    int children = 0;
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        QFile stat(u"/proc/"_s + entry + u"/stat"_s);
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "PID (COMM) STATE PPID …"; COMM may hold spaces and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields.at(1).toLongLong() == pid)
            ++children;
    }
    return children;
}
} // namespace

void TestWLReaderProcess::theWebEngineRunsWhereTheFlagsSay_data()
{
    QTest::addColumn<QString>("flags");
    QTest::addColumn<bool>("ownProcesses");
    // The reader's default: Chromium inside the reader, and the reader
    // still ends cleanly, its state saved, without Chromium's teardown.
    QTest::newRow("the reader's flags") << QString() << false;
    // The user's own flags win: Chromium's usual processes (and, for a
    // normal user, its sandbox) come back.
    QTest::newRow("the user's flags") << u"--disable-gpu --log-level=3"_s << true;
}

void TestWLReaderProcess::theWebEngineRunsWhereTheFlagsSay()
{
    QFETCH(QString, flags);
    QFETCH(bool, ownProcesses);
    QTemporaryDir home;
    QProcess reader;
    QProcessEnvironment env = environment(home);
    if (flags.isEmpty())
        env.remove(u"QTWEBENGINE_CHROMIUM_FLAGS"_s);
    else
        env.insert(u"QTWEBENGINE_CHROMIUM_FLAGS"_s, flags);
    reader.setProcessEnvironment(env);
    reader.start(QStringLiteral(WLREADER), {u"--verbose"_s, u"house"_s});
    QByteArray errors;
    QVERIFY(QTest::qWaitFor([&] {
        reader.waitForReadyRead(100);
        errors += reader.readAllStandardError();
        return errors.contains("entry painted") || reader.state() == QProcess::NotRunning;
    }, 60000));
    QCOMPARE(reader.state(), QProcess::Running);
    QCOMPARE(childrenOf(reader.processId()) > 0, ownProcesses);
    stop(reader);
    QCOMPARE(reader.exitStatus(), QProcess::NormalExit);
    QCOMPARE(reader.exitCode(), 0);
    WLUserDefaults defaults(home.filePath(u"defaults.plist"_s));
    QCOMPARE(defaults.stringForKey(WLPrefLastWord), u"house"_s);
}

QTEST_GUILESS_MAIN(TestWLReaderProcess)
#include "tst_wlreaderprocess.moc"
