#include "WLWebViewController.h"

#include "WLBarButtonItem.h"
#include "WLBookmarksDataSource.h"
#include "WLConstants.h"
#include "WLDatabase.h"
#include "WLHistoryDataSource.h"
#include "WLImage.h"
#include "WLImageViewController.h"
#include "WLLinkRouter.h"
#include "WLLocalization.h"
#include "WLNavigationController.h"
#include "WLNavigationItem.h"
#include "WLReport.h"
#include "WLResources.h"
#include "WLSegmentedControl.h"
#include "WLSoundEffect.h"
#include "WLUserDefaults.h"

namespace {
WLWebViewController *gSharedWebViewController = nullptr;
} // namespace

WLWebViewController *WLWebViewController::sharedWebViewController()
{
    return gSharedWebViewController;
}

WLWebViewController::WLWebViewController(QObject *parent)
    : WLViewController(QStringLiteral("PageScreen"), parent)
{
    if (!gSharedWebViewController)
        gSharedWebViewController = this;
}

WLWebViewController::~WLWebViewController()
{
    if (mWebView)
        mWebView->setDelegate(nullptr);
    WLAddBookmarkViewController *editor = WLAddBookmarkViewController::sharedViewController();
    if (editor && editor->delegate() == this)
        editor->setDelegate(nullptr);
    if (gSharedWebViewController == this)
        gSharedWebViewController = nullptr;
}

void WLWebViewController::loadView()
{
    mWebView = new WLWebView(false, this);
    mWebView->setDelegate(this);

    mAddButtonItem = new WLBarButtonItem(
        WLBarButtonItem::Add, [this](WLBarButtonItem *sender) { addButtonPressed(sender); }, this);
    mAddButtonItem->setAccessibilityLabel(WLLocalization::localizedString("Accessibility.AddBookmark"));
    navigationItem()->setRightBarButtonItem(mAddButtonItem);

    // The application delegate gives the viewer its dictionary after this;
    // the shared one says whether it has large-type pages.
    const WLDatabase *database = WLDatabase::sharedDatabase();
    if (!database || !database->isSupportLargeFont()) {
        mUseLargeFont = false;
        return;
    }
    mUseLargeFont = WLUserDefaults::standardUserDefaults()->boolForKey(WLPrefDisplayLargeFont);
    makeFontControl();
}

void WLWebViewController::makeFontControl()
{
    static constexpr char kFn[] = "-[WLWebViewController loadView]";
    const QStringList images{WLResources::imageURLNamed(QStringLiteral("SmallA22.png")),
                             WLResources::imageURLNamed(QStringLiteral("LargeA22.png"))};
    if (images.contains(QString())) {
        WL_REPORT(kFn, "textArray == nil");
        return;
    }
    mFontControl = new WLSegmentedControl({}, images, this);
    mFontControl->setSegmentedControlStyle(WLSegmentedControl::Bar);
    mFontControl->setFrame(QRectF(5, 5, 120, 30));
    mFontControl->setMomentary(false);
    mFontControl->setAccessibilityLabels({WLLocalization::localizedString("Accessibility.NormalType"),
                                          WLLocalization::localizedString("Accessibility.LargeType")});
    mFontControl->setSelectedSegmentIndex(mUseLargeFont ? 1 : 0);
    mFontControl->addTarget(WLControlEvent::ValueChanged,
                            [this](WLControl *sender) { fontSizeChanged(sender); });
    navigationItem()->setTitleView(mFontControl);
}

bool WLWebViewController::setCurrentContentsIDs(const std::optional<QVariantList> &contentsIDs,
                                                const QString &word, const QVariantList &links)
{
    static constexpr char kFn[] = "-[WLWebViewController setCurrentContentsIDs:word:links:]";
    if (!contentsIDs) {
        WL_REPORT(kFn, "contentsIDs == nil");
        return false;
    }
    std::optional<QByteArray> htmlData =
        mDatabase ? mDatabase->newHtmlDataForIDs(*contentsIDs, mUseLargeFont) : std::nullopt;
    if (!htmlData) {
        WL_REPORT(kFn, "htmlData == nil");
        return false;
    }
    mCurrentWord = word;
    mCurrentLinks = links;
    mCurrentContentsData = std::move(*htmlData);
    mCurrentContentsIDs = contentsIDs;
    loadPage(mCurrentContentsData);
    Q_EMIT currentEntryChanged();
    if (WLHistoryDataSource *history = WLHistoryDataSource::sharedHistory())
        history->addHistory(word, links, *contentsIDs);
    return true;
}

void WLWebViewController::loadPage(const QByteArray &htmlData)
{
    if (mWebView && mDatabase)
        mWebView->loadData(htmlData, QStringLiteral("text/html"), mDatabase->htmlEncoding(),
                           mDatabase->htmlBaseURL());
}

void WLWebViewController::clearContents()
{
    static constexpr char kFn[] = "-[WLWebViewController clearContents]";
    if (!mWhiteHTMLData) {
        if (WLResources::pathForResource(QStringLiteral("WhitePage.html")).isEmpty()) {
            WL_REPORT(kFn, "path == nil");
            return;
        }
        mWhiteHTMLData = WLResources::dataForResource(QStringLiteral("WhitePage.html"));
        if (!mWhiteHTMLData) {
            WL_REPORT(kFn, "mWhiteHTMLData == nil");
            return;
        }
    }
    if (mWebView)
        mWebView->loadData(*mWhiteHTMLData, QStringLiteral("text/html"), QStringLiteral("UTF-8"),
                           QUrl());
}

void WLWebViewController::viewDidDisappear(bool)
{
    if (!parentViewController()) {
        clearContents();
        Q_EMIT currentEntryChanged();
    }
}

void WLWebViewController::addButtonPressed(QObject *)
{
    WLAddBookmarkViewController *viewController = WLAddBookmarkViewController::sharedViewController();
    if (!viewController) {
        WL_REPORT("-[WLWebViewController addButtonPressed:]", "viewController == nil");
        return;
    }
    viewController->setDelegate(this);
    viewController->setWord(mCurrentWord);
    viewController->setLinks(mCurrentLinks);
    viewController->setContentsIDs(mCurrentContentsIDs);
    viewController->setNotes(QString());
    viewController->setNewBookmark(true);
    WLViewController *presenter = navigationController();
    (presenter ? presenter : this)->presentModalViewController(viewController, true);
}

void WLWebViewController::addBookmarkWithController(WLAddBookmarkViewController *controller)
{
    static constexpr char kFn[] = "-[WLWebViewController addBookmarkWithController:]";
    const std::optional<QString> newWord = controller->word();
    const std::optional<QVariantList> newLinks = controller->links();
    const std::optional<QString> newNotes = controller->notes().value_or(QString());
    const std::optional<QVariantList> newContentsIDs = controller->contentsIDs();
    if (!newWord) {
        WL_REPORT(kFn, "newWord == nil");
        return;
    }
    if (!newLinks) {
        WL_REPORT(kFn, "newLinks == nil");
        return;
    }
    if (!newContentsIDs) {
        WL_REPORT(kFn, "newContentsIDs == nil");
        return;
    }
    WLBookmarksDataSource *bookmarks = WLBookmarksDataSource::sharedBookmarks();
    if (!bookmarks) {
        WL_REPORT(kFn, "bookmarks == nil");
        return;
    }
    bookmarks->addBookmark(newWord, newLinks, newNotes, newContentsIDs);
}

void WLWebViewController::fontSizeChanged(QObject *sender)
{
    static constexpr char kFn[] = "-[WLWebViewController fontSizeChanged:]";
    const auto *control = qobject_cast<WLSegmentedControl *>(sender);
    if (!control) {
        WL_REPORT(kFn, "![control isKindOfClass:[UISegmentedControl class]]");
        return;
    }
    mUseLargeFont = control->selectedSegmentIndex() == 1;
    WLUserDefaults::standardUserDefaults()->setBool(mUseLargeFont, WLPrefDisplayLargeFont);
    std::optional<QByteArray> htmlData = mDatabase && mCurrentContentsIDs
                                             ? mDatabase->newHtmlDataForIDs(*mCurrentContentsIDs,
                                                                            mUseLargeFont)
                                             : std::nullopt;
    if (!htmlData) {
        WL_REPORT(kFn, "htmlData == nil");
        return;
    }
    mCurrentContentsData = std::move(*htmlData);
    loadPage(mCurrentContentsData);
}

bool WLWebViewController::webViewShouldStartLoadWithRequest(WLWebView *, const QUrl &url,
                                                            int navigationType)
{
    // The viewer's own loads and everything but a tap go their way.
    if (navigationType != WLWebView::LinkClicked)
        return true;
    return followLink(url) == LinkOutcome::Declined;
}

bool WLWebViewController::receiveLinkRequest(const QUrl &url)
{
    return followLink(url) == LinkOutcome::Handled;
}

WLWebViewController::LinkOutcome WLWebViewController::followLink(const QUrl &url)
{
    static constexpr char kFn[] = "-[WLWebViewController receiveLinkRequest:]";
    const WLLinkRouter::Route route =
        WLLinkRouter(mDatabase ? mDatabase->htmlBaseURL() : QUrl()).route(url);
    switch (route.action) {
    case WLLinkRouter::Route::Decline:
        // Left to the web view, which opens only the page directory's
        // files in place and other sites in the desktop's browser.
        return LinkOutcome::Declined;
    case WLLinkRouter::Route::PlaySound:
        playSoundFile(route.path);
        return LinkOutcome::Handled;
    case WLLinkRouter::Route::ShowImage:
        showImageFile(route.path);
        return LinkOutcome::Handled;
    case WLLinkRouter::Route::ShowEntry:
        break;
    }
    QString wordString;
    QString linkString;
    int contentsID = 0;
    if (!mDatabase ||
        !mDatabase->getName(&wordString, &linkString, &contentsID, route.contentsLinkID)) {
        WL_REPORT(kFn, "![mDatabase getName:&wordString link:&linkString contentsID:&contentsID "
                       "atContentsLinkID:contentsLinkID]");
        return LinkOutcome::Declined;
    }
    // In place: nothing is pushed, and the history records it.
    setCurrentContentsIDs(QVariantList{QString::number(contentsID)}, wordString,
                          QVariantList{linkString});
    return LinkOutcome::Handled;
}

bool WLWebViewController::isRequestForImage(const QUrl &url)
{
    return WLLinkRouter::isRequestForImage(url);
}

void WLWebViewController::playSoundFile(const QString &path)
{
    static constexpr char kFn[] = "-[WLWebViewController playSoundFile:]";
    if (path.isEmpty()) {
        WL_REPORT(kFn, "soundFile == nil");
        return;
    }
    // The same sound again replays without reading the file.
    if (!mSoundEffect || !mSoundEffect->isEqualToFileAtPath(path)) {
        mSoundEffect.reset();
        mSoundEffect = WLSoundEffect::initWithContentsOfFile(path);
        if (!mSoundEffect) {
            WL_REPORT(kFn, "mSoundEffect == nil");
            return;
        }
    }
    mSoundEffect->play();
}

void WLWebViewController::showImageFile(const QString &path)
{
    static constexpr char kFn[] = "-[WLWebViewController showImageFile:]";
    if (!mImageViewController) {
        mImageViewController = std::make_unique<WLImageViewController>();
        mImageViewController->loadViewIfNeeded();
    }
    const std::optional<WLImage> image = WLImage::imageWithContentsOfFile(path);
    if (!image) {
        WL_REPORT(kFn, "image == nil");
        return;
    }
    mImageViewController->setImage(image);
    if (WLNavigationController *navigation = navigationController())
        navigation->pushViewController(mImageViewController.get(), true);
}

bool WLWebViewController::keyCommand(const WLKeyCommand &command)
{
    const Qt::KeyboardModifiers modifiers = command.modifiers & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (modifiers != Qt::ControlModifier)
        return false;
    switch (command.key) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        if (!mFontControl)
            return false;
        mFontControl->tapSegment(1);
        return true;
    case Qt::Key_Minus:
        if (!mFontControl)
            return false;
        mFontControl->tapSegment(0);
        return true;
    case Qt::Key_D:
        addButtonPressed(this);
        return true;
    default:
        return false;
    }
}
