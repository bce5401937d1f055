#include "platform/ui/controls/slider.h"
#include "platform/ui/views/main_thread_check.h"

#include <algorithm>

namespace ui {

std::shared_ptr<Slider> Slider::create(const Rect& frame) { return make<Slider>(frame); }

void Slider::setValue(float value, bool) {
    checkMainThread();
    m_value = std::clamp(value, m_minimum, std::max(m_minimum, m_maximum));
}

void Slider::setMinimumValue(float minimum) {
    checkMainThread();
    m_minimum = minimum;
    if (m_maximum < m_minimum) m_maximum = m_minimum;
    setValue(m_value);
}

void Slider::setMaximumValue(float maximum) {
    checkMainThread();
    m_maximum = maximum;
    if (m_minimum > m_maximum) m_minimum = m_maximum;
    setValue(m_value);
}

std::shared_ptr<Image> Slider::thumbImage(std::uint32_t state) const {
    if (auto it = m_thumbImages.find(state); it != m_thumbImages.end()) return it->second;
    if (auto it = m_thumbImages.find(normal); it != m_thumbImages.end()) return it->second;
    return nullptr;
}

Size Slider::intrinsicContentSize() const {
    const auto thumb = m_thumbImages.find(normal);
    if (thumb == m_thumbImages.end() || !thumb->second) return {noIntrinsicMetric, height};
    return {noIntrinsicMetric, thumb->second->size().height};
}

void Slider::setThumbImage(std::shared_ptr<Image> image, std::uint32_t state) {
    checkMainThread();
    m_thumbImages[state] = std::move(image);
    if (state == normal) invalidateIntrinsicContentSize();
}

Rect Slider::trackRect(const Rect& bounds) const {
    return Rect(bounds.origin.x, bounds.midY() - 2, bounds.size.width, 4);
}

float Slider::valueAt(double x) const {
    const Rect track = trackRect(bounds());
    if (track.size.width <= 0) return m_value;
    double fraction = std::clamp((x - track.minX()) / track.size.width, 0.0, 1.0);
    // Read right to left, the minimum is at the right end.
    if (isRightToLeft()) fraction = 1 - fraction;
    return static_cast<float>(m_minimum + fraction * (m_maximum - m_minimum));
}

Point Slider::pointInWindow(float value) const {
    const Rect track = trackRect(bounds());
    const double range = m_maximum - m_minimum;
    double fraction = range > 0 ? (value - m_minimum) / range : 0;
    if (isRightToLeft()) fraction = 1 - fraction;
    return convertToWindow({track.minX() + fraction * track.size.width, track.midY()});
}

void Slider::follow(const Touch& touch) {
    const float before = m_value;
    setValue(valueAt(touch.location(this).x));
    if (m_continuous && m_value != before) sendActions(valueChanged);
}

bool Slider::beginTracking(const Touch& touch) {
    checkMainThread();
    follow(touch);
    return true;
}

bool Slider::continueTracking(const Touch& touch) {
    checkMainThread();
    follow(touch);
    return true;
}

void Slider::endTracking(const Touch* touch) {
    checkMainThread();
    if (touch) follow(*touch);
    if (!m_continuous) sendActions(valueChanged);
}

bool Slider::slide(float value) {
    checkMainThread();
    if (!touchDown(pointInWindow(m_value))) return false;
    touchMove(pointInWindow(value));
    touchUp(pointInWindow(value));
    return true;
}

}  // namespace ui
