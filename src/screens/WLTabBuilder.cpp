#include "WLTabBuilder.h"

#include "WLBookmarksDataSource.h"
#include "WLBookmarksViewController.h"
#include "WLDatabase.h"
#include "WLHistoryDataSource.h"
#include "WLHistoryViewController.h"
#include "WLIndexDataSource.h"
#include "WLIndexViewController.h"
#include "WLNavigationController.h"
#include "WLReport.h"
#include "WLResources.h"
#include "WLSearchDataSource.h"
#include "WLSearchViewController.h"

namespace {

// A tab's own appearance value, else the general one.
template <typename T>
T either(const T &own, const T &general)
{
    return own.has_value() ? own : general;
}

QString either(const QString &own, const QString &general)
{
    return own.isEmpty() ? general : own;
}

// What differs between the tabs: each recipe names the report, the screen
// class, the dictionary's appearance values for the tab, and how its data
// source is made and coloured.
struct IndexTab {
    using Screen = WLIndexViewController;
    static constexpr char kFunction[] = "-[WLAppDelegate createIndexNavigationController]";
    static constexpr auto kImage = &WLDatabase::indexBackgroundImage;
    static constexpr auto kColor = &WLDatabase::indexBackgroundColor;
    static std::unique_ptr<WLDataSourceProtocol> dataSource(WLDatabase &db)
    {
        auto dataSource = WLDataSource::initWithDatabase<WLIndexDataSource>(&db);
        if (dataSource)
            dataSource->setTextColor(either(db.indexTextColor(), db.textColor()));
        return dataSource;
    }
};

struct SearchTab {
    using Screen = WLSearchViewController;
    static constexpr char kFunction[] = "-[WLAppDelegate createSearchNavigationController]";
    static constexpr auto kImage = &WLDatabase::searchBackgroundImage;
    static constexpr auto kColor = &WLDatabase::searchBackgroundColor;
    static std::unique_ptr<WLDataSourceProtocol> dataSource(WLDatabase &db)
    {
        auto dataSource = WLDataSource::initWithDatabase<WLSearchDataSource>(&db);
        if (dataSource)
            dataSource->setTextColor(either(db.searchTextColor(), db.textColor()));
        return dataSource;
    }
};

struct BookmarksTab {
    using Screen = WLBookmarksViewController;
    static constexpr char kFunction[] = "-[WLAppDelegate createBookmarksNavigationController]";
    static constexpr auto kImage = &WLDatabase::bookmarksBackgroundImage;
    static constexpr auto kColor = &WLDatabase::bookmarksBackgroundColor;
    static std::unique_ptr<WLDataSourceProtocol> dataSource(WLDatabase &db)
    {
        std::unique_ptr<WLBookmarksDataSource> bookmarks = WLBookmarksDataSource::init();
        if (bookmarks) {
            bookmarks->setTextColor(either(db.bookmarksTextColor(), db.textColor()));
            // The notes have no general fallback.
            bookmarks->setNotesTextColor(db.bookmarksNotesTextColor());
        }
        return bookmarks;
    }
};

struct HistoryTab {
    using Screen = WLHistoryViewController;
    static constexpr char kFunction[] = "-[WLAppDelegate createHistoryNavigationController]";
    static constexpr auto kImage = &WLDatabase::historyBackgroundImage;
    static constexpr auto kColor = &WLDatabase::historyBackgroundColor;
    static std::unique_ptr<WLDataSourceProtocol> dataSource(WLDatabase &db)
    {
        std::unique_ptr<WLHistoryDataSource> history = WLHistoryDataSource::init();
        if (history)
            history->setTextColor(either(db.historyTextColor(), db.textColor()));
        return history;
    }
};

} // namespace

template <typename Recipe>
std::unique_ptr<WLNavigationController> WLTabBuilder::build() const
{
    if (!mDatabase) {
        WL_REPORT(Recipe::kFunction, "mDatabase == nil");
        return nullptr;
    }
    std::unique_ptr<WLDataSourceProtocol> dataSource = Recipe::dataSource(*mDatabase);
    if (!dataSource) {
        WL_REPORT(Recipe::kFunction, "dataSource == nil");
        return nullptr;
    }
    using Screen = typename Recipe::Screen;
    std::unique_ptr<Screen> viewController =
        WLTableViewController::initWithDataSource<Screen>(std::move(dataSource));
    if (!viewController) {
        WL_REPORT(Recipe::kFunction, "viewController == nil");
        return nullptr;
    }
    viewController->setBackgroundImage(WLResources::imageURLNamed(
        either((mDatabase->*Recipe::kImage)(), mDatabase->backgroundImage())));
    viewController->setBackgroundColor(either((mDatabase->*Recipe::kColor)(), mDatabase->backgroundColor()));
    viewController->setAboutPresenter(mAboutPresenter);
    auto navigationController = std::make_unique<WLNavigationController>(viewController.get());
    viewController.release()->setParent(navigationController.get());
    return navigationController;
}

std::unique_ptr<WLNavigationController> WLTabBuilder::indexTab() const
{
    return build<IndexTab>();
}

std::unique_ptr<WLNavigationController> WLTabBuilder::searchTab() const
{
    return build<SearchTab>();
}

std::unique_ptr<WLNavigationController> WLTabBuilder::bookmarksTab() const
{
    return build<BookmarksTab>();
}

std::unique_ptr<WLNavigationController> WLTabBuilder::historyTab() const
{
    return build<HistoryTab>();
}
