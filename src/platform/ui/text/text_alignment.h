#pragma once

namespace ui {

// Natural follows the paragraph's direction: left for left-to-right text, right for
// right-to-left. Justified lines are set as natural ones (no stretching).
enum class TextAlignment { left = 0, center = 1, right = 2, justified = 3, natural = 4 };

}  // namespace ui
