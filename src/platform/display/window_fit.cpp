#include "platform/display/window_fit.h"

#include <algorithm>
#include <cmath>

namespace display {

ui::Size fittedWindowSize(ui::Size wanted, ui::Size usable, ui::Size minimum) {
    if (!(wanted.width > 0 && wanted.height > 0 && usable.width > 0 && usable.height > 0)) return wanted;
    double scale = std::min({1.0, usable.width / wanted.width, usable.height / wanted.height});
    const double smallest = std::max(minimum.width / wanted.width, minimum.height / wanted.height);
    scale = std::max(scale, std::min(1.0, smallest));
    // Whole points, rounded down so that what fits stays within the screen (the side that limits
    // is the screen's own, which a product of the two ratios may miss by a rounding error).
    const auto whole = [scale](double side) { return std::floor(side * scale + 1e-6); };
    return {std::max(whole(wanted.width), std::min(wanted.width, minimum.width)),
            std::max(whole(wanted.height), std::min(wanted.height, minimum.height))};
}

}  // namespace display
