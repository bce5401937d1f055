#include "platform/ui/animation/media_timing_function.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

double bezier(double t, double p1, double p2) {
    const double u = 1 - t;
    return 3 * p1 * t * u * u + 3 * p2 * t * t * u + t * t * t;
}

double bezierSlope(double t, double p1, double p2) {
    const double u = 1 - t;
    return 3 * p1 * u * u + 6 * (p2 - p1) * t * u + 3 * (1 - p2) * t * t;
}

}  // namespace

MediaTimingFunction MediaTimingFunction::named(Name name) {
    switch (name) {
        case Name::linear: return {0, 0, 1, 1};
        case Name::easeIn: return {0.42, 0, 1, 1};
        case Name::easeOut: return {0, 0, 0.58, 1};
        case Name::easeInEaseOut: return {0.42, 0, 0.58, 1};
        case Name::defaultCurve: return {0.25, 0.1, 0.25, 1};
    }
    return {};
}

Point MediaTimingFunction::controlPoint(int index) const {
    switch (index) {
        case 0: return {0, 0};
        case 1: return m_c1;
        case 2: return m_c2;
        default: return {1, 1};
    }
}

double MediaTimingFunction::evaluate(double x) const {
    x = std::clamp(x, 0.0, 1.0);
    if (std::isnan(x)) return 0;
    // Newton's method on x(t), falling back to bisection where the slope is flat.
    double t = x;
    for (int i = 0; i < 8; ++i) {
        const double error = bezier(t, m_c1.x, m_c2.x) - x;
        if (std::abs(error) < 1e-9) return bezier(t, m_c1.y, m_c2.y);
        const double slope = bezierSlope(t, m_c1.x, m_c2.x);
        if (std::abs(slope) < 1e-9) break;
        t -= error / slope;
    }
    double low = 0, high = 1;
    t = x;
    for (int i = 0; i < 60; ++i) {
        const double value = bezier(t, m_c1.x, m_c2.x);
        if (std::abs(value - x) < 1e-9) break;
        (value < x ? low : high) = t;
        t = (low + high) / 2;
    }
    return bezier(t, m_c1.y, m_c2.y);
}

std::string timingFunctionName(MediaTimingFunction::Name name) {
    switch (name) {
        case MediaTimingFunction::Name::linear: return "linear";
        case MediaTimingFunction::Name::easeIn: return "easeIn";
        case MediaTimingFunction::Name::easeOut: return "easeOut";
        case MediaTimingFunction::Name::easeInEaseOut: return "easeInEaseOut";
        case MediaTimingFunction::Name::defaultCurve: return "default";
    }
    return "";
}

}  // namespace ui
