#pragma once

namespace ui {
class View;
}

namespace reelhaven {

// The scale of the screen a view is shown on: its window's screen, else the device's own.
// Main thread.
double screenScale(const ui::View& view);

// A size in pixels, truncated towards zero as the renderer sizes its targets. A value that is not
// finite or does not fit an Int32 is a programming error (fatal); negative values become 0.
int truncatedPixels(double value);

}  // namespace reelhaven
