#include "platform/ui/views/screen.h"

#include <algorithm>

namespace ui {

std::shared_ptr<Screen> Screen::create(Rect bounds, double scale) {
    return std::shared_ptr<Screen>(new Screen(bounds, scale));
}

std::shared_ptr<Screen> Screen::main() {
    static const std::shared_ptr<Screen> screen = create(Rect(0, 0, 390, 844), 3);
    return screen;
}

void Screen::setBrightness(double brightness) { m_brightness = std::clamp(brightness, 0.0, 1.0); }

}  // namespace ui
