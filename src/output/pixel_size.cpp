#include "output/pixel_size.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/base/fatal.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/window.h"

namespace reelhaven {

double screenScale(const ui::View& view) {
    auto window = view.window();
    auto screen = window && window->screen() ? window->screen() : ui::Screen::main();
    return screen ? screen->scale() : 1.0;
}

int truncatedPixels(double value) {
    if (!std::isfinite(value) || std::trunc(value) > std::numeric_limits<std::int32_t>::max() ||
        std::trunc(value) < std::numeric_limits<std::int32_t>::min())
        base::fatal("a pixel size outside Int32");
    return value <= 0 ? 0 : static_cast<int>(value);
}

}  // namespace reelhaven
