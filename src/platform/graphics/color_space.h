#pragma once

#include <string_view>

namespace gfx {

// The named colour spaces an HDR picture is tagged with.
enum class ColorSpaceName { displayP3, displayP3PQ, displayP3HLG, itur2020, itur2100PQ, itur2100HLG };

constexpr std::string_view name(ColorSpaceName space) {
    switch (space) {
        case ColorSpaceName::displayP3: return "kCGColorSpaceDisplayP3";
        case ColorSpaceName::displayP3PQ: return "kCGColorSpaceDisplayP3_PQ";
        case ColorSpaceName::displayP3HLG: return "kCGColorSpaceDisplayP3_HLG";
        case ColorSpaceName::itur2020: return "kCGColorSpaceITUR_2020";
        case ColorSpaceName::itur2100PQ: return "kCGColorSpaceITUR_2100_PQ";
        case ColorSpaceName::itur2100HLG: return "kCGColorSpaceITUR_2100_HLG";
    }
    return "";
}

}  // namespace gfx
