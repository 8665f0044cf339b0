#include "WLAddBookmarkViewController.h"

#include "WLBarButtonItem.h"
#include "WLLocalization.h"
#include "WLNavigationItem.h"
#include "WLTextViewCell.h"

namespace {
WLAddBookmarkViewController *gSharedViewController = nullptr;

const QString kWordCellIdentifier = QStringLiteral("KXAddBookmarkWordCell");
const QString kNotesCellIdentifier = QStringLiteral("KXAddBookmarkNotesCell");
} // namespace

WLAddBookmarkViewController *WLAddBookmarkViewController::sharedViewController()
{
    return gSharedViewController;
}

WLAddBookmarkViewController::WLAddBookmarkViewController(QObject *parent)
    : WLViewController(QStringLiteral("AddBookmarkScreen"), parent)
{
    if (!gSharedViewController)
        gSharedViewController = this;
}

WLAddBookmarkViewController::~WLAddBookmarkViewController()
{
    if (mTableView)
        mTableView->setDataSource(nullptr);
    if (mTextView)
        mTextView->setDelegate(nullptr);
    if (gSharedViewController == this)
        gSharedViewController = nullptr;
}

void WLAddBookmarkViewController::loadView()
{
    mNavigationItem = new WLNavigationItem(this);
    mNavigationItem->setTitle(WLLocalization::localizedString("AddBookmark.Title.New"));

    mTableView = new WLTableView(WLTableViewStyle::Grouped, this);
    mTableView->setDataSource(this);
    mTableView->setScrollEnabled(false);

    mTextView = new WLTextView(this);
    mTextView->setTextColor(WLTextView::kBlackColor);
    mTextView->setFontSize(17);
    mTextView->setBackgroundColor(WLTextView::kWhiteColor);
    mTextView->setDelegate(this);

    mCancelButton = new WLBarButtonItem(WLBarButtonItem::Cancel, {}, this);
    mSaveButton = new WLBarButtonItem(WLBarButtonItem::Save, {}, this);
    mSaveButton->setStyle(WLBarButtonItem::DoneStyle);
    mDoneButton = new WLBarButtonItem(WLBarButtonItem::Done, [this](WLBarButtonItem *) { endEditing(); },
                                      this);
    mDoneButton->setStyle(WLBarButtonItem::DoneStyle);
}

void WLAddBookmarkViewController::viewWillAppear(bool)
{
    mCancelButton->setAction([this](WLBarButtonItem *) { cancel(); });
    mSaveButton->setAction([this](WLBarButtonItem *) { save(); });
    mSaveButton->setStyle(WLBarButtonItem::DoneStyle);
    mCancelButton->setStyle(WLBarButtonItem::Bordered);
    mNavigationItem->setTitle(barTitle());
    showButtons();
    mTableView->reloadData();
}

QString WLAddBookmarkViewController::barTitle() const
{
    return WLLocalization::localizedString(mNewBookmark ? "AddBookmark.Title.New"
                                                        : "AddBookmark.Title.Edit");
}

void WLAddBookmarkViewController::showButtons()
{
    mNavigationItem->setLeftBarButtonItem(mCancelButton);
    mNavigationItem->setRightBarButtonItem(mSaveButton);
}

void WLAddBookmarkViewController::save()
{
    dismissModalViewControllerAnimated(true);
    if (mDelegate)
        mDelegate->addBookmarkWithController(this);
}

void WLAddBookmarkViewController::cancel()
{
    dismissModalViewControllerAnimated(true);
}

void WLAddBookmarkViewController::endEditing()
{
    if (mTextView)
        mTextView->resignFirstResponder();
}

qsizetype WLAddBookmarkViewController::tableViewNumberOfRowsInSection(qsizetype section) const
{
    return section == 0 ? 2 : 0;
}

std::optional<WLTableViewCell> WLAddBookmarkViewController::tableViewCellForRowAtIndexPath(
    const WLIndexPath &indexPath) const
{
    if (indexPath.section != 0)
        return std::nullopt;
    if (indexPath.row == 0)
        return WLTableViewCell{kWordCellIdentifier, mWord.value_or(QString())};
    if (indexPath.row != 1)
        return std::nullopt;
    if (!mNotesCell) {
        auto *self = const_cast<WLAddBookmarkViewController *>(this);
        mNotesCell = new WLTextViewCell(kNotesCellIdentifier, self);
        mNotesCell->setTextView(mTextView);
        Q_EMIT self->notesCellChanged();
    }
    showNotes();
    WLTableViewCell cell{kNotesCellIdentifier};
    cell.selectionStyle = WLTableViewCellSelectionStyle::None;
    return cell;
}

void WLAddBookmarkViewController::showNotes() const
{
    if (!mTextView)
        return;
    const QString notes = mNotes.value_or(QString());
    if (notes.isEmpty()) {
        mTextView->setText(WLLocalization::localizedString("AddBookmark.Notes"));
        mTextView->setTextColor(WLTextView::kGrayColor);
    } else {
        mTextView->setText(notes);
        mTextView->setTextColor(kNotesTextColor);
    }
}

double WLAddBookmarkViewController::heightForRow(int section, int row) const
{
    if (section != 0)
        return 0;
    return row == 0 ? kWordRowHeight : row == 1 ? kNotesRowHeight : 0;
}

bool WLAddBookmarkViewController::textViewShouldBeginEditing(WLTextView *textView)
{
    textView->setText(mNotes.value_or(QString()));
    // What the user types is a note, not the gray placeholder.
    textView->setTextColor(kNotesTextColor);
    mNavigationItem->setTitle(WLLocalization::localizedString("AddBookmark.Notes"));
    mNavigationItem->setLeftBarButtonItem(nullptr);
    mNavigationItem->setRightBarButtonItem(mDoneButton);
    return true;
}

void WLAddBookmarkViewController::textViewDidEndEditing(WLTextView *textView)
{
    mNotes = textView->text();
    showButtons();
    mNavigationItem->setTitle(barTitle());
    showNotes();
}

bool WLAddBookmarkViewController::keyCommand(const WLKeyCommand &command)
{
    if (!mTextView)
        return false;
    const Qt::KeyboardModifiers modifiers = command.modifiers & ~Qt::KeypadModifier;
    if (command.key == Qt::Key_Escape && modifiers == Qt::NoModifier) {
        if (mTextView->isEditing())
            endEditing();
        else
            cancel();
        return true;
    }
    if ((command.key == Qt::Key_Return || command.key == Qt::Key_Enter) &&
        modifiers == Qt::ControlModifier) {
        endEditing();
        save();
        return true;
    }
    return false;
}
