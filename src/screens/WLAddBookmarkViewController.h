#pragma once

#include "WLColor.h"
#include "WLNavigationItem.h"
#include "WLTableView.h"
#include "WLTableViewDataSource.h"
#include "WLTextView.h"
#include "WLTextViewCell.h"
#include "WLViewController.h"

#include <QString>
#include <QVariantList>

#include <memory>
#include <optional>

class WLAddBookmarkViewController;
class WLBarButtonItem;

class WLAddBookmarkViewControllerDelegate
{
public:
    virtual ~WLAddBookmarkViewControllerDelegate() = default;
    // After Save, once the editor has been dismissed; the editor holds the
    // values to store.
    virtual void addBookmarkWithController(WLAddBookmarkViewController *controller) = 0;
};

// The bookmark editor: a modal screen with its own bar (Cancel, Save, and
// Done while the note is edited) over two rows, the entry's word and a
// note field. It stores nothing itself: Save hands its values to its
// delegate. One shared instance serves the whole run; the caller sets every
// value before each presentation.
class WLAddBookmarkViewController : public WLViewController,
                                    public WLTableViewDataSource,
                                    public WLTextViewDelegate
{
    Q_OBJECT
    // The editor's own bar, not a navigation stack's.
    Q_PROPERTY(WLNavigationItem *barItem READ barItem CONSTANT)
    Q_PROPERTY(WLTableView *tableView READ tableView NOTIFY viewLoadedChanged)
    Q_PROPERTY(WLTextView *textView READ textView NOTIFY viewLoadedChanged)
    Q_PROPERTY(WLTextViewCell *notesCell READ notesCell NOTIFY notesCellChanged)

public:
    static constexpr double kBarHeight = 44;
    static constexpr double kWordRowHeight = 40;
    static constexpr double kNotesRowHeight = 140;
    // Red 66, green 73, blue 113.
    static constexpr WLColor kNotesTextColor{66 / 255.0, 73 / 255.0, 113 / 255.0, 1};

    // The first editor made, until it is destroyed.
    static WLAddBookmarkViewController *sharedViewController();

    explicit WLAddBookmarkViewController(QObject *parent = nullptr);
    ~WLAddBookmarkViewController() override;

    WLAddBookmarkViewControllerDelegate *delegate() const { return mDelegate; }
    void setDelegate(WLAddBookmarkViewControllerDelegate *delegate) { mDelegate = delegate; }
    std::optional<QString> word() const { return mWord; }
    void setWord(const std::optional<QString> &word) { mWord = word; }
    std::optional<QVariantList> links() const { return mLinks; }
    void setLinks(const std::optional<QVariantList> &links) { mLinks = links; }
    std::optional<QString> notes() const { return mNotes; }
    void setNotes(const std::optional<QString> &notes) { mNotes = notes; }
    std::optional<QVariantList> contentsIDs() const { return mContentsIDs; }
    void setContentsIDs(const std::optional<QVariantList> &contentsIDs) { mContentsIDs = contentsIDs; }
    bool newBookmark() const { return mNewBookmark; }
    void setNewBookmark(bool newBookmark) { mNewBookmark = newBookmark; }

    WLNavigationItem *barItem() const { return mNavigationItem; }
    WLTableView *tableView() const { return mTableView; }
    WLTextView *textView() const { return mTextView; }
    WLTextViewCell *notesCell() const { return mNotesCell; }
    WLBarButtonItem *cancelButton() const { return mCancelButton; }
    WLBarButtonItem *saveButton() const { return mSaveButton; }
    WLBarButtonItem *doneButton() const { return mDoneButton; }

    void save();
    void cancel();
    void endEditing();

    qsizetype tableViewNumberOfRowsInSection(qsizetype section) const override;
    std::optional<WLTableViewCell> tableViewCellForRowAtIndexPath(
        const WLIndexPath &indexPath) const override;
    Q_INVOKABLE double heightForRow(int section, int row) const;

    bool textViewShouldBeginEditing(WLTextView *textView) override;
    void textViewDidEndEditing(WLTextView *textView) override;

    // Escape ends the editing of the note, else cancels; Ctrl+Return saves.
    bool keyCommand(const WLKeyCommand &command) override;

Q_SIGNALS:
    void notesCellChanged();

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;

private:
    QString barTitle() const;
    void showButtons();
    // The note field shows the notes, or the gray placeholder.
    void showNotes() const;

    WLAddBookmarkViewControllerDelegate *mDelegate = nullptr;
    WLBarButtonItem *mCancelButton = nullptr;
    WLBarButtonItem *mSaveButton = nullptr;
    WLBarButtonItem *mDoneButton = nullptr;
    WLNavigationItem *mNavigationItem = nullptr;
    WLTableView *mTableView = nullptr;
    WLTextView *mTextView = nullptr;
    // Made when the table first asks for the note row.
    mutable WLTextViewCell *mNotesCell = nullptr;
    std::optional<QString> mWord;
    std::optional<QVariantList> mLinks;
    std::optional<QString> mNotes;
    std::optional<QVariantList> mContentsIDs;
    bool mNewBookmark = true;
};
