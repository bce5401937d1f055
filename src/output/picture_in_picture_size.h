#pragma once

#include <optional>

#include "platform/media/picture_in_picture_controller.h"

namespace reelhaven {

// A size in pixels.
struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

// The size picture-in-picture frames are rendered at.
// - Before the window reported a size: `inlineSize` (what the device shows now).
// - Otherwise P = the window's size x `scale`; with the video's own size T, the first of T/4, T/2
//   and T that covers P in both directions, else P. So a small window renders a quarter or half
//   of a large video's pixels, and a window larger than the video renders at the window's size.
// A product outside Int32 is a programming error (fatal).
PixelSize pictureInPictureRenderSize(std::optional<media::VideoDimensions> windowSize, int scale,
                                     std::optional<PixelSize> videoSize, PixelSize inlineSize);

}  // namespace reelhaven
