#pragma once

#include "WLAddBookmarkViewController.h"
#include "WLViewController.h"
#include "WLWebView.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QVariantList>

#include <memory>
#include <optional>

class WLBarButtonItem;
class WLDatabase;
class WLImageViewController;
class WLSegmentedControl;
class WLSoundEffect;

// The one screen that shows an entry. A single shared instance serves all
// tabs: a list screen hands it an entry reference and pushes it on its
// stack. It builds the page through the dictionary, shows it with the page
// directory as base, and records the entry in the history. Its bar has the
// add-bookmark button and, when the dictionary has large-type pages, the
// font control. Tapped links in the page show another entry in place, play
// a sound or push the picture viewer.
class WLWebViewController : public WLViewController,
                            public WLWebViewDelegate,
                            public WLAddBookmarkViewControllerDelegate
{
    Q_OBJECT
    Q_PROPERTY(WLWebView *webView READ webView NOTIFY viewLoadedChanged)
    Q_PROPERTY(QString word READ word NOTIFY currentEntryChanged)

public:
    // The first viewer made, until it is destroyed.
    static WLWebViewController *sharedWebViewController();

    explicit WLWebViewController(QObject *parent = nullptr);
    ~WLWebViewController() override;

    WLDatabase *database() const { return mDatabase; }
    void setDatabase(WLDatabase *database) { mDatabase = database; }
    WLWebView *webView() const { return mWebView; }

    std::optional<QString> currentWord() const { return mCurrentWord; }
    // The word shown, for the views; empty before the first entry.
    QString word() const { return mCurrentWord.value_or(QString()); }
    std::optional<QVariantList> currentLinks() const { return mCurrentLinks; }
    std::optional<QVariantList> currentContentsIDs() const { return mCurrentContentsIDs; }
    QByteArray currentContentsData() const { return mCurrentContentsData; }
    bool useLargeFont() const { return mUseLargeFont; }
    WLBarButtonItem *addButtonItem() const { return mAddButtonItem; }
    // Nothing when the dictionary has no large-type pages.
    WLSegmentedControl *fontControl() const { return mFontControl; }
    const WLSoundEffect *soundEffect() const { return mSoundEffect.get(); }
    WLImageViewController *imageViewController() const { return mImageViewController.get(); }

    // Shows an entry; false (the previous one stays) when its page cannot
    // be built.
    bool setCurrentContentsIDs(const std::optional<QVariantList> &contentsIDs, const QString &word,
                               const QVariantList &links);
    // Blanks the page; the current entry stays.
    void clearContents();

    void addButtonPressed(QObject *sender);
    void addBookmarkWithController(WLAddBookmarkViewController *controller) override;
    // The font control's action: the same entry again, in the size chosen.
    void fontSizeChanged(QObject *sender);

    // A tapped link: true when the viewer handled it (an entry, a sound or
    // a picture).
    bool receiveLinkRequest(const QUrl &url);
    static bool isRequestForImage(const QUrl &url);
    void playSoundFile(const QString &path);
    void showImageFile(const QString &path);

    bool webViewShouldStartLoadWithRequest(WLWebView *webView, const QUrl &url,
                                           int navigationType) override;

    // Ctrl+plus and Ctrl+minus switch the font control; Ctrl+D opens the
    // bookmark editor.
    bool keyCommand(const WLKeyCommand &command) override;

Q_SIGNALS:
    // An entry was shown, or the viewer left its stack.
    void currentEntryChanged();

protected:
    void loadView() override;
    void viewDidDisappear(bool animated) override;

private:
    // Loads page bytes of the dictionary's charset with the page directory
    // as base.
    void loadPage(const QByteArray &htmlData);
    enum class LinkOutcome { Handled, Declined };
    LinkOutcome followLink(const QUrl &url);
    void makeFontControl();

    WLDatabase *mDatabase = nullptr;
    WLWebView *mWebView = nullptr;
    WLBarButtonItem *mAddButtonItem = nullptr;
    WLSegmentedControl *mFontControl = nullptr;
    std::optional<QString> mCurrentWord;
    std::optional<QVariantList> mCurrentLinks;
    std::optional<QVariantList> mCurrentContentsIDs;
    QByteArray mCurrentContentsData;
    std::unique_ptr<WLSoundEffect> mSoundEffect;
    std::unique_ptr<WLImageViewController> mImageViewController;
    std::optional<QByteArray> mWhiteHTMLData;
    bool mUseLargeFont = false;
};
