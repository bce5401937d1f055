#pragma once

namespace ui {

// How text that does not fit its width is broken or cut. The wrapping modes break between words
// (or between characters); the others wrap too when more than one line is allowed, and decide how
// the last allowed line shows what does not fit: cut at the edge, or shortened with "…" at its
// head, tail or middle.
enum class LineBreakMode {
    byWordWrapping = 0,
    byCharWrapping = 1,
    byClipping = 2,
    byTruncatingHead = 3,
    byTruncatingTail = 4,
    byTruncatingMiddle = 5,
};

}  // namespace ui
