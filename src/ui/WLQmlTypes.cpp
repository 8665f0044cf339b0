#include "WLQmlTypes.h"

void WLQmlInstances::set(WLReaderApp *app, WLScreenViews *views, WLColorScheme *colorScheme,
                         WLInputMode *inputMode)
{
    WLQmlInstances::app() = app;
    WLQmlInstances::views() = views;
    WLQmlInstances::colorScheme() = colorScheme;
    WLQmlInstances::inputMode() = inputMode;
}

QPointer<WLReaderApp> &WLQmlInstances::app()
{
    static QPointer<WLReaderApp> instance;
    return instance;
}

QPointer<WLScreenViews> &WLQmlInstances::views()
{
    static QPointer<WLScreenViews> instance;
    return instance;
}

QPointer<WLColorScheme> &WLQmlInstances::colorScheme()
{
    static QPointer<WLColorScheme> instance;
    return instance;
}

QPointer<WLInputMode> &WLQmlInstances::inputMode()
{
    static QPointer<WLInputMode> instance;
    return instance;
}
