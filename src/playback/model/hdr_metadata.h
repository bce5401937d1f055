#pragma once

#include <optional>
#include <string>

#include "platform/graphics/color_space.h"
#include "platform/graphics/edr_metadata.h"

namespace reelhaven {

// What the renderer needs to show an HDR video: the display mapping, the picture's colour space
// and mpv's own names of its primaries and transfer, written back as "target-prim"/"target-trc".
struct HDRMetadata {
    std::optional<gfx::EDRMetadata> edrMetadata;
    gfx::ColorSpaceName colorSpace = gfx::ColorSpaceName::itur2020;
    std::string primaries;
    std::string gamma;

    bool operator==(const HDRMetadata&) const = default;
};

}  // namespace reelhaven
