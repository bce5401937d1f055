#pragma once

#include <optional>

namespace gfx {

// How a display maps an extended-dynamic-range picture: the HLG curve, or HDR10 static
// metadata (luminances in nits, scaled by the optical output scale).
struct EDRMetadata {
    enum class Kind { hlg, hdr10 };

    Kind kind = Kind::hlg;
    float minLuminance = 0;
    float maxLuminance = 0;
    float opticalOutputScale = 0;

    static EDRMetadata hlg() { return {}; }
    static EDRMetadata hdr10(float minLuminance, float maxLuminance, float opticalOutputScale) {
        return {Kind::hdr10, minLuminance, maxLuminance, opticalOutputScale};
    }
    bool operator==(const EDRMetadata&) const = default;
};

}  // namespace gfx
