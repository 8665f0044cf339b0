#include "WLSearchViewController.h"

#include "WLDatabase.h"
#include "WLLocalization.h"
#include "WLNavigationItem.h"
#include "WLReport.h"
#include "WLScreen.h"
#include "WLSearchDataSource.h"
#include "WLSearchSession.h"
#include "WLTimer.h"

WLSearchViewController::WLSearchViewController(std::unique_ptr<WLDataSourceProtocol> dataSource)
    : WLTableViewController(std::move(dataSource))
{
    mSearchObserver = WLNotificationCenter::defaultCenter().addObserver(
        WLDatabaseSearchedWordsUpdate, nullptr,
        [this](const WLNotification &notification) { searchResultDidUpdate(notification); });
    mReloadTimer.setSingleShot(true);
    mReloadTimer.setInterval(0);
    connect(&mReloadTimer, &QTimer::timeout, this, &WLSearchViewController::reloadIfChanged);
    if (WLSearchDataSource *results = searchDataSource())
        results->setRowsDidChangeHandler([this] { scheduleReload(); });
}

WLSearchViewController::~WLSearchViewController()
{
    mSearchObserver.reset();
    if (WLSearchDataSource *results = searchDataSource())
        results->setRowsDidChangeHandler({});
    if (mSearchBar)
        mSearchBar->setDelegate(nullptr);
}

WLSearchDataSource *WLSearchViewController::searchDataSource() const
{
    return dynamic_cast<WLSearchDataSource *>(dataSource());
}

QString WLSearchViewController::nextInitialKeyword() const
{
    if (mInitialKeyword)
        return *mInitialKeyword;
    return mSearchBar ? mSearchBar->text() : QString();
}

QRectF WLSearchViewController::fullWidthFrame() const
{
    return {0, 0, WLScreen::mainScreen()->width(), WLSearchBar::kHeight};
}

void WLSearchViewController::loadView()
{
    WLTableViewController::loadView();
    mSearchBar = new WLSearchBar(this);
    const double width = WLScreen::mainScreen()->width();
    mSearchBar->setFrame({kSearchBarInset, 0, width - 2 * kSearchBarInset, WLSearchBar::kHeight});
    mSearchBar->setDelegate(this);
    navigationItem()->setTitleView(mSearchBar);
    mInfoButtonItem = makeInfoButtonItem();
    navigationItem()->setRightBarButtonItem(mInfoButtonItem);
    // A window made wider or narrower while the list shows.
    connect(WLScreen::mainScreen(), &WLScreen::sizeChanged, this, [this] {
        if (isOnScreen())
            mSearchBar->setFrame(fullWidthFrame());
    });
}

void WLSearchViewController::viewWillAppear(bool animated)
{
    WLTableViewController::viewWillAppear(animated);
    if (mInitialKeyword) {
        mSearchBar->setText(*mInitialKeyword);
        wlPerformAfterDelay(this, kInitialKeywordDelay,
                            [this, keyword = *mInitialKeyword] { updateWordListForKeyword(keyword); });
        mInitialKeyword.reset();
    }
    mSearchBar->setFrame(fullWidthFrame());
    // Every time the tab comes on screen, also back from an entry.
    wlPerformAfterDelay(this, kFocusDelay, [this] {
        if (isOnScreen())
            mSearchBar->becomeFirstResponder();
    });
}

void WLSearchViewController::viewWillDisappear(bool animated)
{
    WLTableViewController::viewWillDisappear(animated);
    // A field off screen keeps no keyboard focus.
    mSearchBar->resignFirstResponder();
}

void WLSearchViewController::searchResultDidUpdate(const WLNotification &)
{
    scheduleReload();
}

void WLSearchViewController::scheduleReload()
{
    if (!mReloadTimer.isActive())
        mReloadTimer.start();
}

void WLSearchViewController::reloadIfChanged()
{
    const WLSearchDataSource *results = searchDataSource();
    if (!tableView() || !results || results->revision() == mReloadedRevision)
        return;
    // Snapshots of the keyword on show only add rows: those on screen stay.
    if (results->rowsOnlyAddedSince(mReloadedRevision))
        tableView()->reloadDataAppending();
    else
        tableView()->reloadData();
    mReloadedRevision = results->revision();
    updateResultsSummary();
}

void WLSearchViewController::updateResultsSummary()
{
    const WLDataSourceProtocol *results = dataSource();
    QString summary;
    if (results && mSearchBar && !mSearchBar->text().isEmpty()) {
        const QString suggestions = WLLocalization::localizedString("MainView.SearchMode.Section.DidYouMean");
        int matches = 0;
        for (qsizetype section = 0; section < results->numberOfSectionsInTableView(); ++section) {
            if (results->tableViewTitleForHeaderInSection(section) != suggestions)
                matches += int(results->tableViewNumberOfRowsInSection(section));
        }
        summary = matches == 0 ? WLLocalization::localizedString("Accessibility.NoResults")
                               : qtTrId("Accessibility.Results", matches);
    }
    if (summary == mResultsSummary)
        return;
    mResultsSummary = summary;
    Q_EMIT resultsSummaryChanged();
}

void WLSearchViewController::updateWordListForKeyword(const std::optional<QString> &keyword)
{
    WLSearchDataSource *results = searchDataSource();
    if (!keyword || keyword->isEmpty()) {
        if (results)
            results->searchKeyword(QString());
        mCurrentKeyword = QString();
        // The old results stay until the worker's clear arrives.
        if (tableView())
            tableView()->reloadData();
        return;
    }
    if (mCurrentKeyword && *mCurrentKeyword == *keyword)
        return;
    if (results)
        results->searchKeyword(*keyword);
    mCurrentKeyword = *keyword;
}

void WLSearchViewController::searchBarTextDidChange(WLSearchBar *searchBar, const QString &text)
{
    updateWordListForKeyword(text);
    if (tableView() && dataSource()->tableViewNumberOfRowsInSection(0) > 0)
        tableView()->scrollToRowAtIndexPath({0, 0}, WLTableView::Top, false);
    // Cancel shows exactly while the text is empty.
    if (searchBar->showsCancelButton() != text.isEmpty())
        searchBar->setShowsCancelButton(text.isEmpty(), kAnimationDuration);
}

bool WLSearchViewController::searchBarShouldBeginEditing(WLSearchBar *searchBar)
{
    searchBar->setAutocapitalizationType(WLSearchBar::CapitalizationNone);
    searchBar->setAutocorrectionType(WLSearchBar::CorrectionNo);
    searchBar->setFrame(fullWidthFrame(), kAnimationDuration);
    searchBar->setShowsCancelButton(searchBar->text().isEmpty(), kAnimationDuration);
    mSavedKeyword = mCurrentKeyword;
    return true;
}

void WLSearchViewController::searchBarTextDidEndEditing(WLSearchBar *searchBar)
{
    searchBar->setShowsCancelButton(false);
}

void WLSearchViewController::searchBarSearchButtonClicked(WLSearchBar *searchBar)
{
    searchBar->resignFirstResponder();
    updateWordListForKeyword(searchBar->text());
    mSavedKeyword.reset();
}

void WLSearchViewController::searchBarCancelButtonClicked(WLSearchBar *searchBar)
{
    searchBar->resignFirstResponder();
    if (!mSavedKeyword || mSavedKeyword->isEmpty()) {
        updateWordListForKeyword(std::nullopt);
        searchBar->setText(QString());
    } else if (mSavedKeyword != mCurrentKeyword) {
        updateWordListForKeyword(*mSavedKeyword);
        searchBar->setText(*mSavedKeyword);
    }
    mSavedKeyword.reset();
}

bool WLSearchViewController::startsSearch(const QString &typed)
{
    return !typed.isEmpty()
           && (typed.at(0).isLetterOrNumber() || typed.at(0) == u'*' || typed.at(0) == u'?');
}

void WLSearchViewController::searchForTypedText(const QString &text)
{
    loadViewIfNeeded();
    if (!mSearchBar->becomeFirstResponder())
        return;
    mSearchBar->editText(text);
}

void WLSearchViewController::searchKeyword(const QString &keyword)
{
    if (!isOnScreen() || !mSearchBar) {
        setInitialKeyword(keyword);
        return;
    }
    mSearchBar->setText(keyword);
    updateWordListForKeyword(keyword);
}

void WLSearchViewController::focusSearchField()
{
    loadViewIfNeeded();
    mSearchBar->becomeFirstResponder();
}

void WLSearchViewController::selectAdjacentRow(int step)
{
    WLTableView *table = tableView();
    const int count = table->model()->rowCount();
    if (count == 0)
        return;
    const int selected = table->selectedRow();
    const int row = qBound(0, selected < 0 ? (step > 0 ? 0 : count - 1) : selected + step, count - 1);
    if (const std::optional<WLIndexPath> indexPath = table->indexPathForRow(row)) {
        table->selectRowAtIndexPath(*indexPath);
        table->scrollToRowAtIndexPath(*indexPath, WLTableView::None, false);
    }
}

bool WLSearchViewController::keyCommand(const WLKeyCommand &command)
{
    if (!mSearchBar || !tableView())
        return false;
    const bool editing = mSearchBar->isFirstResponder();
    const bool plain = !(command.modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    switch (command.key) {
    case Qt::Key_Escape:
        if (!editing)
            return false;
        searchBarCancelButtonClicked(mSearchBar);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        selectAdjacentRow(command.key == Qt::Key_Up ? -1 : 1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Without a chosen row it is the field's Search button.
        if (const std::optional<WLIndexPath> selected = tableView()->indexPathForSelectedRow()) {
            tableViewDidSelectRowAtIndexPath(tableView(), *selected);
            return true;
        }
        return false;
    case Qt::Key_F:
        if (command.modifiers & Qt::ControlModifier) {
            focusSearchField();
            return true;
        }
        break;
    default:
        break;
    }
    if (editing || !plain || command.text.isEmpty())
        return false;
    if (command.text == u"/") {
        focusSearchField();
        return true;
    }
    if (startsSearch(command.text)) {
        searchForTypedText(command.text);
        return true;
    }
    return false;
}
