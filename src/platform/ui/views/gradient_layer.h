#pragma once

#include "platform/ui/views/layer.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

// A layer filled with a gradient between colours at locations (0...1) along a line from
// `startPoint` to `endPoint` in unit coordinates. Its "colors" and "locations" animate.
class GradientLayer : public Layer {
public:
    static std::shared_ptr<GradientLayer> create();
    std::string className() const override { return "GradientLayer"; }

    const std::vector<Color>& colors() const { return m_colors; }
    void setColors(std::vector<Color> colors) {
        checkMainThread();
        m_colors = std::move(colors);
        contentsChanged();
    }
    const std::vector<double>& locations() const { return m_locations; }
    void setLocations(std::vector<double> locations) {
        checkMainThread();
        m_locations = std::move(locations);
        contentsChanged();
    }
    Point startPoint() const { return m_startPoint; }
    void setStartPoint(Point p) {
        checkMainThread();
        m_startPoint = p;
        contentsChanged();
    }
    Point endPoint() const { return m_endPoint; }
    void setEndPoint(Point p) {
        checkMainThread();
        m_endPoint = p;
        contentsChanged();
    }

    std::optional<AnimationValue> modelValue(const std::string& keyPath) const override;
    // The colours as shown now.
    std::vector<Color> presentationColors() const;

protected:
    GradientLayer() = default;

private:
    std::vector<Color> m_colors;
    std::vector<double> m_locations;
    Point m_startPoint{0.5, 0};
    Point m_endPoint{0.5, 1};
};

}  // namespace ui
