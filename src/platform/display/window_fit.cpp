#include "platform/display/window_fit.h"

#include <algorithm>
#include <cmath>

namespace display {

WindowFit fitWindow(ui::Size wanted, ui::Size usable) {
    if (!(wanted.width > 0 && wanted.height > 0 && usable.width > 0 && usable.height > 0)) return {wanted, 1};
    const double scale = std::min({1.0, usable.width / wanted.width, usable.height / wanted.height});
    if (scale == 1) return {wanted, 1};
    // Whole units, the nearest to the shape but within the screen: the side that limits is the
    // screen's own.
    const auto whole = [scale](double side, double room) {
        return std::clamp(std::round(side * scale), 1.0, std::floor(room + 1e-6));
    };
    return {{whole(wanted.width, usable.width), whole(wanted.height, usable.height)}, scale};
}

}  // namespace display
