#include "WLTableViewController.h"

#include "WLAboutPresenter.h"
#include "WLBarButtonItem.h"
#include "WLButton.h"
#include "WLColorName.h"
#include "WLConstants.h"
#include "WLControl.h"
#include "WLDataSourceProtocol.h"
#include "WLEntryReference.h"
#include "WLImageView.h"
#include "WLLocalization.h"
#include "WLNavigationController.h"
#include "WLReport.h"
#include "WLTabBarController.h"
#include "WLUserDefaults.h"
#include "WLWebViewController.h"

bool WLTableViewController::acceptsDataSource(const WLDataSourceProtocol *dataSource)
{
    if (!dataSource) {
        WL_REPORT("-[WLTableViewController initWithDataSource:]", "mDataSource == nil");
        return false;
    }
    return true;
}

WLTableViewController::WLTableViewController(std::unique_ptr<WLDataSourceProtocol> dataSource,
                                             QString viewKind)
    : WLViewController(std::move(viewKind)), mDataSource(std::move(dataSource))
{
    setTabBarItem(mDataSource->tabBarItem());
    setTitle(mDataSource->navigationTitle());
}

WLTableViewController::~WLTableViewController()
{
    // The table goes before the data source it reads.
    if (mTableView) {
        mTableView->setDelegate(nullptr);
        mTableView->setDataSource(nullptr);
    }
}

QString WLTableViewController::backgroundColorName() const
{
    return wlColorName(mBackgroundColor);
}

void WLTableViewController::loadView()
{
    if (!mBackgroundImage.isEmpty()) {
        mBackgroundView = new WLImageView(this);
        mTableView = new WLTableView(mDataSource->tableViewStyle(), this);
        // The picture shows through the rows.
        mTableView->setClearBackground(true);
    } else {
        mTableView = new WLTableView(mDataSource->tableViewStyle(), this);
    }
    mTableView->setSeparatorStyle(WLTableView::SingleLine);
    mTableView->setDelegate(this);
    mTableView->setDataSource(mDataSource.get());
}

void WLTableViewController::viewWillAppear(bool)
{
    if (!mBackgroundImage.isEmpty() && mBackgroundView) {
        const bool show =
            WLUserDefaults::standardUserDefaults()->boolForKey(WLPrefDisplayBackground);
        mBackgroundView->setImage(show ? mBackgroundImage : QString());
    }
    mDataSource->tableViewWillAppear(mTableView);
    if (mTableView) {
        // The rows are read when the list first comes on screen.
        mTableView->reloadDataIfNeeded();
        if (const std::optional<WLIndexPath> selected = mTableView->indexPathForSelectedRow())
            mTableView->deselectRowAtIndexPath(*selected, true);
    }
}

void WLTableViewController::setEditing(bool editing, bool animated)
{
    WLViewController::setEditing(editing, animated);
    if (mTableView)
        mTableView->setEditing(editing, animated);
}

void WLTableViewController::tableViewDidSelectRowAtIndexPath(WLTableView *,
                                                             const WLIndexPath &indexPath)
{
    QString wordString;
    QVariantList links;
    QVariantList contentsIDs;
    if (!mDataSource->getWord(&wordString, &links, &contentsIDs, indexPath)) {
        WL_REPORT("-[WLTableViewController tableView:didSelectRowAtIndexPath:]",
                  "![mDataSource getWord:&wordString links:&links contentsIDs:&contentsIDs "
                  "atIndexPath:indexPath]");
        return;
    }
    showWord(wordString, links, contentsIDs, true);
}

bool WLTableViewController::showWord(const std::optional<QString> &word,
                                     const std::optional<QVariantList> &links,
                                     const std::optional<QVariantList> &contentsIDs, bool animated)
{
    static constexpr char kFn[] = "-[WLTableViewController showWord:links:contentsIDs:animated:]";
    if (!wlCheckEntryReference(kFn, word, links, contentsIDs))
        return false;
    WLWebViewController *webViewController = WLWebViewController::sharedWebViewController();
    if (!webViewController) {
        WL_REPORT(kFn, "webViewController == nil");
        return false;
    }
    if (webViewController->parentViewController()) {
        WL_REPORT(kFn, "webViewController.parentViewController != nil");
        return false;
    }
    webViewController->setCurrentContentsIDs(*contentsIDs, *word, *links);
    if (WLNavigationController *navigation = navigationController())
        navigation->pushViewController(webViewController, animated);
    return true;
}

void WLTableViewController::showAbout(QObject *sender)
{
    if (!mAboutPresenter) {
        WL_REPORT("-[WLTableViewController showAbout:]", "appDelegate == nil");
        return;
    }
    mAboutPresenter->showAbout(sender ? sender : this);
}

WLBarButtonItem *WLTableViewController::makeInfoButtonItem()
{
    auto *infoButton = new WLButton(WLButton::InfoLight, this);
    infoButton->setAccessibilityLabel(WLLocalization::localizedString("About"));
    infoButton->addTarget(WLControlEvent::TouchUpInside, [this](WLControl *) { showAbout(this); });
    return new WLBarButtonItem(infoButton, this);
}
