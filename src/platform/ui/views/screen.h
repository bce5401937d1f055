#pragma once

#include <memory>

#include "platform/ui/views/object.h"
#include "platform/ui/views/rect.h"

namespace ui {

// A display: the device's own (`main`) or an external one. Tests set its size, scale, brightness
// and extended-dynamic-range headroom.
class Screen : public Object {
public:
    static std::shared_ptr<Screen> create(Rect bounds, double scale);
    // The device's screen; a phone of 390 x 844 points at scale 3 until a test changes it.
    static std::shared_ptr<Screen> main();
    std::string className() const override { return "Screen"; }

    Rect bounds() const { return m_bounds; }
    void setBounds(const Rect& bounds) { m_bounds = bounds; }
    double scale() const { return m_scale; }
    void setScale(double scale) { m_scale = scale; }
    double nativeScale() const { return m_scale; }
    double brightness() const { return m_brightness; }
    void setBrightness(double brightness);
    // How far above standard white the screen can go (1 = no headroom).
    double potentialEDRHeadroom() const { return m_potentialHeadroom; }
    void setPotentialEDRHeadroom(double headroom) { m_potentialHeadroom = headroom; }
    double currentEDRHeadroom() const { return m_currentHeadroom; }
    void setCurrentEDRHeadroom(double headroom) { m_currentHeadroom = headroom; }
    int maximumFramesPerSecond() const { return m_maximumFramesPerSecond; }
    void setMaximumFramesPerSecond(int fps) { m_maximumFramesPerSecond = fps; }

private:
    Screen(Rect bounds, double scale) : m_bounds(bounds), m_scale(scale) {}

    Rect m_bounds;
    double m_scale;
    double m_brightness = 0.5;
    double m_potentialHeadroom = 1;
    double m_currentHeadroom = 1;
    int m_maximumFramesPerSecond = 60;
};

}  // namespace ui
