#pragma once

#include <memory>
#include <optional>

#include "platform/ui/text/font.h"
#include "platform/ui/text/text_attachment.h"
#include "platform/ui/views/color.h"

namespace ui {

// The attributes of a stretch of text that change how it is shaped and painted, resolved from an
// attributed run against the label's own font and colour.
struct TextStyle {
    Font font = Font::systemFont(17);
    Color color;
    std::optional<Color> backgroundColor;
    double kern = 0;  // extra advance after each glyph
    std::shared_ptr<TextAttachment> attachment;
};

}  // namespace ui
