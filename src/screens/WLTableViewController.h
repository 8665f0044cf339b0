#pragma once

#include "WLColor.h"
#include "WLControl.h"
#include "WLDataSourceProtocol.h"
#include "WLImageView.h"
#include "WLTableView.h"
#include "WLViewController.h"

#include <QString>
#include <QVariantList>

#include <memory>
#include <optional>

class WLAboutPresenter;
class WLBarButtonItem;

// A list tab's screen: a table whose rows come from a data source, over an
// optional background image, opening the entry of a selected row in the
// shared entry viewer. What differs between the tabs lives in the data
// source; the subclasses add their bar buttons.
class WLTableViewController : public WLViewController, public WLTableViewDelegate
{
    Q_OBJECT
    Q_PROPERTY(WLTableView *tableView READ tableView NOTIFY viewLoadedChanged)
    Q_PROPERTY(WLImageView *backgroundView READ backgroundView NOTIFY viewLoadedChanged)
    Q_PROPERTY(QString backgroundColorName READ backgroundColorName CONSTANT)

public:
    // Nothing (after the report) without a data source.
    template <typename T = WLTableViewController>
    static std::unique_ptr<T> initWithDataSource(std::unique_ptr<WLDataSourceProtocol> dataSource)
    {
        if (!acceptsDataSource(dataSource.get()))
            return nullptr;
        return std::unique_ptr<T>(new T(std::move(dataSource)));
    }
    ~WLTableViewController() override;

    WLDataSourceProtocol *dataSource() const { return mDataSource.get(); }
    WLTableView *tableView() const { return mTableView; }
    WLImageView *backgroundView() const { return mBackgroundView; }

    std::optional<WLColor> backgroundColor() const { return mBackgroundColor; }
    void setBackgroundColor(const std::optional<WLColor> &color) { mBackgroundColor = color; }
    // A picture (a file path or resource URL) behind the rows; set before
    // the screen is built, which fixes whether it has a background view.
    QString backgroundImage() const { return mBackgroundImage; }
    void setBackgroundImage(const QString &image) { mBackgroundImage = image; }
    // The colour is painted behind the rows.
    QString backgroundColorName() const;

    // Pushes the shared entry viewer with the entry on this screen's stack.
    bool showWord(const std::optional<QString> &word, const std::optional<QVariantList> &links,
                  const std::optional<QVariantList> &contentsIDs, bool animated);

    // The info button's action: the About screen, through its presenter.
    void showAbout(QObject *sender);
    void setAboutPresenter(WLAboutPresenter *presenter) { mAboutPresenter = presenter; }

    void tableViewDidSelectRowAtIndexPath(WLTableView *tableView,
                                          const WLIndexPath &indexPath) override;

protected:
    explicit WLTableViewController(std::unique_ptr<WLDataSourceProtocol> dataSource,
                                   QString viewKind = QStringLiteral("ListScreen"));

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void setEditing(bool editing, bool animated) override;

    // The common info button of the list tabs, sending showAbout:.
    WLBarButtonItem *makeInfoButtonItem();

private:
    static bool acceptsDataSource(const WLDataSourceProtocol *dataSource);

    std::unique_ptr<WLDataSourceProtocol> mDataSource;
    WLAboutPresenter *mAboutPresenter = nullptr;
    std::optional<WLColor> mBackgroundColor;
    QString mBackgroundImage;
    WLImageView *mBackgroundView = nullptr;
    WLTableView *mTableView = nullptr;
};
