#pragma once

#include <cstdint>

namespace ui {

enum class ContentMode {
    scaleToFill,
    scaleAspectFit,
    scaleAspectFill,
    redraw,
    center,
    top,
    bottom,
    left,
    right,
    topLeft,
    topRight,
    bottomLeft,
    bottomRight,
};

// Which margins and sizes of a view follow its superview's size.
enum AutoresizingMask : std::uint32_t {
    autoresizingNone = 0,
    flexibleLeftMargin = 1 << 0,
    flexibleWidth = 1 << 1,
    flexibleRightMargin = 1 << 2,
    flexibleTopMargin = 1 << 3,
    flexibleHeight = 1 << 4,
    flexibleBottomMargin = 1 << 5,
};

// View animation options (the curve and transition bits as the platform numbers them).
enum AnimationOptions : std::uint32_t {
    animationOptionsNone = 0,
    allowUserInteraction = 1 << 1,
    beginFromCurrentState = 1 << 2,
    repeat = 1 << 3,
    autoreverse = 1 << 4,
    curveEaseInOut = 0 << 16,
    curveEaseIn = 1 << 16,
    curveEaseOut = 2 << 16,
    curveLinear = 3 << 16,
    transitionNone = 0 << 20,
    transitionFlipFromLeft = 1 << 20,
    transitionFlipFromRight = 2 << 20,
    transitionCurlUp = 3 << 20,
    transitionCurlDown = 4 << 20,
    transitionCrossDissolve = 5 << 20,
    transitionFlipFromTop = 6 << 20,
    transitionFlipFromBottom = 7 << 20,
};

// How a view's content reads when the interface runs right to left: `unspecified` follows the
// interface; playback controls and spatial content keep left to right; the forced ones say which.
enum class SemanticContentAttribute { unspecified, playback, spatial, forceLeftToRight, forceRightToLeft };

enum class ViewAnimationCurve { easeInOut = 0, easeIn = 1, easeOut = 2, linear = 3 };

}  // namespace ui
