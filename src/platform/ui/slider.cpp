#include "platform/ui/slider.h"

#include <algorithm>

namespace ui {

std::shared_ptr<Slider> Slider::create(const Rect& frame) { return make<Slider>(frame); }

void Slider::setValue(float value, bool) { m_value = std::clamp(value, m_minimum, std::max(m_minimum, m_maximum)); }

void Slider::setMinimumValue(float minimum) {
    m_minimum = minimum;
    if (m_maximum < m_minimum) m_maximum = m_minimum;
    setValue(m_value);
}

void Slider::setMaximumValue(float maximum) {
    m_maximum = maximum;
    if (m_minimum > m_maximum) m_minimum = m_maximum;
    setValue(m_value);
}

std::shared_ptr<Image> Slider::thumbImage(std::uint32_t state) const {
    if (auto it = m_thumbImages.find(state); it != m_thumbImages.end()) return it->second;
    if (auto it = m_thumbImages.find(normal); it != m_thumbImages.end()) return it->second;
    return nullptr;
}

void Slider::setThumbImage(std::shared_ptr<Image> image, std::uint32_t state) {
    m_thumbImages[state] = std::move(image);
}

bool Slider::beginTracking(float value) {
    if (!isEnabled() || !isUserInteractionEnabled()) return false;
    setTracking(true);
    setHighlighted(true);
    sendActions(touchDown);
    continueTracking(value);
    return true;
}

void Slider::continueTracking(float value) {
    if (!isTracking()) return;
    const float before = m_value;
    setValue(value);
    if (m_continuous && m_value != before) sendActions(valueChanged);
}

void Slider::endTracking(float value) {
    if (!isTracking()) return;
    const float before = m_value;
    setValue(value);
    if (m_continuous && m_value != before) sendActions(valueChanged);
    if (!m_continuous) sendActions(valueChanged);
    setTracking(false);
    setHighlighted(false);
    sendActions(touchUpInside);
}

void Slider::cancelTracking() {
    if (!isTracking()) return;
    setTracking(false);
    setHighlighted(false);
    sendActions(touchCancel);
}

bool Slider::slide(float value) {
    if (!beginTracking(m_value)) return false;
    endTracking(value);
    return true;
}

}  // namespace ui
