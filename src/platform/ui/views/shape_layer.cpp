#include "platform/ui/views/shape_layer.h"

namespace ui {

std::shared_ptr<ShapeLayer> ShapeLayer::create() { return make<ShapeLayer>(); }

std::optional<AnimationValue> ShapeLayer::modelValue(const std::string& keyPath) const {
    if (keyPath == "lineWidth") return m_lineWidth;
    if (keyPath == "fillColor") return m_fillColor.value_or(Color::clear());
    if (keyPath == "strokeColor") return m_strokeColor.value_or(Color::clear());
    return Layer::modelValue(keyPath);
}

}  // namespace ui
