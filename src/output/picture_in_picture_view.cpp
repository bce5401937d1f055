#include "output/picture_in_picture_view.h"

namespace reelhaven {

std::shared_ptr<PictureInPictureView> PictureInPictureView::create(const ui::Rect& frame) {
    auto layer = media::SampleBufferDisplayLayer::create();
    return std::shared_ptr<PictureInPictureView>(new PictureInPictureView(frame, layer));
}

}  // namespace reelhaven
