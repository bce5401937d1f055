#pragma once

#include <memory>
#include <string_view>

#include "platform/ui/text/font.h"
#include "platform/ui/text/text_shaper.h"

namespace ui {

// Text shaped in a font, with the factor that turns its font units into points. A font whose file
// is missing shapes in the regular system font, as its metrics do.
struct FontShaping {
    std::shared_ptr<const ShapedText> shaped;  // null only when no Inter font is installed
    double scale = 0;

    static FontShaping shape(const Font& font, std::string_view utf8,
                             TextDirection direction = TextDirection::leftToRight);
    double width() const { return shaped ? shaped->advance * scale : 0; }
};

}  // namespace ui
