#include "platform/ui/views/gradient_layer.h"

namespace ui {

std::shared_ptr<GradientLayer> GradientLayer::create() { return make<GradientLayer>(); }

std::optional<AnimationValue> GradientLayer::modelValue(const std::string& keyPath) const {
    if (keyPath == "colors") return m_colors;
    if (keyPath == "locations") return m_locations;
    if (keyPath == "startPoint") return m_startPoint;
    if (keyPath == "endPoint") return m_endPoint;
    return Layer::modelValue(keyPath);
}

std::vector<Color> GradientLayer::presentationColors() const {
    const auto value = presentationValue("colors");
    if (value && std::holds_alternative<std::vector<Color>>(*value)) return std::get<std::vector<Color>>(*value);
    return m_colors;
}

}  // namespace ui
