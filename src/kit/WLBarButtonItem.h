#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

// A button of a navigation bar: one of the platform's stock items, a titled
// button, or a custom view (a control of this toolkit) shown as it is.
//
// Threading: main thread only.
class WLBarButtonItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int systemItem READ systemItem NOTIFY changed)
    Q_PROPERTY(QString title READ title NOTIFY changed)
    Q_PROPERTY(int style READ style NOTIFY changed)
    Q_PROPERTY(QObject *customView READ customView CONSTANT)
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled NOTIFY changed)
    Q_PROPERTY(QString accessibilityLabel READ accessibilityLabel NOTIFY changed)

public:
    // The phone's values.
    enum SystemItem { NoSystemItem = -1, Done = 0, Cancel = 1, Edit = 2, Save = 3, Add = 4 };
    enum Style { Plain = 0, Bordered = 1, DoneStyle = 2 };
    using Action = std::function<void(WLBarButtonItem *sender)>;

    WLBarButtonItem(SystemItem systemItem, Action action, QObject *parent = nullptr);
    WLBarButtonItem(const QString &title, Style style, Action action, QObject *parent = nullptr);
    // The item shows the view; taps go to the view's own targets.
    explicit WLBarButtonItem(QObject *customView, QObject *parent = nullptr);

    int systemItem() const { return mSystemItem; }
    void setSystemItem(SystemItem item);
    // A stock item's title is the platform's (localized) word for it.
    QString title() const;
    void setTitle(const QString &title);
    int style() const { return mStyle; }
    void setStyle(Style style);
    QObject *customView() const { return mCustomView; }
    bool isEnabled() const { return mEnabled; }
    void setEnabled(bool enabled);
    // What a screen reader calls the button: the label set, else a word
    // for what its title shows ("Add" for the stock "+").
    QString accessibilityLabel() const;
    void setAccessibilityLabel(const QString &label);
    void setAction(Action action) { mAction = std::move(action); }

    // The view's tap.
    Q_INVOKABLE void trigger();

Q_SIGNALS:
    void changed();

private:
    int mSystemItem = NoSystemItem;
    QString mTitle;
    int mStyle = Plain;
    QPointer<QObject> mCustomView;
    bool mEnabled = true;
    QString mAccessibilityLabel;
    Action mAction;
};
