#include "WLScreenViews.h"

#include "WLViewController.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>

WLScreenViews::WLScreenViews(QQmlEngine *engine, QObject *parent)
    : QObject(parent), mEngine(engine)
{
}

WLScreenViews::~WLScreenViews()
{
    clear();
}

void WLScreenViews::clear()
{
    const auto views = std::exchange(mViews, {});
    for (const QPointer<QQuickItem> &view : views)
        delete view.data();
    qDeleteAll(mComponents);
    mComponents.clear();
}

QQmlComponent *WLScreenViews::componentFor(const QString &viewKind)
{
    auto it = mComponents.find(viewKind);
    if (it == mComponents.end()) {
        auto *component = new QQmlComponent(
            mEngine, QUrl(QStringLiteral("qrc:/WLReader/Kit/%1.qml").arg(viewKind)),
            QQmlComponent::PreferSynchronous);
        if (component->isError())
            qWarning("wlreader: %s", qPrintable(component->errorString()));
        it = mComponents.insert(viewKind, component);
    }
    return *it;
}

QQuickItem *WLScreenViews::viewFor(QObject *object)
{
    auto *controller = qobject_cast<WLViewController *>(object);
    if (!controller)
        return nullptr;
    if (QQuickItem *view = mViews.value(controller))
        return view;
    QQmlComponent *component = componentFor(controller->viewKind());
    QObject *created = component->createWithInitialProperties(
        {{QStringLiteral("controller"), QVariant::fromValue(static_cast<QObject *>(controller))}});
    auto *view = qobject_cast<QQuickItem *>(created);
    if (!view) {
        delete created;
        return nullptr;
    }
    QQmlEngine::setObjectOwnership(view, QQmlEngine::CppOwnership);
    mViews.insert(controller, view);
    connect(controller, &QObject::destroyed, view, [this, controller, view = QPointer(view)] {
        mViews.remove(controller);
        if (view)
            view->deleteLater();
    });
    return view;
}
