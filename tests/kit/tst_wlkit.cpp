#include "WLApplication.h"
#include "WLBarButtonItem.h"
#include "WLContainerView.h"
#include "WLImageView.h"
#include "WLNavigationController.h"
#include "WLNavigationItem.h"
#include "WLScreen.h"
#include "WLScrollView.h"
#include "WLSegmentedControl.h"
#include "WLTabBarController.h"
#include "WLTableView.h"
#include "WLTextView.h"
#include "WLViewController.h"
#include "WLWebView.h"
#include "WLWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "WLTestSupport.h"

using namespace Qt::StringLiterals;

namespace {

QStringList gEvents;

// A screen that writes down what it hears, and whether it still had its
// container at the time.
class Screen : public WLViewController
{
public:
    explicit Screen(const QString &name) : WLViewController(u"Test"_s) { setObjectName(name); }

protected:
    void loadView() override { gEvents << objectName() + u" load"_s; }
    void viewWillAppear(bool) override { gEvents << objectName() + u" willAppear"_s; }
    void viewDidAppear(bool) override { gEvents << objectName() + u" didAppear"_s; }
    void viewWillDisappear(bool) override { gEvents << objectName() + u" willDisappear"_s; }
    void viewDidDisappear(bool) override
    {
        gEvents << objectName() + (parentViewController() ? u" didDisappear (contained)"_s
                                                          : u" didDisappear"_s);
    }
};

// Rows per section, for the table model.
class Rows : public WLTableViewDataSource
{
public:
    QList<qsizetype> counts;
    QList<WLIndexPath> deleted;
    QString text;
    std::optional<QList<WLTextRange>> boldRanges;
    qsizetype numberOfSectionsInTableView() const override { return counts.size(); }
    qsizetype tableViewNumberOfRowsInSection(qsizetype section) const override
    {
        return counts.value(section);
    }
    std::optional<WLTableViewCell> tableViewCellForRowAtIndexPath(const WLIndexPath &indexPath) const override
    {
        WLTableViewCell cell{u"cell"_s, u"%1.%2"_s.arg(indexPath.section).arg(indexPath.row)};
        if (!text.isEmpty())
            cell.text = text;
        cell.boldRanges = boldRanges;
        return cell;
    }
    bool tableViewCanEditRows() const override { return true; }
    bool tableViewCommitEditingStyle(WLTableViewCellEditingStyle, const WLIndexPath &indexPath) override
    {
        --counts[indexPath.section];
        deleted << indexPath;
        return true;
    }
};

// Zooms whatever view it is given; a text field that may be locked.
class Zooming : public WLScrollViewDelegate, public WLTextViewDelegate
{
public:
    WLControl *view = nullptr;
    bool locked = false;
    int endings = 0;
    WLControl *viewForZoomingInScrollView(WLScrollView *) override { return view; }
    bool textViewShouldBeginEditing(WLTextView *) override { return !locked; }
    void textViewDidEndEditing(WLTextView *) override { ++endings; }
};

class Selections : public WLTabBarControllerDelegate
{
public:
    int calls = 0;
    void tabBarControllerDidSelectViewController(WLTabBarController *, WLViewController *) override
    {
        ++calls;
    }
};

} // namespace

class TestWLKit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { gEvents.clear(); }

    void aStackOnScreenTellsItsScreensInOrder();
    void aStackOffScreenTellsNothing();
    void backButtonTitle_data();
    void backButtonTitle();
    void aModalScreenCoversWithoutTakingTheScreenOffItsStack();
    void tabsTellTheirDelegateOnlyWhenTapped();
    void altAndANumberChooseATab_data();
    void altAndANumberChooseATab();
    void tableRowsAcrossSections();
    void deletingRowsOnlyWhileEditing();
    void rowsAddedAtTheEndsOfSections();
    void segmentedControls();
    void boldRangesAsStyledText_data();
    void boldRangesAsStyledText();
    void webPagesInTheirCharsetAndTooLargeToGoInline();
    void aPageReachesOnlyItsContentFolder_data();
    void aPageReachesOnlyItsContentFolder();
    void aPageMovesOnlyByATapTheDelegateLeavesIt_data();
    void aPageMovesOnlyByATapTheDelegateLeavesIt();
    void blockedRequestsAreReportedOncePerPage();
    void zoomStaysWithinItsLimits();
    void textIsTypedOnlyWhileEditing();
};

void TestWLKit::aStackOnScreenTellsItsScreensInOrder()
{
    Screen a(u"A"_s), b(u"B"_s);
    WLNavigationController navigation(&a);
    WLContainerView container;
    WLWindow window;
    container.addSubview(&navigation);
    window.addSubview(&container);
    window.makeKeyAndVisible();
    QCOMPARE(gEvents, (QStringList{u"A load"_s, u"A willAppear"_s, u"A didAppear"_s}));

    gEvents.clear();
    navigation.pushViewController(&b, true);
    QCOMPARE(gEvents, (QStringList{u"A willDisappear"_s, u"B load"_s, u"B willAppear"_s}));
    QTRY_COMPARE(gEvents.size(), 5);
    QCOMPARE(gEvents.mid(3), (QStringList{u"A didDisappear (contained)"_s, u"B didAppear"_s}));

    // A screen already on a stack is not pushed again.
    navigation.pushViewController(&b, false);
    QCOMPARE(navigation.viewControllers().size(), 2);

    gEvents.clear();
    QCOMPARE(navigation.popViewControllerAnimated(false), &b);
    QCOMPARE(gEvents, (QStringList{u"B willDisappear"_s, u"A willAppear"_s, u"B didDisappear"_s,
                                   u"A didAppear"_s}));
    QVERIFY(!b.parentViewController());
    // The root stays.
    QVERIFY(!navigation.popViewControllerAnimated(false));
}

void TestWLKit::aStackOffScreenTellsNothing()
{
    Screen a(u"A"_s), b(u"B"_s);
    WLNavigationController navigation(&a);
    navigation.pushViewController(&b, true);
    // Only the screen below is built, for its way back.
    QCOMPARE(gEvents, QStringList{u"A load"_s});
    QCOMPARE(b.parentViewController(), &navigation);
    QCOMPARE(navigation.popToRootViewControllerAnimated(true), QList<WLViewController *>{&b});
    QCOMPARE(gEvents, QStringList{u"A load"_s});
}

void TestWLKit::backButtonTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("backItemTitle");
    QTest::addColumn<bool>("hidesBackButton");
    QTest::addColumn<QString>("expected");
    QTest::newRow("the back item") << u"Dictionary"_s << u"Index"_s << false << u"Index"_s;
    QTest::newRow("else the title") << u"Dictionary"_s << QString() << false << u"Dictionary"_s;
    QTest::newRow("else Back") << QString() << QString() << false << u"Back"_s;
    QTest::newRow("hidden") << u"Dictionary"_s << u"Index"_s << true << QString();
}

void TestWLKit::backButtonTitle()
{
    QFETCH(QString, title);
    QFETCH(QString, backItemTitle);
    QFETCH(bool, hidesBackButton);
    QFETCH(QString, expected);
    Screen a(u"A"_s), b(u"B"_s);
    a.setTitle(title);
    WLBarButtonItem back(backItemTitle, WLBarButtonItem::Plain, {});
    if (!backItemTitle.isEmpty())
        a.navigationItem()->setBackBarButtonItem(&back);
    b.navigationItem()->setHidesBackButton(hidesBackButton);
    WLNavigationController navigation(&a);
    QCOMPARE(navigation.backButtonTitle(), QString());
    navigation.pushViewController(&b, false);
    QCOMPARE(navigation.backButtonTitle(), expected);
}

void TestWLKit::aModalScreenCoversWithoutTakingTheScreenOffItsStack()
{
    Screen a(u"A"_s), b(u"B"_s), editor(u"Editor"_s);
    WLNavigationController navigation(&a);
    navigation.pushViewController(&b, false);
    WLContainerView container;
    WLWindow window;
    container.addSubview(&navigation);
    window.addSubview(&container);
    window.makeKeyAndVisible();
    gEvents.clear();

    b.presentModalViewController(&editor, false);
    QCOMPARE(gEvents, (QStringList{u"B willDisappear"_s, u"Editor load"_s, u"Editor willAppear"_s,
                                   u"B didDisappear (contained)"_s, u"Editor didAppear"_s}));
    QCOMPARE(window.modalViewControllers(), QList<WLViewController *>{&editor});
    // The editor covers the whole window.
    QCOMPARE(editor.viewSize(), WLScreen::mainScreen()->applicationFrameSize());

    gEvents.clear();
    editor.dismissModalViewControllerAnimated(false);
    QCOMPARE(gEvents, (QStringList{u"Editor willDisappear"_s, u"B willAppear"_s,
                                   u"Editor didDisappear"_s, u"B didAppear"_s}));
    QVERIFY(window.modalViewControllers().isEmpty());
    QVERIFY(!b.modalViewController());
}

void TestWLKit::tabsTellTheirDelegateOnlyWhenTapped()
{
    auto *a = new Screen(u"A"_s);
    auto *b = new Screen(u"B"_s);
    WLTabBarController tabs;
    Selections delegate;
    tabs.setDelegate(&delegate);
    tabs.setViewControllers({a, b});
    QCOMPARE(tabs.selectedViewController(), a);
    tabs.setSelectedIndex(1);
    QCOMPARE(delegate.calls, 0);
    tabs.selectTab(0);
    tabs.selectTab(0);
    QCOMPARE(delegate.calls, 2);
    tabs.selectTab(7);
    QCOMPARE(tabs.selectedIndex(), 0);
    QCOMPARE(delegate.calls, 2);
}

void TestWLKit::altAndANumberChooseATab_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    // The tab chosen; -1 when the key is left to others.
    QTest::addColumn<int>("chosen");
    QTest::newRow("Alt+1") << int(Qt::Key_1) << Qt::KeyboardModifiers(Qt::AltModifier) << 0;
    QTest::newRow("Alt+3, the last") << int(Qt::Key_3) << Qt::KeyboardModifiers(Qt::AltModifier) << 2;
    QTest::newRow("Alt and the keypad's 2") << int(Qt::Key_2) << (Qt::AltModifier | Qt::KeypadModifier) << 1;
    QTest::newRow("Alt+4, no such tab") << int(Qt::Key_4) << Qt::KeyboardModifiers(Qt::AltModifier) << -1;
    QTest::newRow("Alt+0") << int(Qt::Key_0) << Qt::KeyboardModifiers(Qt::AltModifier) << -1;
    QTest::newRow("Ctrl+Alt+1") << int(Qt::Key_1) << (Qt::AltModifier | Qt::ControlModifier) << -1;
    QTest::newRow("a plain 2") << int(Qt::Key_2) << Qt::KeyboardModifiers() << -1;
}

void TestWLKit::altAndANumberChooseATab()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, chosen);
    WLTabBarController tabs;
    Selections delegate;
    tabs.setDelegate(&delegate);
    tabs.setViewControllers({new Screen(u"A"_s), new Screen(u"B"_s), new Screen(u"C"_s)});
    tabs.setSelectedIndex(1);
    QCOMPARE(tabs.keyCommand({key, modifiers, {}}), chosen >= 0);
    QCOMPARE(tabs.selectedIndex(), chosen >= 0 ? chosen : 1);
    // As a tap: the delegate is told.
    QCOMPARE(delegate.calls, chosen >= 0 ? 1 : 0);
}

void TestWLKit::tableRowsAcrossSections()
{
    Rows rows;
    rows.counts = {2, 0, 3, 0};
    WLTableView table(WLTableViewStyle::Plain);
    table.setDataSource(&rows);
    table.reloadData();
    QCOMPARE(table.model()->rowCount(), 5);
    QCOMPARE(table.numberOfSections(), 4);
    QCOMPARE(table.numberOfRowsInSection(2), 3);
    QCOMPARE(table.rowForIndexPath(2, 0), 2);
    QCOMPARE(table.rowForIndexPath(1, 0), -1);
    QCOMPARE(table.model()->index(4, 0).data().toString(), u"2.2"_s);
    QCOMPARE(table.model()->index(2, 0).data(WLTableModel::SectionRole).toString(), u"2"_s);
    // The index entry of an empty section leads to the next section with rows.
    QCOMPARE(table.rowForSectionIndex(1), 2);
    QCOMPARE(table.rowForSectionIndex(3), -1);
    table.scrollToRowAtIndexPath({2, 1}, WLTableView::Top, false);
    QCOMPARE(table.scrollRow(), 3);
    QCOMPARE(table.scrollSerial(), 1);
}

void TestWLKit::deletingRowsOnlyWhileEditing()
{
    Rows rows;
    rows.counts = {2, 3};
    WLTableView table(WLTableViewStyle::Plain);
    table.setDataSource(&rows);
    table.reloadData();
    table.commitDeleteRow(3);
    QVERIFY(rows.deleted.isEmpty());
    table.setEditing(true, false);
    table.tapRow(4);
    QCOMPARE(table.selectedRow(), 4);
    table.commitDeleteRow(3);
    QCOMPARE(rows.deleted, (QList<WLIndexPath>{{1, 1}}));
    QCOMPARE(table.model()->rowCount(), 4);
    // The selection follows its row up.
    QCOMPARE(table.selectedRow(), 3);
    QCOMPARE(table.model()->index(3, 0).data().toString(), u"1.1"_s);
}

void TestWLKit::rowsAddedAtTheEndsOfSections()
{
    Rows rows;
    rows.counts = {2, 3};
    WLTableView table(WLTableViewStyle::Plain);
    table.setDataSource(&rows);
    table.reloadData();
    table.selectRowAtIndexPath({1, 1});
    int inserted = 0, resets = 0;
    connect(table.model(), &QAbstractItemModel::rowsInserted, this,
            [&](const QModelIndex &, int first, int last) { inserted += last - first + 1; });
    connect(table.model(), &QAbstractItemModel::modelReset, this, [&] { ++resets; });

    // Two more in the first section, a third section of one.
    rows.counts = {4, 3, 1};
    table.reloadDataAppending();
    QCOMPARE(inserted, 3);
    QCOMPARE(resets, 0);
    QCOMPARE(table.model()->rowCount(), 8);
    QCOMPARE(table.model()->index(3, 0).data().toString(), u"0.3"_s);
    QCOMPARE(table.model()->index(7, 0).data(WLTableModel::SectionRole).toString(), u"2"_s);
    // The selection stays on its row.
    QCOMPARE(table.indexPathForSelectedRow(), std::optional(WLIndexPath{1, 1}));

    // Fewer rows: reloaded after all.
    rows.counts = {1, 3, 1};
    table.reloadDataAppending();
    QCOMPARE(resets, 1);
    QCOMPARE(table.model()->rowCount(), 5);
}

void TestWLKit::segmentedControls()
{
    WLSegmentedControl control({u"Settings"_s, u"About"_s}, {});
    QStringList sent;
    control.addTarget(WLControlEvent::ValueChanged, [&](WLControl *sender) {
        auto *segments = static_cast<WLSegmentedControl *>(sender);
        sent << segments->titleForSegmentAtIndex(segments->selectedSegmentIndex());
    });
    control.tapSegment(1);
    // A lasting selection sends nothing when tapped again.
    control.tapSegment(1);
    QCOMPARE(sent, QStringList{u"About"_s});
    QCOMPARE(control.selectedSegmentIndex(), 1);

    control.setMomentary(true);
    control.tapSegment(1);
    control.tapSegment(0);
    QCOMPARE(sent, (QStringList{u"About"_s, u"About"_s, u"Settings"_s}));
    QCOMPARE(control.selectedSegmentIndex(), WLSegmentedControl::kNoSegment);
}

void TestWLKit::webPagesInTheirCharsetAndTooLargeToGoInline()
{
    QTemporaryDir pageDirectory;
    const QUrl base = QUrl::fromLocalFile(pageDirectory.path() + u'/');
    WLWebView view;
    view.loadData("<p>caf\xe9</p>", u"text/html"_s, u"ISO-8859-1"_s, base);
    QCOMPARE(view.html(), u"<p>café</p>"_s);
    QCOMPARE(view.baseUrl(), base);
    QCOMPARE(view.contentSerial(), 1);

    // Characters that a data URL spells in three bytes count three times.
    const QByteArray large = "<p>" + QByteArray(WLWebView::kMaxInlineBytes / 3, ' ') + "end</p>";
    view.loadData(large, u"text/html"_s, u"UTF-8"_s, base);
    QVERIFY(view.html().isEmpty());
    QVERIFY(view.url().isLocalFile());
    QCOMPARE(QFileInfo(view.url().toLocalFile()).dir(), QDir(pageDirectory.path()));
    QFile written(view.url().toLocalFile());
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), "\xEF\xBB\xBF" + large);
}

void TestWLKit::aPageReachesOnlyItsContentFolder_data()
{
    QTest::addColumn<QUrl>("content");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("inside");
    const QUrl pages = QUrl(u"file:///tmp/wlreader-0/html/"_s);
    const QUrl about = QUrl(u"qrc:/wlreader/about/index.html"_s);
    QTest::newRow("the folder itself") << pages << u"file:///tmp/wlreader-0/html/#25"_s << true;
    QTest::newRow("a file below") << pages << u"file:///tmp/wlreader-0/html/pictures/a.png"_s << true;
    QTest::newRow("in and back by ..") << pages << u"file:///tmp/wlreader-0/html/a/../b.png"_s << true;
    QTest::newRow("out by ..") << pages << u"file:///tmp/wlreader-0/html/../secret"_s << false;
    QTest::newRow("a sibling folder of the same beginning") << pages << u"file:///tmp/wlreader-0/htmlx/a"_s << false;
    QTest::newRow("the same path on a site") << pages << u"https://example.org/tmp/wlreader-0/html/a"_s << false;
    QTest::newRow("the same path on a host") << pages << u"file://host/tmp/wlreader-0/html/a"_s << false;
    QTest::newRow("another file") << pages << u"file:///etc/hostname"_s << false;
    QTest::newRow("a resource page's neighbour") << about << u"qrc:/wlreader/about/credits.html"_s << true;
    QTest::newRow("another resource") << about << u"qrc:/wlreader/About.png"_s << false;
    QTest::newRow("a file, for a resource page") << about << u"file:///wlreader/about/credits.html"_s << false;
}

void TestWLKit::aPageReachesOnlyItsContentFolder()
{
    QFETCH(QUrl, content);
    QFETCH(QString, url);
    QFETCH(bool, inside);
    WLWebView view;
    QVERIFY(!view.isInsideContentFolder(QUrl(url)));
    if (content.path().endsWith(u'/'))
        view.loadData("<p>page</p>", u"text/html"_s, u"UTF-8"_s, content);
    else
        view.loadRequest(content);
    QCOMPARE(view.isInsideContentFolder(QUrl(url)), inside);
}

namespace {
// Answers the web view as a screen does: routes what it knows.
class Router : public WLWebViewDelegate
{
public:
    bool handles = false;
    QList<QUrl> asked;
    bool webViewShouldStartLoadWithRequest(WLWebView *, const QUrl &url, int) override
    {
        asked.append(url);
        return !handles;
    }
};
} // namespace

void TestWLKit::aPageMovesOnlyByATapTheDelegateLeavesIt_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("navigationType");
    QTest::addColumn<bool>("mainFrame");
    QTest::addColumn<bool>("handles");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("leaves");
    const QString inside = u"file:///tmp/pages/other.html"_s;
    const int tap = WLWebView::LinkClicked;
    QTest::newRow("a tap the delegate handles") << inside << tap << true << true << false << true << false;
    QTest::newRow("a tap into the folder") << inside << tap << true << false << true << true << false;
    QTest::newRow("a tap out to a site") << u"http://example.org/"_s << tap << true << false << false << true << true;
    QTest::newRow("a tap out to a custom scheme") << u"x-a:b"_s << tap << true << false << false << true << false;
    QTest::newRow("a tap on http without a host") << u"http:/etc/hostname"_s << tap << true << false << false << true << false;
    QTest::newRow("a tap in a frame") << inside << tap << false << false << false << false << false;
    for (const int type : {int(WLWebView::FormSubmitted), int(WLWebView::BackForward), int(WLWebView::Reload),
                           int(WLWebView::FormResubmitted), int(WLWebView::Other)})
        QTest::addRow("navigation type %d", type) << inside << type << true << false << false << false << false;
}

void TestWLKit::aPageMovesOnlyByATapTheDelegateLeavesIt()
{
    QFETCH(QString, url);
    QFETCH(int, navigationType);
    QFETCH(bool, mainFrame);
    QFETCH(bool, handles);
    QFETCH(bool, loads);
    QFETCH(bool, asked);
    QFETCH(bool, leaves);
    QList<QUrl> opened;
    WLApplication::setOpenURLHandler([&](const QUrl &link) {
        opened.append(link);
        return true;
    });
    Router router;
    router.handles = handles;
    WLWebView view;
    view.setDelegate(&router);
    view.loadData("<p>page</p>", u"text/html"_s, u"UTF-8"_s, QUrl(u"file:///tmp/pages/"_s));
    StderrCapture capture;
    QCOMPARE(view.shouldStartLoad(QUrl(url), navigationType, mainFrame), loads);
    QCOMPARE(router.asked, asked ? QList<QUrl>{QUrl(url)} : QList<QUrl>());
    QCOMPARE(opened, leaves ? QList<QUrl>{QUrl(url)} : QList<QUrl>());
    // Whatever is refused is said.
    QCOMPARE(capture.reports().isEmpty(), loads || handles || leaves);
    WLApplication::setOpenURLHandler({});
}

void TestWLKit::blockedRequestsAreReportedOncePerPage()
{
    WLWebView view;
    const QUrl pages(u"file:///tmp/pages/"_s);
    StderrCapture capture;
    view.loadData("<p>one</p>", u"text/html"_s, u"UTF-8"_s, pages);
    view.requestBlocked(QUrl(u"http://example.org/a.png"_s));
    view.requestBlocked(QUrl(u"http://example.org/b.png"_s));
    QVERIFY(!view.shouldStartLoad(QUrl(u"http://example.org/c"_s), WLWebView::Other));
    QCOMPARE(capture.reports().size(), 1);
    QVERIFY(capture.reports().constFirst().contains(u"http://example.org/a.png"_s));
    // A page that packs a file into its request is not printed whole.
    view.loadData("<p>two</p>", u"text/html"_s, u"UTF-8"_s, pages);
    view.requestBlocked(QUrl(u"http://example.org/?d="_s + u"x"_s.repeated(5000)));
    QCOMPARE(capture.reports().size(), 2);
    QVERIFY(capture.reports().constLast().size() < 400);
}

void TestWLKit::zoomStaysWithinItsLimits()
{
    WLScrollView scrollView;
    WLImageView picture;
    Zooming delegate;
    scrollView.setDelegate(&delegate);
    scrollView.setMaximumZoomScale(3);
    // Nothing zooms until the delegate names a view the scroll view shows.
    scrollView.setZoomScale(2);
    QCOMPARE(scrollView.zoomScale(), 1.0);
    delegate.view = &picture;
    scrollView.addSubview(&picture);
    QCOMPARE(scrollView.zoomingView(), &picture);
    scrollView.setZoomScale(9);
    QCOMPARE(scrollView.zoomScale(), 3.0);
    scrollView.toggleZoom();
    QCOMPARE(scrollView.zoomScale(), 1.0);
    scrollView.toggleZoom();
    QCOMPARE(scrollView.zoomScale(), 3.0);
    // Lowering the maximum brings the scale down with it.
    scrollView.setMaximumZoomScale(1.5);
    QCOMPARE(scrollView.zoomScale(), 1.5);
    scrollView.removeSubview(&picture);
    QVERIFY(!scrollView.zoomingView());
}

void TestWLKit::textIsTypedOnlyWhileEditing()
{
    WLTextView field;
    Zooming delegate;
    field.setDelegate(&delegate);
    field.setText(u"placeholder"_s);
    field.textEdited(u"typed"_s);
    QCOMPARE(field.text(), u"placeholder"_s);
    delegate.locked = true;
    QVERIFY(!field.beginEditing());
    delegate.locked = false;
    QVERIFY(field.beginEditing());
    field.textEdited(u"typed"_s);
    QCOMPARE(field.text(), u"typed"_s);
    field.resignFirstResponder();
    field.resignFirstResponder();
    QVERIFY(!field.isEditing());
    QCOMPARE(delegate.endings, 1);
}

void TestWLKit::boldRangesAsStyledText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<WLTextRange>>("ranges");
    QTest::addColumn<QString>("styled");
    QTest::newRow("bold throughout") << u"bank"_s << QList<WLTextRange>() << QString();
    QTest::newRow("two runs") << u"bandit"_s << QList<WLTextRange>{{0, 1}, {3, 1}} << u"<b>b</b>an<b>d</b>it"_s;
    QTest::newRow("markup in the word") << u"<a&b>"_s << QList<WLTextRange>{{1, 1}} << u"&lt;<b>a</b>&amp;b&gt;"_s;
    QTest::newRow("past the end, overlapping")
        << u"cat"_s << QList<WLTextRange>{{1, 1}, {1, 5}, {7, 2}} << u"c<b>a</b><b>t</b>"_s;
}

void TestWLKit::boldRangesAsStyledText()
{
    QFETCH(QString, text);
    QFETCH(QList<WLTextRange>, ranges);
    QFETCH(QString, styled);
    Rows rows;
    rows.counts = {1};
    rows.text = text;
    rows.boldRanges = ranges.isEmpty() ? std::nullopt : std::optional(ranges);
    WLTableView table(WLTableViewStyle::Plain);
    table.setDataSource(&rows);
    table.reloadData();
    QCOMPARE(table.model()->index(0, 0).data(WLTableModel::StyledTextRole).toString(), styled);
}

QTEST_GUILESS_MAIN(TestWLKit)
#include "tst_wlkit.moc"
