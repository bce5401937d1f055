#include "output/picture_in_picture_size.h"

#include <cstdint>
#include <limits>

#include "platform/base/fatal.h"

namespace reelhaven {
namespace {

int scaled(std::int32_t points, int scale) {
    const std::int64_t product = static_cast<std::int64_t>(points) * scale;
    if (product > std::numeric_limits<std::int32_t>::max() || product < std::numeric_limits<std::int32_t>::min())
        base::fatal("picture-in-picture render size outside Int32");
    return static_cast<int>(product);
}

}  // namespace

PixelSize pictureInPictureRenderSize(std::optional<media::VideoDimensions> windowSize, int scale,
                                     std::optional<PixelSize> videoSize, PixelSize inlineSize) {
    if (!windowSize) return inlineSize;
    const PixelSize window{scaled(windowSize->width, scale), scaled(windowSize->height, scale)};
    if (!videoSize) return window;
    for (int divisor : {4, 2, 1}) {
        const PixelSize candidate{videoSize->width / divisor, videoSize->height / divisor};
        if (candidate.width >= window.width && candidate.height >= window.height) return candidate;
    }
    return window;
}

}  // namespace reelhaven
