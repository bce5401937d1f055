#pragma once

#include <memory>

#include "core/video.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/image_view.h"
#include "toolkit/nib_loadable.h"

namespace reelhaven {

// What the device shows while a second screen plays the video: its thumbnail and title. The
// content comes from the interface file "NowPlayingView". Main thread.
class NowPlayingView : public ui::View, public NibLoadable<NowPlayingView> {
public:
    static std::shared_ptr<NowPlayingView> create(const ui::Rect& frame = {});
    std::string className() const override { return "NowPlayingView"; }

    std::shared_ptr<ui::ImageView> imageView() const { return m_imageView.lock(); }
    std::shared_ptr<ui::Label> titleLabel() const { return m_titleLabel.lock(); }

    // The video shown; `update` puts it on screen.
    VideoPtr video;
    // The thumbnail and display name of `video` (both empty without one). Fatal when an outlet
    // is not connected.
    void update();

protected:
    explicit NowPlayingView(const ui::Rect& frame) : ui::View(frame) {}

private:
    friend class NowPlayingViewNib;

    void setup();

    std::weak_ptr<ui::ImageView> m_imageView;
    std::weak_ptr<ui::Label> m_titleLabel;
};

}  // namespace reelhaven
