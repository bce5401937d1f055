#pragma once

#include <vector>

#include "platform/ui/text/text_editing.h"
#include "platform/ui/text/text_frame.h"
#include "platform/ui/views/rect.h"

namespace display {

// Where the caret and a selection of a field being edited show in its laid-out text, in the
// frame's space (x from its left, y down from the top of its first line).
namespace text_caret {

// The caret before byte `offset` of the frame's text: a bar `width` wide, a line tall, at the
// leading end of an empty frame.
ui::Rect caret(const ui::TextFrame& frame, size_t offset, double width = 2);
// The stretches the selection covers, one for each line it touches; none when it is empty.
std::vector<ui::Rect> selection(const ui::TextFrame& frame, ui::TextRange range);

}  // namespace text_caret

}  // namespace display
