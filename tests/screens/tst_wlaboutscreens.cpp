#include "WLAboutImageViewController.h"
#include "WLAboutWebViewController.h"
#include "WLApplication.h"
#include "WLBarButtonItem.h"
#include "WLBundle.h"
#include "WLConstants.h"
#include "WLContainerView.h"
#include "WLDatabase.h"
#include "WLAlertView.h"
#include "WLDictionaryAdding.h"
#include "WLDictionaryCompiler.h"
#include "WLDictionaryFolders.h"
#include "WLDictionaryHost.h"
#include "WLDictionaryInstaller.h"
#include "WLDisplayCell.h"
#include "WLLocalization.h"
#include "WLNavigationController.h"
#include "WLNavigationItem.h"
#include "WLProgressViewController.h"
#include "WLResources.h"
#include "WLSegmentedControl.h"
#include "WLSettingsViewController.h"
#include "WLSourceFixture.h"
#include "WLStarDictTestDictionary.h"
#include "WLSwitch.h"
#include "WLTableView.h"
#include "WLTestSupport.h"
#include "WLUserDefaults.h"
#include "WLWebView.h"
#include "WLWindow.h"

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

// What the settings asked of the window.
class RecordingHost : public WLDictionaryHost
{
public:
    QString openDictionaryPath() const override { return open; }
    void openDictionary(const QString &bundlePath) override { opened.append(bundlePath); }
    void chooseDictionaryToAdd() override { ++choosers; }

    QString open;
    QStringList opened;
    int choosers = 0;
};

} // namespace

// The About screen, its page and the settings, without a window.
class TestWLAboutScreens : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
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
    void theDictionaries();
    void removingADictionary_data();
    void removingADictionary();
    void whatCannotBeRemoved_data();
    void whatCannotBeRemoved();
    void addingADictionary_data();
    void addingADictionary();

private:
    // A dictionary of the given title, built under name into the user's
    // dictionaries (through the installer), the system's folder, or a
    // folder of its own.
    enum class Where { User, System, Nowhere };
    QString install(const QString &name, const QString &title, Where where = Where::User);
    // A settings screen on a window, with its list of dictionaries.
    void showSettings();
    // The rows of the Dictionaries section: title and detail.
    QStringList dictionaryRows() const;
    WLAlertView *alert() const;
    QString stateFolder(const QString &bundle) const;

    // A dictionary compiled with the given settingsHidden, opened, with an
    // About stack over its screen.
    bool open(bool settingsHidden);
    QString bundleFile(const QString &name) const { return mDir.filePath(u"bundle/"_s + name); }

    QTemporaryDir mDir;
    std::unique_ptr<WLDatabase> mDatabase;
    std::unique_ptr<WLNavigationController> mNavigation;
    WLAboutImageViewController *mAbout = nullptr;
    RecordingHost mHost;
    std::unique_ptr<WLSettingsViewController> mSettings;
    std::unique_ptr<WLNavigationController> mSettingsStack;
    std::unique_ptr<WLContainerView> mContainer;
    std::unique_ptr<WLWindow> mWindow;
};

void TestWLAboutScreens::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English));
    QVERIFY(WLLocalization::install());
}

void TestWLAboutScreens::init()
{
    // Never the user's own dictionaries or settings.
    for (const char *name : {"data", "system", "config"})
        QDir(mDir.filePath(QString::fromLatin1(name))).removeRecursively();
    qputenv("XDG_DATA_HOME", mDir.filePath(u"data"_s).toUtf8());
    qputenv("XDG_DATA_DIRS", mDir.filePath(u"system"_s).toUtf8());
    qputenv("XDG_CONFIG_HOME", mDir.filePath(u"config"_s).toUtf8());
    mHost = RecordingHost();
    WLUserDefaults::resetStandardUserDefaults();
    QFile::remove(WLUserDefaults::defaultPath());
}

void TestWLAboutScreens::cleanup()
{
    mWindow.reset();
    mContainer.reset();
    mSettingsStack.reset();
    mSettings.reset();
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

QString TestWLAboutScreens::install(const QString &name, const QString &title, Where where)
{
    QJsonObject manifest = WLSourceFixture::manifest();
    manifest.insert(u"title"_s, title);
    manifest.insert(u"identifier"_s, u"org.example."_s + name);
    const QString source = mDir.filePath(u"sources/"_s + name);
    const QString bundle = where == Where::System ? mDir.filePath(u"system/wlreader/dictionaries/"_s + name)
                                                  : mDir.filePath(u"built/"_s + name);
    QString error;
    if (!WLSourceFixture::write(source, manifest, WLSourceFixture::entry(u"apple"_s, {u"<p>apple</p>"_s}))
        || !WLDictionaryCompiler::build(source, bundle, &error)) {
        qWarning("%s", qPrintable(error));
        return {};
    }
    if (where != Where::User)
        return bundle;
    const WLDictionaryInstaller::Result installed = WLDictionaryInstaller::install(bundle, name, false);
    if (!installed.ok)
        qWarning("%s", qPrintable(installed.error));
    return installed.path;
}

void TestWLAboutScreens::showSettings()
{
    mSettings = std::make_unique<WLSettingsViewController>();
    mSettings->setDictionaryHost(&mHost);
    mSettingsStack = std::make_unique<WLNavigationController>(mSettings.get());
    mContainer = std::make_unique<WLContainerView>();
    mContainer->addSubview(mSettingsStack.get());
    mWindow = std::make_unique<WLWindow>();
    mWindow->addSubview(mContainer.get());
    mWindow->makeKeyAndVisible();
    mSettings->loadViewIfNeeded();
}

QStringList TestWLAboutScreens::dictionaryRows() const
{
    QStringList rows;
    const qsizetype section = mSettings->numberOfSectionsInTableView() - 1;
    for (qsizetype row = 0; row < mSettings->tableViewNumberOfRowsInSection(section); ++row) {
        const std::optional<WLTableViewCell> cell = mSettings->tableViewCellForRowAtIndexPath({section, row});
        QString shown = cell->text;
        if (!cell->detailText.isEmpty())
            shown += u" ("_s + cell->detailText + u')';
        if (cell->accessoryType == WLTableViewCellAccessoryType::Checkmark)
            shown += u" \u2713"_s;
        if (!cell->editable)
            shown += u" [fixed]"_s;
        rows.append(shown);
    }
    return rows;
}

WLAlertView *TestWLAboutScreens::alert() const
{
    const QList<WLViewController *> modals = mWindow->modalViewControllers();
    return modals.isEmpty() ? nullptr : qobject_cast<WLAlertView *>(modals.last());
}

QString TestWLAboutScreens::stateFolder(const QString &bundle) const
{
    const WLDictionaryInstaller::Installed dictionary = WLDictionaryInstaller::describe(bundle);
    return mDir.filePath(u"config/WLReader/"_s +
                         WLUserDefaults::dictionaryFolderName(dictionary.identifier, dictionary.path));
}

void TestWLAboutScreens::theDictionaries()
{
    const QString apples = install(u"apples"_s, u"Apples <b>"_s);
    const QString pears = install(u"pears"_s, u"Pears"_s);
    install(u"system-words"_s, u"System Words"_s, Where::System);
    // Shadowed by the user's own of the same name: listed once.
    install(u"pears"_s, u"Old Pears"_s, Where::System);
    QVERIFY(!apples.isEmpty() && !pears.isEmpty());
    mHost.open = pears;
    showSettings();
    const QString demo = WLDictionaryInstaller::describe(WLBundle::defaultBundlePath()).title;
    QVERIFY(!demo.isEmpty());

    QCOMPARE(mSettings->numberOfSectionsInTableView(), 2);
    QCOMPARE(mSettings->tableViewTitleForHeaderInSection(1), u"Dictionaries"_s);
    QCOMPARE(dictionaryRows(),
             (QStringList{u"Apples <b>"_s, u"Pears \u2713 [fixed]"_s, u"System Words (For all users) [fixed]"_s,
                          demo + u" (Demo) [fixed]"_s, u"Add a Dictionary\u2026 [fixed]"_s}));
    QVERIFY(mSettingsStack->topViewController()->navigationItem()->rightBarButtonItem());

    // The open one stays; another opens; the last row asks for a file.
    mSettings->tableViewDidSelectRowAtIndexPath(mSettings->tableView(), {1, 1});
    QVERIFY(mHost.opened.isEmpty());
    mSettings->tableViewDidSelectRowAtIndexPath(mSettings->tableView(), {1, 0});
    QCOMPARE(mHost.opened, QStringList{apples});
    QCOMPARE(mHost.choosers, 0);
    mSettings->tableViewDidSelectRowAtIndexPath(mSettings->tableView(), {1, 4});
    QCOMPARE(mHost.choosers, 1);
    QVERIFY(!alert());

    // A dictionary installed meanwhile shows the next time.
    mSettings->beginAppearanceTransition(false, false);
    mSettings->endAppearanceTransition();
    install(u"quinces"_s, u"Quinces"_s);
    mSettings->beginAppearanceTransition(true, false);
    mSettings->endAppearanceTransition();
    QCOMPARE(dictionaryRows().value(2), u"Quinces"_s);
}

void TestWLAboutScreens::removingADictionary_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<bool>("stateKept");
    QTest::newRow("Cancel") << 0 << false << true;
    QTest::newRow("Return is Cancel") << int(Qt::Key_Return) << false << true;
    QTest::newRow("Escape is Cancel") << int(Qt::Key_Escape) << false << true;
    QTest::newRow("Remove, Keep Bookmarks") << 1 << true << true;
    QTest::newRow("Remove All") << 2 << true << false;
}

void TestWLAboutScreens::removingADictionary()
{
    QFETCH(int, button);
    QFETCH(bool, removed);
    QFETCH(bool, stateKept);
    const QString apples = install(u"apples"_s, u"Apples"_s);
    mHost.open = install(u"pears"_s, u"Pears"_s);
    const QString state = stateFolder(apples);
    QVERIFY(QDir().mkpath(state));
    QVERIFY(WLSourceFixture::writeFile(state + u"/defaults.plist"_s, "<plist/>"));
    showSettings();
    mSettings->setEditing(true, false);
    QVERIFY(mSettings->tableView()->isEditing());

    // In editing mode a tap asks first and opens nothing.
    mSettings->tableViewDidSelectRowAtIndexPath(mSettings->tableView(), {1, 0});
    QVERIFY(mHost.opened.isEmpty());
    WLAlertView *question = alert();
    QVERIFY(question);
    QCOMPARE(question->title(), u"Remove Apples?"_s);
    QCOMPARE(question->buttonTitles(),
             (QStringList{u"Cancel"_s, u"Remove, Keep Bookmarks"_s, u"Remove All"_s}));
    QCOMPARE(question->cancelButtonIndex(), 0);
    if (button > 2)
        QVERIFY(question->keyCommand({button, Qt::NoModifier, {}}));
    else
        question->tapButton(button);
    QVERIFY(!alert());
    QCOMPARE(QFileInfo::exists(apples), !removed);
    QCOMPARE(QFileInfo::exists(state), stateKept);
    QCOMPARE(dictionaryRows().first(), removed ? u"Pears \u2713 [fixed]"_s : u"Apples"_s);
    // Nothing left behind in the user's folder.
    QCOMPARE(QDir(WLDictionaryFolders::searchPaths().first())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (removed ? QStringList{u"pears"_s} : QStringList{u"apples"_s, u"pears"_s}));
}

void TestWLAboutScreens::whatCannotBeRemoved_data()
{
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("detail");
    QTest::newRow("the open one") << u"Apples"_s << u"Apples"_s
                                  << u"Apples is open; open another dictionary first."_s << QString();
    QTest::newRow("one for all users") << u"Apples"_s << u"System Words"_s
                                       << u"System Words is installed for every user"_s << u"For all users"_s;
    QTest::newRow("the demo") << u"Apples"_s << u"demo"_s << u"The demo comes with WL Reader"_s << u"Demo"_s;
    QTest::newRow("a folder opened where it is")
        << u"Loose Leaf"_s << u"Loose Leaf"_s << u"Loose Leaf is not installed but opened where it is"_s
        << u"Not installed: "_s;
}

void TestWLAboutScreens::whatCannotBeRemoved()
{
    QFETCH(QString, open);
    QFETCH(QString, chosen);
    QFETCH(QString, reason);
    QFETCH(QString, detail);
    const QString apples = install(u"apples"_s, u"Apples"_s);
    const QString system = install(u"system-words"_s, u"System Words"_s, Where::System);
    // A folder given on the command line.
    const QString loose = install(u"loose"_s, u"Loose Leaf"_s, Where::Nowhere);
    mHost.open = open == u"Apples"_s ? apples : loose;
    showSettings();
    const QString demo = WLDictionaryInstaller::describe(WLBundle::defaultBundlePath()).title;
    if (chosen == u"demo"_s)
        chosen = demo;
    const QStringList rows = dictionaryRows();
    qsizetype row = 0;
    while (row < rows.size() && !rows.at(row).startsWith(chosen))
        ++row;
    QVERIFY2(row < rows.size(), qPrintable(rows.join(u", "_s)));
    const std::optional<WLTableViewCell> cell = mSettings->tableViewCellForRowAtIndexPath({1, row});
    QVERIFY(cell->detailText.startsWith(detail));
    QVERIFY(!cell->editable);
    mSettings->setEditing(true, false);
    mSettings->tableViewDidSelectRowAtIndexPath(mSettings->tableView(), {1, row});
    WLAlertView *told = alert();
    QVERIFY(told);
    QCOMPARE(told->title(), u"Cannot Be Removed"_s);
    QVERIFY2(told->message().startsWith(reason), qPrintable(told->message()));
    QCOMPARE(told->buttonTitles(), QStringList{u"OK"_s});
    // Escape is its only button.
    QVERIFY(told->keyCommand({Qt::Key_Escape, Qt::NoModifier, {}}));
    QVERIFY(!alert());
    for (const QString &kept : {apples, system, loose, WLBundle::defaultBundlePath()})
        QVERIFY2(QFileInfo::exists(kept + u"/DatabaseInfo.plist"_s), qPrintable(kept));
    QVERIFY(mHost.opened.isEmpty());
}

void TestWLAboutScreens::addingADictionary_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("told");
    QTest::newRow("a StarDict dictionary") << u"stardict/sample.ifo"_s << false << QString();
    QTest::newRow("cancelled") << u"stardict/sample.ifo"_s << true << QString();
    QTest::newRow("not a dictionary") << u"notes.txt"_s << false << u"notes.txt"_s;
    QTest::newRow("a damaged one") << u"damaged/broken.ifo"_s << false << u"broken"_s;
}

void TestWLAboutScreens::addingADictionary()
{
    QFETCH(QString, file);
    QFETCH(bool, cancel);
    QFETCH(QString, told);
    if (qEnvironmentVariableIsEmpty("WLDICT"))
        QSKIP("WLDICT does not name the wldict executable");
    WLStarDictTestDictionary::writeSample(mDir.filePath(u"files/stardict"_s));
    QVERIFY(WLSourceFixture::writeFile(mDir.filePath(u"files/notes.txt"_s), "shopping list"));
    // Three words promised, one truncated record found.
    QVERIFY(QDir().mkpath(mDir.filePath(u"files/damaged"_s)));
    QVERIFY(WLSourceFixture::writeFile(mDir.filePath(u"files/damaged/broken.ifo"_s),
                                       "StarDict's dict ifo file\nversion=2.4.2\nbookname=Broken\n"
                                       "wordcount=3\nidxfilesize=9\n"));
    QVERIFY(WLSourceFixture::writeFile(mDir.filePath(u"files/damaged/broken.idx"_s), "apple\0\0\0\0"));
    QVERIFY(WLSourceFixture::writeFile(mDir.filePath(u"files/damaged/broken.dict"_s), "a fruit"));
    showSettings();
    WLDictionaryAdding adding(&mHost);
    adding.add(mDir.filePath(u"files/"_s + file), mSettingsStack.get());
    if (!told.isEmpty() && !adding.isAdding()) {
        // Said at once, with nothing to cancel.
    } else {
        const QList<WLViewController *> modals = mWindow->modalViewControllers();
        QCOMPARE(modals.size(), 1);
        auto *progress = qobject_cast<WLProgressViewController *>(modals.first());
        QVERIFY(progress);
        QVERIFY(progress->title().startsWith(u"Adding "_s));
        // The steps in words, not wldict's files.
        QStringList steps;
        connect(progress, &WLProgressViewController::progressChanged, this, [&] {
            if (steps.value(steps.size() - 1) != progress->step())
                steps.append(progress->step());
        });
        if (cancel)
            QVERIFY(progress->keyCommand({Qt::Key_Escape, Qt::NoModifier, {}}));
        QTRY_VERIFY_WITH_TIMEOUT(!adding.isAdding(), 60000);
        const QStringList known{u"Starting\u2026"_s, u"Reading the dictionary"_s, u"Sorting the headwords"_s,
                                u"Copying pictures and sounds"_s, u"Writing the dictionary"_s, u"Installing"_s,
                                u"Cancelling\u2026"_s};
        for (const QString &step : std::as_const(steps))
            QVERIFY2(known.contains(step), qPrintable(step));
        if (told.isEmpty() && !cancel)
            QCOMPARE(steps.last(), u"Installing"_s);
        QVERIFY(!mWindow->modalViewControllers().contains(progress));
    }
    if (!told.isEmpty()) {
        QVERIFY(alert());
        QCOMPARE(alert()->title(), u"The Dictionary Was Not Added"_s);
        QVERIFY2(alert()->message().contains(told), qPrintable(alert()->message()));
        QVERIFY(mHost.opened.isEmpty());
        return;
    }
    QVERIFY(!alert());
    const QStringList installed = QDir(WLDictionaryFolders::searchPaths().first())
                                      .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    if (cancel) {
        QVERIFY(mHost.opened.isEmpty());
        QCOMPARE(installed, QStringList());
        return;
    }
    QCOMPARE(installed, QStringList{u"sample"_s});
    QCOMPARE(mHost.opened, QStringList{QDir(WLDictionaryFolders::searchPaths().first()).filePath(u"sample"_s)});
}

QTEST_GUILESS_MAIN(TestWLAboutScreens)
#include "tst_wlaboutscreens.moc"
