#pragma once

#include "WLImage.h"
#include "WLScrollView.h"
#include "WLViewController.h"

#include <optional>

class WLImageView;

// The picture viewer, pushed over the entry viewer when a picture in a
// page is tapped: the picture centred at its natural size when it fits the
// screen, otherwise fitted to it and zoomable up to its natural size.
class WLImageViewController : public WLViewController, public WLScrollViewDelegate
{
    Q_OBJECT
    Q_PROPERTY(WLScrollView *scrollView READ scrollView NOTIFY viewLoadedChanged)

public:
    explicit WLImageViewController(QObject *parent = nullptr);
    ~WLImageViewController() override;

    std::optional<WLImage> image() const { return mImage; }
    void setImage(const std::optional<WLImage> &image) { mImage = image; }

    WLScrollView *scrollView() const { return mScrollView; }
    // Exists only while the picture is on screen.
    WLImageView *imageView() const { return mImageView.get(); }

    WLControl *viewForZoomingInScrollView(WLScrollView *scrollView) override;
    // Escape goes back as well.
    bool keyCommand(const WLKeyCommand &command) override;

protected:
    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;

private:
    // The picture's frame and zoom limits for the screen's size.
    void layoutImage();
    void removeImageView();

    std::optional<WLImage> mImage;
    std::unique_ptr<WLImageView> mImageView;
    WLScrollView *mScrollView = nullptr;
};
