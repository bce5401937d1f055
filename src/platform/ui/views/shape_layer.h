#pragma once

#include <optional>

#include "platform/ui/views/bezier_path.h"
#include "platform/ui/views/layer.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

// A layer that draws a path, filled and stroked; also a mask of that shape.
class ShapeLayer : public Layer {
public:
    static std::shared_ptr<ShapeLayer> create();
    std::string className() const override { return "ShapeLayer"; }

    const std::optional<BezierPath>& path() const { return m_path; }
    void setPath(std::optional<BezierPath> path) {
        checkMainThread();
        m_path = std::move(path);
        contentsChanged();
    }
    std::optional<Color> fillColor() const { return m_fillColor; }
    void setFillColor(std::optional<Color> color) {
        checkMainThread();
        m_fillColor = std::move(color);
        contentsChanged();
    }
    std::optional<Color> strokeColor() const { return m_strokeColor; }
    void setStrokeColor(std::optional<Color> color) {
        checkMainThread();
        m_strokeColor = std::move(color);
        contentsChanged();
    }
    double lineWidth() const { return m_lineWidth; }
    void setLineWidth(double width) {
        checkMainThread();
        m_lineWidth = width;
        contentsChanged();
    }

    std::optional<AnimationValue> modelValue(const std::string& keyPath) const override;

protected:
    ShapeLayer() = default;

private:
    std::optional<BezierPath> m_path;
    std::optional<Color> m_fillColor = Color::black();
    std::optional<Color> m_strokeColor;
    double m_lineWidth = 1;
};

}  // namespace ui
