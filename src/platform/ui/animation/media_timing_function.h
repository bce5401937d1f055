#pragma once

#include <string>

#include "platform/ui/views/point.h"

namespace ui {

// A cubic Bezier timing curve from (0, 0) to (1, 1) with two inner control points.
class MediaTimingFunction {
public:
    enum class Name { linear, easeIn, easeOut, easeInEaseOut, defaultCurve };

    MediaTimingFunction() = default;
    MediaTimingFunction(double c1x, double c1y, double c2x, double c2y) : m_c1{c1x, c1y}, m_c2{c2x, c2y} {}
    static MediaTimingFunction named(Name name);

    // Index 0 to 3: the start point, the two inner control points and the end point. The named
    // linear curve reports (0, 0), (0, 0), (1, 1), (1, 1).
    Point controlPoint(int index) const;
    // The curve's y where its x equals `x` (x clamped to 0...1).
    double evaluate(double x) const;
    bool operator==(const MediaTimingFunction&) const = default;

private:
    Point m_c1{0, 0};
    Point m_c2{1, 1};
};

std::string timingFunctionName(MediaTimingFunction::Name name);

}  // namespace ui
