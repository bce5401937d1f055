#pragma once

#include <optional>
#include <string>

#include "platform/graphics/color.h"

namespace ui {

// A colour in extended sRGB components (0...1 for standard colours). System colours keep their
// name, so tests and descriptions can tell `Color::systemBlue()` from an equal plain colour.
struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
    std::string name;

    static Color rgba(double r, double g, double b, double a = 1) { return {r, g, b, a, {}}; }
    static Color white(double white, double alpha = 1) { return {white, white, white, alpha, {}}; }

    static Color clear();
    static Color black();
    static Color white();
    static Color gray();
    static Color darkGray();
    static Color lightGray();
    static Color redColor();
    static Color greenColor();
    static Color blueColor();
    static Color orange();
    static Color yellow();
    static Color systemBlue();
    static Color systemRed();
    static Color systemGreen();
    static Color systemOrange();
    static Color systemYellow();
    static Color systemGray();
    static Color systemGray2();
    static Color systemGray3();
    static Color systemGray4();
    static Color systemGray5();
    static Color systemGray6();
    static Color secondarySystemFill();
    static Color systemBackground();
    static Color secondarySystemBackground();
    static Color systemGroupedBackground();
    static Color label();
    static Color secondaryLabel();
    static Color tertiaryLabel();
    static Color placeholderText();
    static Color separator();
    static Color link();
    static Color tintColor();
    // A system colour by its name ("systemBlue", "label", ...), or none.
    static std::optional<Color> named(const std::string& name);

    static Color fromGraphics(const gfx::Color& c) { return {c.red, c.green, c.blue, c.alpha, {}}; }
    // The colour as the graphics layer draws it.
    gfx::Color cgColor() const { return {red, green, blue, alpha}; }

    Color withAlpha(double a) const {
        Color c = *this;
        c.alpha = a;
        c.name.clear();
        return c;
    }

    // Equal when the components are equal; the name does not take part.
    bool operator==(const Color& o) const {
        return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
    }
};

}  // namespace ui
