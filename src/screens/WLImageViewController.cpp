#include "WLImageViewController.h"

#include "WLControl.h"
#include "WLImageView.h"
#include "WLNavigationController.h"
#include "WLReport.h"
#include "WLScreen.h"

WLImageViewController::WLImageViewController(QObject *parent)
    : WLViewController(QStringLiteral("ImageScreen"), parent)
{
    // A window resized while the picture shows fits it anew.
    connect(WLScreen::mainScreen(), &WLScreen::sizeChanged, this, [this] {
        if (isOnScreen() && mImageView)
            layoutImage();
    });
}

WLImageViewController::~WLImageViewController()
{
    if (mScrollView)
        mScrollView->setDelegate(nullptr);
}

void WLImageViewController::loadView()
{
    // Its size comes from the navigation stack.
    mScrollView = new WLScrollView(this);
    mScrollView->setDelegate(this);
}

void WLImageViewController::viewWillAppear(bool)
{
    if (!mImage) {
        WL_REPORT("-[WLImageViewController viewWillAppear:]", "mImage == nil");
        return;
    }
    removeImageView();
    // Also a child, so the views never take it for their own.
    mImageView = std::make_unique<WLImageView>(this);
    mImageView->setImage(mImage->url());
    mScrollView->addSubview(mImageView.get());
    mScrollView->setDelegate(this);
    layoutImage();
}

void WLImageViewController::layoutImage()
{
    const double iw = mImage->size.width();
    const double ih = mImage->size.height();
    const QSizeF screen = viewSize();
    const double sw = screen.width();
    const double sh = screen.height();
    mScrollView->setFrame(QRectF(0, 0, sw, sh));
    if ((iw <= sw && ih <= sh) || sw <= 0 || sh <= 0) {
        mImageView->setFrame(QRectF((sw - iw) * 0.5, (sh - ih) * 0.5, iw, ih));
        mScrollView->setMinimumZoomScale(1.0);
        mScrollView->setMaximumZoomScale(1.0);
        return;
    }
    // Drawn fitted into the screen; zooming in stops at the natural size.
    mImageView->setFrame(QRectF(0, 0, sw, sh));
    mScrollView->setMinimumZoomScale(1.0);
    mScrollView->setMaximumZoomScale(iw / ih < sw / sh ? ih / sh : iw / sw);
}

void WLImageViewController::viewDidDisappear(bool)
{
    if (!mScrollView)
        return;
    removeImageView();
    mScrollView->setContentSize(QSizeF(0, 0));
    mScrollView->setContentOffset(QPointF(0, 0));
    mScrollView->setMinimumZoomScale(1.0);
    mScrollView->setMaximumZoomScale(1.0);
    mScrollView->setDelegate(nullptr);
}

void WLImageViewController::removeImageView()
{
    if (mImageView)
        mScrollView->removeSubview(mImageView.get());
    mImageView.reset();
}

WLControl *WLImageViewController::viewForZoomingInScrollView(WLScrollView *)
{
    return mImageView.get();
}

bool WLImageViewController::keyCommand(const WLKeyCommand &command)
{
    if (command.key != Qt::Key_Escape || command.modifiers != Qt::NoModifier)
        return false;
    WLNavigationController *navigation = navigationController();
    return navigation && navigation->popViewControllerAnimated(true);
}
