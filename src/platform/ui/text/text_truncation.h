#pragma once

#include <vector>

#include "platform/ui/text/line_break_mode.h"
#include "platform/ui/text/styled_paragraph.h"

namespace ui::text_truncation {

// The pieces of the last line a text may have: the paragraph's bytes [start, end) in `width`,
// shortened by whole characters with a "…" at the head, the tail or the middle as `mode` says
// (any other mode: the tail). `textFollows`: more text is hidden after `end`, so the tail shows
// "…" even when the rest fits. A line too narrow for a single character shows "…" alone.
std::vector<StyledParagraph::Piece> truncate(const StyledParagraph& paragraph, size_t start, size_t end, double width,
                                             LineBreakMode mode, bool textFollows);

}  // namespace ui::text_truncation
