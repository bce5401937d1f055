#include "platform/ui/animation/animation_value.h"

namespace ui {

namespace {

double mix(double a, double b, double f) { return a + (b - a) * f; }

Color mix(const Color& a, const Color& b, double f) {
    return Color::rgba(mix(a.red, b.red, f), mix(a.green, b.green, f), mix(a.blue, b.blue, f),
                       mix(a.alpha, b.alpha, f));
}

struct Mixer {
    double f;
    AnimationValue operator()(double a, double b) const { return mix(a, b, f); }
    AnimationValue operator()(const Point& a, const Point& b) const {
        return Point{mix(a.x, b.x, f), mix(a.y, b.y, f)};
    }
    AnimationValue operator()(const Size& a, const Size& b) const {
        return Size{mix(a.width, b.width, f), mix(a.height, b.height, f)};
    }
    AnimationValue operator()(const Rect& a, const Rect& b) const {
        return Rect(mix(a.origin.x, b.origin.x, f), mix(a.origin.y, b.origin.y, f), mix(a.size.width, b.size.width, f),
                    mix(a.size.height, b.size.height, f));
    }
    AnimationValue operator()(const Color& a, const Color& b) const { return mix(a, b, f); }
    AnimationValue operator()(const std::vector<Color>& a, const std::vector<Color>& b) const {
        if (a.size() != b.size()) return f < 1 ? a : b;
        std::vector<Color> result;
        for (size_t i = 0; i < a.size(); ++i) result.push_back(mix(a[i], b[i], f));
        return result;
    }
    AnimationValue operator()(const std::vector<double>& a, const std::vector<double>& b) const {
        if (a.size() != b.size()) return f < 1 ? a : b;
        std::vector<double> result;
        for (size_t i = 0; i < a.size(); ++i) result.push_back(mix(a[i], b[i], f));
        return result;
    }
    AnimationValue operator()(const Transform3D& a, const Transform3D& b) const {
        Transform3D result;
        for (size_t i = 0; i < 16; ++i) result.m[i] = mix(a.m[i], b.m[i], f);
        return result;
    }
    template <typename A, typename B>
    AnimationValue operator()(const A& a, const B& b) const {
        if (f < 1) return a;
        return b;
    }
};

}  // namespace

AnimationValue interpolate(const AnimationValue& from, const AnimationValue& to, double fraction) {
    return std::visit(Mixer{fraction}, from, to);
}

}  // namespace ui
