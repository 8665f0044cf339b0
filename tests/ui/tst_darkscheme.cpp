#include "WLAppDelegate.h"
#include "WLColorScheme.h"
#include "WLIndexDataSource.h"
#include "WLLocalization.h"
#include "WLNavigationController.h"
#include "WLReaderShell.h"
#include "WLTabBarController.h"
#include "WLUserDefaults.h"
#include "WLWebViewController.h"
#include "WLWindowDriver.h"

#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace WLWindowDriver;

// The real window in the dark scheme, as WL_COLOR_SCHEME chooses it: the
// web engine learns it when it starts, so this runs in a process of its own.
class TestDarkScheme : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void listsAndPagesAreDark();

private:
    std::unique_ptr<WLReaderShell> mShell;
};

void TestDarkScheme::init()
{
    WLUserDefaults::resetStandardUserDefaults();
    QFile::remove(WLUserDefaults::defaultPath());
    WLIndexDataSource::setFirstShowing(true);
}

void TestDarkScheme::cleanup()
{
    if (mShell)
        mShell->terminate();
    mShell.reset();
    WLUserDefaults::resetStandardUserDefaults();
}

void TestDarkScheme::listsAndPagesAreDark()
{
    mShell = std::make_unique<WLReaderShell>();
    WLReaderShell::Options options;
    options.dictionaryPath = qEnvironmentVariable("WL_DEMO_BUNDLE");
    options.quitWhenStopped = false;
    QVERIFY(mShell->start(options));
    QVERIFY(QTest::qWaitForWindowExposed(mShell->window()));
    QVERIFY(mShell->colorScheme()->isDark());

    // The Index list: the reader's dark colours, not the demo's cream.
    const QImage shot = mShell->window()->grabWindow();
    QVERIFY2(shot.pixelColor(200, 400).lightness() < 60, qPrintable(shot.pixelColor(200, 400).name()));

    // A page is told, and the demo's style sheet answers with its dark
    // colours.
    QVERIFY(openFromIndex(*mShell, u"apple"_s));
    QQuickItem *page = findItem(viewOf(*mShell, WLWebViewController::sharedWebViewController()), u"pageView"_s);
    QCOMPARE(runJavaScript(page, u"matchMedia('(prefers-color-scheme: dark)').matches"_s).toBool(), true);
    QCOMPARE(runJavaScript(page, u"getComputedStyle(document.body).backgroundColor"_s).toString(),
             u"rgb(28, 28, 30)"_s);
}

int main(int argc, char *argv[])
{
    qputenv(WLColorScheme::kEnvironment, "dark");
    WLReaderShell::prepareApplication();
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English));
    WLLocalization::install();
    TestDarkScheme test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_darkscheme.moc"
