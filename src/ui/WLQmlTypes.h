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

    template <typename T> static T *handOut(T *object)
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
    static WLReaderApp *create(QQmlEngine *, QJSEngine *)
    {
        return WLQmlInstances::handOut(WLQmlInstances::app().data());
    }
};

struct WLScreenViewsForeign
{
    Q_GADGET
    QML_FOREIGN(WLScreenViews)
    QML_NAMED_ELEMENT(Views)
    QML_SINGLETON

public:
    static WLScreenViews *create(QQmlEngine *, QJSEngine *)
    {
        return WLQmlInstances::handOut(WLQmlInstances::views().data());
    }
};

struct WLColorSchemeForeign
{
    Q_GADGET
    QML_FOREIGN(WLColorScheme)
    QML_NAMED_ELEMENT(ColorScheme)
    QML_SINGLETON

public:
    static WLColorScheme *create(QQmlEngine *, QJSEngine *)
    {
        return WLQmlInstances::handOut(WLQmlInstances::colorScheme().data());
    }
};

struct WLInputModeForeign
{
    Q_GADGET
    QML_FOREIGN(WLInputMode)
    QML_NAMED_ELEMENT(InputMode)
    QML_SINGLETON

public:
    static WLInputMode *create(QQmlEngine *, QJSEngine *)
    {
        return WLQmlInstances::handOut(WLQmlInstances::inputMode().data());
    }
};

// The application frame is one for the process.
struct WLScreenForeign
{
    Q_GADGET
    QML_FOREIGN(WLScreen)
    QML_NAMED_ELEMENT(MainScreen)
    QML_SINGLETON

public:
    static WLScreen *create(QQmlEngine *, QJSEngine *)
    {
        return WLQmlInstances::handOut(WLScreen::mainScreen());
    }
};

// Classes QML knows by their own names but never makes: the screens' own
// code makes them.
#define WL_QML_UNCREATABLE(Type)                                                                   \
    struct Type##Foreign                                                                           \
    {                                                                                              \
        Q_GADGET                                                                                   \
        QML_FOREIGN(Type)                                                                          \
        QML_NAMED_ELEMENT(Type)                                                                    \
        QML_UNCREATABLE("made by the controllers")                                                 \
    };

WL_QML_UNCREATABLE(WLViewController)
WL_QML_UNCREATABLE(WLNavigationController)
WL_QML_UNCREATABLE(WLTabBarController)
WL_QML_UNCREATABLE(WLNavigationItem)
WL_QML_UNCREATABLE(WLBarButtonItem)
WL_QML_UNCREATABLE(WLControl)
WL_QML_UNCREATABLE(WLButton)
WL_QML_UNCREATABLE(WLImageView)
WL_QML_UNCREATABLE(WLSegmentedControl)
WL_QML_UNCREATABLE(WLSwitch)
WL_QML_UNCREATABLE(WLWebView)
WL_QML_UNCREATABLE(WLTableView)
WL_QML_UNCREATABLE(WLTableViewController)
WL_QML_UNCREATABLE(WLWebViewController)
WL_QML_UNCREATABLE(WLWindow)
WL_QML_UNCREATABLE(WLContainerView)
WL_QML_UNCREATABLE(WLAppDelegate)
WL_QML_UNCREATABLE(WLScrollView)
WL_QML_UNCREATABLE(WLTextView)
WL_QML_UNCREATABLE(WLTextViewCell)
WL_QML_UNCREATABLE(WLImageViewController)
WL_QML_UNCREATABLE(WLAddBookmarkViewController)
WL_QML_UNCREATABLE(WLSearchBar)
WL_QML_UNCREATABLE(WLSearchViewController)
WL_QML_UNCREATABLE(WLAboutImageViewController)
WL_QML_UNCREATABLE(WLAboutWebViewController)
WL_QML_UNCREATABLE(WLSettingsViewController)

#undef WL_QML_UNCREATABLE

// Cells a view makes for itself.
struct WLBookmarkListCellForeign
{
    Q_GADGET
    QML_FOREIGN(WLBookmarkListCell)
    QML_NAMED_ELEMENT(WLBookmarkListCell)
};

struct WLDisplayCellForeign
{
    Q_GADGET
    QML_FOREIGN(WLDisplayCell)
    QML_NAMED_ELEMENT(WLDisplayCell)
};
