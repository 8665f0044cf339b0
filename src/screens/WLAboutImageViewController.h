#pragma once

#include "WLControl.h"
#include "WLImageView.h"
#include "WLViewController.h"

#include <QString>
#include <QUrl>

class WLAboutPresenter;
class WLDictionaryHost;
class WLAboutWebViewController;
class WLBarButtonItem;
class WLSettingsViewController;

// The About screen, the root of the stack that flips in over the tab bar:
// the about picture, "Done" to flip back, and a momentary segmented
// control that opens the settings or the About page.
class WLAboutImageViewController : public WLViewController
{
    Q_OBJECT
    Q_PROPERTY(WLImageView *imageView READ imageView NOTIFY viewLoadedChanged)

public:
    explicit WLAboutImageViewController(QObject *parent = nullptr);

    WLImageView *imageView() const { return mImageView; }

    // The segments "Settings" (unless the dictionary hides its settings
    // and there is no list of dictionaries to offer) and "About" (when
    // offerAbout); nothing without a segment.
    WLBarButtonItem *rightBarButtonItem(bool offerAbout);
    // The About page: the dictionary's, in the user's language first, else
    // the reader's own; empty when there is none.
    static QString aboutHTMLBasePath();
    // A path of aboutHTMLBasePath as a URL the web view loads.
    static QUrl urlForPath(const QString &path);

    // Done's action: back to the tabs, through the presenter.
    void backButtonPressed(QObject *sender);
    void setAboutPresenter(WLAboutPresenter *presenter) { mAboutPresenter = presenter; }
    // Who opens and adds dictionaries, for the settings' list of them.
    void setDictionaryHost(WLDictionaryHost *host) { mDictionaryHost = host; }
    void aboutButtonPressed(QObject *sender);
    void settingsButtonPressed(QObject *sender);
    void segmentedButtonPressed(QObject *control);
    // Escape is Done.
    bool keyCommand(const WLKeyCommand &command) override;

    WLAboutWebViewController *aboutWebViewController() const { return mAboutWebViewController; }
    WLSettingsViewController *settingsViewController() const { return mSettingsViewController; }

protected:
    void loadView() override;

private:
    WLAboutPresenter *mAboutPresenter = nullptr;
    WLDictionaryHost *mDictionaryHost = nullptr;
    WLImageView *mImageView = nullptr;
    WLAboutWebViewController *mAboutWebViewController = nullptr;
    WLSettingsViewController *mSettingsViewController = nullptr;
};
