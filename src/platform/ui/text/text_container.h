#pragma once

#include "platform/ui/text/line_break_mode.h"
#include "platform/ui/text/text_alignment.h"

namespace ui {

// The room text is laid out in and the rules for what does not fit.
struct TextContainer {
    // 0, negative or infinite: unlimited (each paragraph on one line).
    double width = 0;
    // Lines that would end below it are left out (at least one line stays); 0 or less: unlimited.
    double height = 0;
    // 0: as many lines as the text needs.
    int maximumNumberOfLines = 0;
    LineBreakMode lineBreakMode = LineBreakMode::byWordWrapping;
    TextAlignment alignment = TextAlignment::natural;
    // Between 0 and 1: before text is cut, the fonts shrink down to this factor of their size
    // until it fits. 0 or 1: no shrinking.
    double minimumScaleFactor = 0;

    bool operator==(const TextContainer&) const = default;
};

}  // namespace ui
