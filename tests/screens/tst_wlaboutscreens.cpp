#include "WLAboutImageViewController.h"
#include "WLAboutWebViewController.h"
#include "WLApplication.h"
#include "WLBarButtonItem.h"
#include "WLBundle.h"
#include "WLConstants.h"
#include "WLDatabase.h"
#include "WLDictionaryCompiler.h"
#include "WLDisplayCell.h"
#include "WLNavigationController.h"
#include "WLNavigationItem.h"
#include "WLResources.h"
#include "WLSegmentedControl.h"
#include "WLSettingsViewController.h"
#include "WLSourceFixture.h"
#include "WLSwitch.h"
#include "WLTableView.h"
#include "WLTestSupport.h"
#include "WLUserDefaults.h"
#include "WLWebView.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Texts by key, as a language's translation gives them.
class Texts : public QTranslator
{
public:
    explicit Texts(QHash<QString, QString> texts) : mTexts(std::move(texts)) {}
    bool isEmpty() const override { return false; }
    QString translate(const char *, const char *key, const char *, int) const override
    {
        return mTexts.value(QString::fromUtf8(key));
    }

private:
    QHash<QString, QString> mTexts;
};

} // namespace

// The About screen, its page and the settings, without a window.
class TestWLAboutScreens : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void segments_data();
    void segments();
    void theAboutPageFoundFirst_data();
    void theAboutPageFoundFirst();
    void linksOfTheAboutPage_data();
    void linksOfTheAboutPage();
    void theBackgroundSwitch();
    void displayCellLayout_data();
    void displayCellLayout();

private:
    // A dictionary compiled with the given settingsHidden, opened, with an
    // About stack over its screen.
    bool open(bool settingsHidden);
    QString bundleFile(const QString &name) const { return mDir.filePath(u"bundle/"_s + name); }

    QTemporaryDir mDir;
    std::unique_ptr<WLDatabase> mDatabase;
    std::unique_ptr<WLNavigationController> mNavigation;
    WLAboutImageViewController *mAbout = nullptr;
};

void TestWLAboutScreens::init()
{
    WLUserDefaults::resetStandardUserDefaults();
    QFile::remove(WLUserDefaults::defaultPath());
}

void TestWLAboutScreens::cleanup()
{
    mNavigation.reset();
    mDatabase.reset();
    WLResources::setResourcePath(u":/wlreader"_s);
    WLApplication::setOpenURLHandler({});
}

bool TestWLAboutScreens::open(bool settingsHidden)
{
    QJsonObject manifest = WLSourceFixture::manifest();
    manifest.insert(u"settingsHidden"_s, settingsHidden);
    const QString source = mDir.filePath(u"source"_s);
    QString error;
    if (!WLSourceFixture::write(source, manifest, WLSourceFixture::entry(u"apple"_s, {u"<p>apple</p>"_s}))
        || !WLDictionaryCompiler::build(source, mDir.filePath(u"bundle"_s), &error)) {
        qWarning("%s", qPrintable(error));
        return false;
    }
    WLBundle::setResourcePath(mDir.filePath(u"bundle"_s));
    mDatabase = WLDatabase::initWithPropertyListFile(bundleFile(u"DatabaseInfo.plist"_s));
    auto about = std::make_unique<WLAboutImageViewController>();
    mNavigation = std::make_unique<WLNavigationController>(about.get());
    mAbout = about.release();
    mAbout->setParent(mNavigation.get());
    return mDatabase != nullptr;
}

void TestWLAboutScreens::segments_data()
{
    QTest::addColumn<bool>("settingsHidden");
    QTest::addColumn<bool>("aboutPage");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("both") << false << true << QStringList{u"Settings"_s, u"About"_s};
    QTest::newRow("settings hidden") << true << true << QStringList{u"About"_s};
    QTest::newRow("no page") << false << false << QStringList{u"Settings"_s};
    QTest::newRow("neither: no item") << true << false << QStringList();
}

void TestWLAboutScreens::segments()
{
    QFETCH(bool, settingsHidden);
    QFETCH(bool, aboutPage);
    QFETCH(QStringList, titles);
    QVERIFY(open(settingsHidden));
    // The reader's own page is the last resort; take it away too.
    QTemporaryDir noResources;
    if (!aboutPage)
        WLResources::setResourcePath(noResources.path());
    mAbout->loadViewIfNeeded();
    WLNavigationItem *item = mAbout->navigationItem();
    QCOMPARE(item->leftBarButtonItem()->title(), u"Done"_s);
    QCOMPARE(item->backBarButtonItem()->title(), u"Back"_s);
    if (titles.isEmpty()) {
        QVERIFY(!item->rightBarButtonItem());
        return;
    }
    auto *control = qobject_cast<WLSegmentedControl *>(item->rightBarButtonItem()->customView());
    QCOMPARE(control->titles(), titles);
    QVERIFY(control->isMomentary());
    QCOMPARE(control->segmentedControlStyle(), int(WLSegmentedControl::Bar));

    // Each segment pushes its screen; none stays highlighted.
    control->tapSegment(0);
    QCOMPARE(control->selectedSegmentIndex(), WLSegmentedControl::kNoSegment);
    WLViewController *pushed = mNavigation->topViewController();
    QVERIFY(pushed != mAbout);
    if (titles.first() == u"About"_s) {
        QCOMPARE(pushed, mAbout->aboutWebViewController());
        QCOMPARE(mAbout->aboutWebViewController()->webView()->url(), QUrl(u"qrc:/wlreader/about/index.html"_s));
    } else {
        QCOMPARE(pushed, mAbout->settingsViewController());
        pushed->loadViewIfNeeded();
        QCOMPARE(pushed->title(), u"Settings"_s);
    }
    // The page is blanked when popped, not when covered.
    mNavigation->popViewControllerAnimated(false);
    QCOMPARE(mNavigation->topViewController(), mAbout);
}

void TestWLAboutScreens::theAboutPageFoundFirst_data()
{
    // Pages present: in the dictionary, localized and plain, and the
    // reader's own. The language names "about/de/index.html".
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("found");
    QTest::newRow("the dictionary's, localized")
        << QStringList{u"about/de/index.html"_s, u"about/index.html"_s} << u"about/de/index.html"_s;
    QTest::newRow("the dictionary's") << QStringList{u"about/index.html"_s} << u"about/index.html"_s;
    QTest::newRow("a directory in the localized place")
        << QStringList{u"about/de/index.html/"_s, u"about/index.html"_s} << u"about/index.html"_s;
    QTest::newRow("the reader's own, localized") << QStringList() << u":/wlreader/about/de/index.html"_s;
}

void TestWLAboutScreens::theAboutPageFoundFirst()
{
    QFETCH(QStringList, files);
    QFETCH(QString, found);
    QVERIFY(open(false));
    for (const QString &file : std::as_const(files)) {
        QVERIFY(QDir().mkpath(QFileInfo(bundleFile(file)).path()));
        if (file.endsWith(u'/'))
            QVERIFY(QDir().mkpath(bundleFile(file)));
        else
            QVERIFY(WLSourceFixture::writeFile(bundleFile(file), "<p>about</p>"));
    }
    Texts german({{u"about/index.html"_s, u"about/de/index.html"_s}});
    QCoreApplication::installTranslator(&german);
    const QString path = WLAboutImageViewController::aboutHTMLBasePath();
    QCoreApplication::removeTranslator(&german);
    QCOMPARE(path, found.startsWith(u':') ? found : bundleFile(found));
}

void TestWLAboutScreens::linksOfTheAboutPage_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("navigationType");
    QTest::addColumn<bool>("loadsHere");
    QTest::addColumn<bool>("leaves");
    const int tap = WLWebView::LinkClicked;
    QTest::newRow("a tapped http link") << u"http://example.org/"_s << tap << false << true;
    QTest::newRow("a tapped https link") << u"https://example.org/"_s << tap << false << true;
    QTest::newRow("a tapped mailto link") << u"mailto:a@example.org"_s << tap << false << true;
    QTest::newRow("a tapped page of the About folder") << u"file:///tmp/about/more.html"_s << tap << true << false;
    QTest::newRow("a tapped page beside it") << u"file:///tmp/other/more.html"_s << tap << false << false;
    QTest::newRow("a tapped custom scheme") << u"x-wl:about"_s << tap << false << false;
    QTest::newRow("http, not tapped") << u"http://example.org/"_s << int(WLWebView::Other) << false << false;
    QTest::newRow("a page of the folder, not tapped")
        << u"file:///tmp/about/more.html"_s << int(WLWebView::FormSubmitted) << false << false;
}

void TestWLAboutScreens::linksOfTheAboutPage()
{
    QFETCH(QString, url);
    QFETCH(int, navigationType);
    QFETCH(bool, loadsHere);
    QFETCH(bool, leaves);
    QList<QUrl> opened;
    WLApplication::setOpenURLHandler([&](const QUrl &link) {
        opened.append(link);
        return true;
    });
    WLAboutWebViewController page;
    page.loadViewIfNeeded();
    page.webView()->loadRequest(QUrl(u"file:///tmp/about/index.html"_s));
    QCOMPARE(page.webView()->shouldStartLoad(QUrl(url), navigationType), loadsHere);
    QCOMPARE(opened, leaves ? QList<QUrl>{QUrl(url)} : QList<QUrl>());
}

void TestWLAboutScreens::theBackgroundSwitch()
{
    WLUserDefaults::standardUserDefaults()->registerDefaults({{WLPrefDisplayBackground, true}});
    WLSettingsViewController settings;
    settings.loadViewIfNeeded();
    WLSwitch *control = settings.switchControl();
    QVERIFY(control->isOn());
    WLTableView *table = settings.tableView();
    QCOMPARE(table->style(), int(WLTableViewStyle::Grouped));
    QVERIFY(!table->isScrollEnabled());
    QCOMPARE(table->model()->rowCount(), 1);
    const QModelIndex row = table->model()->index(0, 0);
    QCOMPARE(row.data().toString(), u"Background"_s);
    QCOMPARE(row.data(WLTableModel::ViewRole).value<QObject *>(), static_cast<QObject *>(control));
    QCOMPARE(row.data(WLTableModel::SelectionStyleRole).toInt(), int(WLTableViewCellSelectionStyle::None));

    control->toggle(false);
    QVERIFY(!WLUserDefaults::standardUserDefaults()->boolForKey(WLPrefDisplayBackground));
    control->toggle(true);
    QVERIFY(WLUserDefaults::standardUserDefaults()->boolForKey(WLPrefDisplayBackground));
}

void TestWLAboutScreens::displayCellLayout_data()
{
    QTest::addColumn<QRectF>("bounds");
    QTest::addColumn<QSizeF>("control");
    QTest::addColumn<QRectF>("name");
    QTest::addColumn<QRectF>("placed");
    QTest::newRow("a switch in a phone's row")
        << QRectF(0, 0, 300, 44) << QSizeF(94, 27) << QRectF(8, 12, 190, 20) << QRectF(198, 9, 94, 27);
    QTest::newRow("halves rounded, origin ignored")
        << QRectF(10, 5, 200, 45) << QSizeF(50, 20) << QRectF(8, 13, 134, 20) << QRectF(142, 13, 50, 20);
}

void TestWLAboutScreens::displayCellLayout()
{
    QFETCH(QRectF, bounds);
    QFETCH(QSizeF, control);
    QFETCH(QRectF, name);
    QFETCH(QRectF, placed);
    WLSwitch view;
    view.setFrame(QRectF(QPointF(), control));
    WLDisplayCell cell;
    cell.setView(&view);
    cell.setContentBounds(bounds);
    QCOMPARE(cell.nameLabelFrame(), name);
    QCOMPARE(view.frame(), placed);
}

QTEST_GUILESS_MAIN(TestWLAboutScreens)
#include "tst_wlaboutscreens.moc"
