#pragma once

// The C++ types the window's QML knows, as the module WLReader.Kit. The
// toolkit and the screens stay free of Qt Quick, so their classes are named
// here, as foreign types; qmltyperegistrar registers them and describes
// them (wlui.qmltypes) for qmllint.

#include "WLAboutImageViewController.h"
#include "WLAboutWebViewController.h"
#include "WLAddBookmarkViewController.h"
#include "WLAppDelegate.h"
#include "WLBarButtonItem.h"
#include "WLBookmarkListCell.h"
#include "WLButton.h"
#include "WLColorScheme.h"
#include "WLContainerView.h"
#include "WLControl.h"
#include "WLDisplayCell.h"
#include "WLImageView.h"
#include "WLImageViewController.h"
#include "WLInputMode.h"
#include "WLNavigationController.h"
#include "WLNavigationItem.h"
#include "WLReaderApp.h"
#include "WLScreen.h"
#include "WLScreenViews.h"
#include "WLScrollView.h"
#include "WLSearchBar.h"
#include "WLSearchViewController.h"
#include "WLSegmentedControl.h"
#include "WLSettingsViewController.h"
#include "WLSwitch.h"
#include "WLTabBarController.h"
#include "WLTableView.h"
#include "WLTableViewController.h"
#include "WLTextView.h"
#include "WLTextViewCell.h"
#include "WLViewController.h"
#include "WLWebView.h"
#include "WLWebViewController.h"
#include "WLWindow.h"

#include <QJSEngine>
#include <QPointer>
#include <QtQml/qqml.h>

class QQmlEngine;

// The objects of one window that QML knows as singletons. The shell sets
// them before it loads the window; an engine asks for each once, the first
// time QML names it, and never owns it.
class WLQmlInstances
{
public:
    static void set(WLReaderApp *app, WLScreenViews *views, WLColorScheme *colorScheme,
                    WLInputMode *inputMode);

    template <typename T>
    static T *handOut(T *object)
    {
        if (object)
            QJSEngine::setObjectOwnership(object, QJSEngine::CppOwnership);
        return object;
    }

    static QPointer<WLReaderApp> &app();
    static QPointer<WLScreenViews> &views();
    static QPointer<WLColorScheme> &colorScheme();
    static QPointer<WLInputMode> &inputMode();
};

struct WLReaderAppForeign
{
    Q_GADGET
    QML_FOREIGN(WLReaderApp)
    QML_NAMED_ELEMENT(App)
    QML_SINGLETON

public:
    static WLReaderApp *create(QQmlEngine *, QJSEngine *) { return WLQmlInstances::handOut(WLQmlInstances::app().data()); }
};

struct WLScreenViewsForeign
{
    Q_GADGET
    QML_FOREIGN(WLScreenViews)
    QML_NAMED_ELEMENT(Views)
    QML_SINGLETON

public:
    static WLScreenViews *create(QQmlEngine *, QJSEngine *) { return WLQmlInstances::handOut(WLQmlInstances::views().data()); }
};

struct WLColorSchemeForeign
{
    Q_GADGET
    QML_FOREIGN(WLColorScheme)
    QML_NAMED_ELEMENT(ColorScheme)
    QML_SINGLETON

public:
    static WLColorScheme *create(QQmlEngine *, QJSEngine *) { return WLQmlInstances::handOut(WLQmlInstances::colorScheme().data()); }
};

struct WLInputModeForeign
{
    Q_GADGET
    QML_FOREIGN(WLInputMode)
    QML_NAMED_ELEMENT(InputMode)
    QML_SINGLETON

public:
    static WLInputMode *create(QQmlEngine *, QJSEngine *) { return WLQmlInstances::handOut(WLQmlInstances::inputMode().data()); }
};

// The application frame is one for the process.
struct WLScreenForeign
{
    Q_GADGET
    QML_FOREIGN(WLScreen)
    QML_NAMED_ELEMENT(MainScreen)
    QML_SINGLETON

public:
    static WLScreen *create(QQmlEngine *, QJSEngine *) { return WLQmlInstances::handOut(WLScreen::mainScreen()); }
};

// Made by the screens' own code only.
struct WLViewControllerForeign { Q_GADGET QML_FOREIGN(WLViewController) QML_NAMED_ELEMENT(WLViewController) QML_UNCREATABLE("made by the controllers") };
struct WLNavigationControllerForeign { Q_GADGET QML_FOREIGN(WLNavigationController) QML_NAMED_ELEMENT(WLNavigationController) QML_UNCREATABLE("made by the controllers") };
struct WLTabBarControllerForeign { Q_GADGET QML_FOREIGN(WLTabBarController) QML_NAMED_ELEMENT(WLTabBarController) QML_UNCREATABLE("made by the controllers") };
struct WLNavigationItemForeign { Q_GADGET QML_FOREIGN(WLNavigationItem) QML_NAMED_ELEMENT(WLNavigationItem) QML_UNCREATABLE("made by the controllers") };
struct WLBarButtonItemForeign { Q_GADGET QML_FOREIGN(WLBarButtonItem) QML_NAMED_ELEMENT(WLBarButtonItem) QML_UNCREATABLE("made by the controllers") };
struct WLControlForeign { Q_GADGET QML_FOREIGN(WLControl) QML_NAMED_ELEMENT(WLControl) QML_UNCREATABLE("made by the controllers") };
struct WLButtonForeign { Q_GADGET QML_FOREIGN(WLButton) QML_NAMED_ELEMENT(WLButton) QML_UNCREATABLE("made by the controllers") };
struct WLImageViewForeign { Q_GADGET QML_FOREIGN(WLImageView) QML_NAMED_ELEMENT(WLImageView) QML_UNCREATABLE("made by the controllers") };
struct WLSegmentedControlForeign { Q_GADGET QML_FOREIGN(WLSegmentedControl) QML_NAMED_ELEMENT(WLSegmentedControl) QML_UNCREATABLE("made by the controllers") };
struct WLSwitchForeign { Q_GADGET QML_FOREIGN(WLSwitch) QML_NAMED_ELEMENT(WLSwitch) QML_UNCREATABLE("made by the controllers") };
struct WLWebViewForeign { Q_GADGET QML_FOREIGN(WLWebView) QML_NAMED_ELEMENT(WLWebView) QML_UNCREATABLE("made by the controllers") };
struct WLTableViewForeign { Q_GADGET QML_FOREIGN(WLTableView) QML_NAMED_ELEMENT(WLTableView) QML_UNCREATABLE("made by the controllers") };
struct WLTableViewControllerForeign { Q_GADGET QML_FOREIGN(WLTableViewController) QML_NAMED_ELEMENT(WLTableViewController) QML_UNCREATABLE("made by the controllers") };
struct WLWebViewControllerForeign { Q_GADGET QML_FOREIGN(WLWebViewController) QML_NAMED_ELEMENT(WLWebViewController) QML_UNCREATABLE("made by the controllers") };
struct WLWindowForeign { Q_GADGET QML_FOREIGN(WLWindow) QML_NAMED_ELEMENT(WLWindow) QML_UNCREATABLE("made by the controllers") };
struct WLContainerViewForeign { Q_GADGET QML_FOREIGN(WLContainerView) QML_NAMED_ELEMENT(WLContainerView) QML_UNCREATABLE("made by the controllers") };
struct WLAppDelegateForeign { Q_GADGET QML_FOREIGN(WLAppDelegate) QML_NAMED_ELEMENT(WLAppDelegate) QML_UNCREATABLE("made by the controllers") };
struct WLScrollViewForeign { Q_GADGET QML_FOREIGN(WLScrollView) QML_NAMED_ELEMENT(WLScrollView) QML_UNCREATABLE("made by the controllers") };
struct WLTextViewForeign { Q_GADGET QML_FOREIGN(WLTextView) QML_NAMED_ELEMENT(WLTextView) QML_UNCREATABLE("made by the controllers") };
struct WLTextViewCellForeign { Q_GADGET QML_FOREIGN(WLTextViewCell) QML_NAMED_ELEMENT(WLTextViewCell) QML_UNCREATABLE("made by the controllers") };
struct WLImageViewControllerForeign { Q_GADGET QML_FOREIGN(WLImageViewController) QML_NAMED_ELEMENT(WLImageViewController) QML_UNCREATABLE("made by the controllers") };
struct WLAddBookmarkViewControllerForeign { Q_GADGET QML_FOREIGN(WLAddBookmarkViewController) QML_NAMED_ELEMENT(WLAddBookmarkViewController) QML_UNCREATABLE("made by the controllers") };
struct WLSearchBarForeign { Q_GADGET QML_FOREIGN(WLSearchBar) QML_NAMED_ELEMENT(WLSearchBar) QML_UNCREATABLE("made by the controllers") };
struct WLSearchViewControllerForeign { Q_GADGET QML_FOREIGN(WLSearchViewController) QML_NAMED_ELEMENT(WLSearchViewController) QML_UNCREATABLE("made by the controllers") };
struct WLAboutImageViewControllerForeign { Q_GADGET QML_FOREIGN(WLAboutImageViewController) QML_NAMED_ELEMENT(WLAboutImageViewController) QML_UNCREATABLE("made by the controllers") };
struct WLAboutWebViewControllerForeign { Q_GADGET QML_FOREIGN(WLAboutWebViewController) QML_NAMED_ELEMENT(WLAboutWebViewController) QML_UNCREATABLE("made by the controllers") };
struct WLSettingsViewControllerForeign { Q_GADGET QML_FOREIGN(WLSettingsViewController) QML_NAMED_ELEMENT(WLSettingsViewController) QML_UNCREATABLE("made by the controllers") };

// Cells a view makes for itself.
struct WLBookmarkListCellForeign { Q_GADGET QML_FOREIGN(WLBookmarkListCell) QML_NAMED_ELEMENT(WLBookmarkListCell) };
struct WLDisplayCellForeign { Q_GADGET QML_FOREIGN(WLDisplayCell) QML_NAMED_ELEMENT(WLDisplayCell) };
