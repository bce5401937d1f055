#pragma once

namespace ui {

// The orientation of the interface, with the platform's raw values (the landscape sides are the
// device's mirrored).
enum class InterfaceOrientation {
    unknown = 0,
    portrait = 1,
    portraitUpsideDown = 2,
    landscapeLeft = 4,
    landscapeRight = 3
};

// Sets of interface orientations, as controllers report what they support.
enum InterfaceOrientationMask : unsigned {
    orientationMaskPortrait = 1 << 1,
    orientationMaskPortraitUpsideDown = 1 << 2,
    orientationMaskLandscapeRight = 1 << 3,
    orientationMaskLandscapeLeft = 1 << 4,
    orientationMaskLandscape = (1 << 3) | (1 << 4),
    orientationMaskAll = (1 << 1) | (1 << 2) | (1 << 3) | (1 << 4),
    orientationMaskAllButUpsideDown = (1 << 1) | (1 << 3) | (1 << 4),
};

inline bool isLandscape(InterfaceOrientation orientation) {
    return orientation == InterfaceOrientation::landscapeLeft || orientation == InterfaceOrientation::landscapeRight;
}

}  // namespace ui
