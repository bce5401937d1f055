#include "platform/ui/text/font_shaping.h"

namespace ui {

FontShaping FontShaping::shape(const Font& font, std::string_view utf8, TextDirection direction) {
    auto& shaper = TextShaper::shared();
    const auto features =
        font.fontDescriptor().hasMonospacedDigits() ? ShapingFeatures::tabularDigits : ShapingFeatures::none;
    auto shaped = shaper.shape(font.fontName(), features, utf8, direction);
    if (!shaped) shaped = shaper.shape(Font::systemFontName(FontWeight::regular), features, utf8, direction);
    if (!shaped) return {};
    return {shaped, font.pointSize() / shaped->unitsPerEm};
}

}  // namespace ui
