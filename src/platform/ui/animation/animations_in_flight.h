#pragma once

#include <optional>

namespace ui {

class Layer;

// Whether what a layer tree shows is still moving, for a host that waits until the screen has
// come to rest before it prints or photographs it. Main thread only.
class AnimationsInFlight {
public:
    // The global media time at which the animations of `root`'s visible layers that end within
    // `within` seconds from now have all ended; none when none does. An animation that runs on
    // longer (a scrolling title's pass, a fade that waits seconds before it starts, one that
    // repeats for ever) is part of the screen at rest, as is one whose time stands still. A hidden
    // layer moves nothing on screen, nor does anything under a layer that shows nothing.
    static std::optional<double> restingTime(const Layer& root, double within);
};

}  // namespace ui
