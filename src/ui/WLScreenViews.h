#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class QQmlComponent;
class QQmlEngine;
class QQuickItem;
class WLViewController;

// The views of the screens: one item per screen, made on first use from
// the QML component named after the screen's view kind and kept while the
// screen lives, so a screen shown again keeps its scroll position and a
// web page its engine.
class WLScreenViews : public QObject
{
    Q_OBJECT

public:
    explicit WLScreenViews(QQmlEngine *engine, QObject *parent = nullptr);
    ~WLScreenViews() override;

    Q_INVOKABLE QQuickItem *viewFor(QObject *controller);
    // Drops every view (before the engine goes).
    void clear();

private:
    QQmlComponent *componentFor(const QString &viewKind);

    QQmlEngine *mEngine;
    QHash<QString, QQmlComponent *> mComponents;
    QHash<const QObject *, QPointer<QQuickItem>> mViews;
};
