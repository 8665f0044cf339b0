#include "WLLastState.h"

#include "WLConstants.h"
#include "WLEntryReference.h"
#include "WLNavigationController.h"
#include "WLReport.h"
#include "WLSearchViewController.h"
#include "WLTabBarController.h"
#include "WLUserDefaults.h"
#include "WLWebViewController.h"

namespace {
constexpr char kReadFn[] = "-[WLAppDelegate readPreference]";
constexpr char kWriteFn[] = "-[WLAppDelegate writePreference]";
} // namespace

void WLLastState::restore() const
{
    WLUserDefaults *ud = WLUserDefaults::standardUserDefaults();
    if (!mTabBarController)
        return;
    if (ud->objectForKey(WLPrefLastTabTag).isValid()) {
        const qint64 tag = ud->integerForKey(WLPrefLastTabTag);
        for (WLViewController *viewController : mTabBarController->viewControllers()) {
            if (viewController->tabBarItem().tag == tag) {
                mTabBarController->setSelectedViewController(viewController);
                break;
            }
        }
    }

    const QVariant word = ud->objectForKey(WLPrefLastWord);
    const QVariant links = ud->objectForKey(WLPrefLastLinks);
    const QVariant contentsIDs = ud->objectForKey(WLPrefLastContentsIDs);
    if (word.isValid() && links.isValid() && contentsIDs.isValid()) {
        auto *navigationController =
            qobject_cast<WLNavigationController *>(mTabBarController->selectedViewController());
        auto *viewController = navigationController
                                   ? qobject_cast<WLTableViewController *>(
                                         navigationController->topViewController())
                                   : nullptr;
        if (contentsIDs.typeId() != QMetaType::QVariantList)
            WL_REPORT(kReadFn, "![contentsIDs isKindOfClass:[NSArray class]]");
        else if (!navigationController)
            WL_REPORT(kReadFn, "![navigationController isKindOfClass:[UINavigationController class]]");
        else if (!viewController)
            WL_REPORT(kReadFn, "![viewController isKindOfClass:[WLTableViewController class]]");
        else
            viewController->showWord(word.toString(), links.toList(), contentsIDs.toList(), false);
    }

    const QString keyword = ud->stringForKey(WLPrefLastSearchKeyword);
    if (!keyword.isEmpty() && mSearchScreen)
        mSearchScreen->setInitialKeyword(keyword);
}

void WLLastState::write() const
{
    writeLastEntry();
    if (!mTabBarController)
        WL_REPORT(kWriteFn, "mTabBarController == nil");
    else
        writeLastTab();
    writeLastSearchKeyword();
}

void WLLastState::writeLastEntry() const
{
    WLUserDefaults *ud = WLUserDefaults::standardUserDefaults();
    ud->removeObjectForKey(WLPrefLastWord);
    ud->removeObjectForKey(WLPrefLastLinks);
    ud->removeObjectForKey(WLPrefLastContentsIDs);
    WLWebViewController *viewer = WLWebViewController::sharedWebViewController();
    if (!viewer || !viewer->webView() || !viewer->parentViewController())
        return;
    const std::optional<QString> word = viewer->currentWord();
    const std::optional<QVariantList> links = viewer->currentLinks();
    const std::optional<QVariantList> contentsIDs = viewer->currentContentsIDs();
    if (!wlCheckEntryReference(kWriteFn, word, links, contentsIDs))
        return;
    ud->setObject(*word, WLPrefLastWord);
    ud->setObject(*links, WLPrefLastLinks);
    ud->setObject(*contentsIDs, WLPrefLastContentsIDs);
}

void WLLastState::writeLastTab() const
{
    if (!mTabBarController)
        return;
    WLViewController *selected = mTabBarController->selectedViewController();
    const int selectedTabTag = selected ? selected->tabBarItem().tag : 0;
    if (selectedTabTag == 0) {
        WL_REPORT(kWriteFn, "selectedTabTag == 0");
        return;
    }
    WLUserDefaults::standardUserDefaults()->setInteger(selectedTabTag, WLPrefLastTabTag);
}

void WLLastState::writeLastSearchKeyword() const
{
    WLUserDefaults *ud = WLUserDefaults::standardUserDefaults();
    ud->removeObjectForKey(WLPrefLastSearchKeyword);
    if (!mSearchScreen)
        return;
    const QString keyword = mSearchScreen->nextInitialKeyword();
    if (!keyword.isEmpty())
        ud->setObject(keyword, WLPrefLastSearchKeyword);
}
