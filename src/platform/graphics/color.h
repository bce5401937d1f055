#pragma once

namespace gfx {

// An sRGB colour with straight (not premultiplied) alpha; components from 0 to 1.
struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 0;

    static Color white() { return {1, 1, 1, 1}; }
    static Color black() { return {0, 0, 0, 1}; }
    static Color clear() { return {0, 0, 0, 0}; }
    static Color gray(double white, double alpha = 1) { return {white, white, white, alpha}; }

    Color withAlpha(double newAlpha) const { return {red, green, blue, newAlpha}; }
    // Components clamped to 0...1.
    Color clamped() const;

    bool operator==(const Color&) const = default;
};

}  // namespace gfx
