#include "platform/ui/views/color.h"

#include <map>

namespace ui {

namespace {

Color namedColor(const char* name, double r, double g, double b, double a = 1) { return {r, g, b, a, name}; }

const std::map<std::string, Color (*)()>& registry() {
    static const std::map<std::string, Color (*)()> colors{
        {"clear", &Color::clear},
        {"black", &Color::black},
        {"white", &Color::white},
        {"gray", &Color::gray},
        {"darkGray", &Color::darkGray},
        {"lightGray", &Color::lightGray},
        {"red", &Color::redColor},
        {"green", &Color::greenColor},
        {"blue", &Color::blueColor},
        {"orange", &Color::orange},
        {"yellow", &Color::yellow},
        {"systemBlue", &Color::systemBlue},
        {"systemRed", &Color::systemRed},
        {"systemGreen", &Color::systemGreen},
        {"systemOrange", &Color::systemOrange},
        {"systemYellow", &Color::systemYellow},
        {"systemGray", &Color::systemGray},
        {"systemGray2", &Color::systemGray2},
        {"systemGray3", &Color::systemGray3},
        {"systemGray4", &Color::systemGray4},
        {"systemGray5", &Color::systemGray5},
        {"systemGray6", &Color::systemGray6},
        {"secondarySystemFill", &Color::secondarySystemFill},
        {"systemBackground", &Color::systemBackground},
        {"secondarySystemBackground", &Color::secondarySystemBackground},
        {"systemGroupedBackground", &Color::systemGroupedBackground},
        {"label", &Color::label},
        {"secondaryLabel", &Color::secondaryLabel},
        {"tertiaryLabel", &Color::tertiaryLabel},
        {"placeholderText", &Color::placeholderText},
        {"separator", &Color::separator},
        {"link", &Color::link},
        {"tintColor", &Color::tintColor},
    };
    return colors;
}

}  // namespace

Color Color::clear() { return namedColor("clear", 0, 0, 0, 0); }
Color Color::black() { return namedColor("black", 0, 0, 0); }
Color Color::white() { return namedColor("white", 1, 1, 1); }
Color Color::gray() { return namedColor("gray", 0.5, 0.5, 0.5); }
Color Color::darkGray() { return namedColor("darkGray", 1.0 / 3, 1.0 / 3, 1.0 / 3); }
Color Color::lightGray() { return namedColor("lightGray", 2.0 / 3, 2.0 / 3, 2.0 / 3); }
Color Color::redColor() { return namedColor("red", 1, 0, 0); }
Color Color::greenColor() { return namedColor("green", 0, 1, 0); }
Color Color::blueColor() { return namedColor("blue", 0, 0, 1); }
Color Color::orange() { return namedColor("orange", 1, 0.5, 0); }
Color Color::yellow() { return namedColor("yellow", 1, 1, 0); }
// The dark-appearance values of the system colours; the player and the library are dark.
Color Color::systemBlue() { return namedColor("systemBlue", 10 / 255.0, 132 / 255.0, 1); }
Color Color::systemRed() { return namedColor("systemRed", 1, 69 / 255.0, 58 / 255.0); }
Color Color::systemGreen() { return namedColor("systemGreen", 48 / 255.0, 209 / 255.0, 88 / 255.0); }
Color Color::systemOrange() { return namedColor("systemOrange", 1, 159 / 255.0, 10 / 255.0); }
Color Color::systemYellow() { return namedColor("systemYellow", 1, 214 / 255.0, 10 / 255.0); }
Color Color::systemGray() { return namedColor("systemGray", 142 / 255.0, 142 / 255.0, 147 / 255.0); }
Color Color::systemGray2() { return namedColor("systemGray2", 99 / 255.0, 99 / 255.0, 102 / 255.0); }
Color Color::systemGray3() { return namedColor("systemGray3", 72 / 255.0, 72 / 255.0, 74 / 255.0); }
Color Color::systemGray4() { return namedColor("systemGray4", 58 / 255.0, 58 / 255.0, 60 / 255.0); }
Color Color::systemGray5() { return namedColor("systemGray5", 44 / 255.0, 44 / 255.0, 46 / 255.0); }
Color Color::systemGray6() { return namedColor("systemGray6", 28 / 255.0, 28 / 255.0, 30 / 255.0); }
Color Color::secondarySystemFill() {
    return namedColor("secondarySystemFill", 120 / 255.0, 120 / 255.0, 128 / 255.0, 0.32);
}
Color Color::systemBackground() { return namedColor("systemBackground", 0, 0, 0); }
Color Color::secondarySystemBackground() {
    return namedColor("secondarySystemBackground", 28 / 255.0, 28 / 255.0, 30 / 255.0);
}
Color Color::systemGroupedBackground() { return namedColor("systemGroupedBackground", 0, 0, 0); }
Color Color::label() { return namedColor("label", 1, 1, 1); }
Color Color::secondaryLabel() { return namedColor("secondaryLabel", 235 / 255.0, 235 / 255.0, 245 / 255.0, 0.6); }
Color Color::tertiaryLabel() { return namedColor("tertiaryLabel", 235 / 255.0, 235 / 255.0, 245 / 255.0, 0.3); }
Color Color::placeholderText() { return namedColor("placeholderText", 235 / 255.0, 235 / 255.0, 245 / 255.0, 0.3); }
Color Color::separator() { return namedColor("separator", 84 / 255.0, 84 / 255.0, 88 / 255.0, 0.6); }
Color Color::link() { return namedColor("link", 9 / 255.0, 132 / 255.0, 1); }
Color Color::tintColor() { return namedColor("tintColor", 10 / 255.0, 132 / 255.0, 1); }

std::optional<Color> Color::named(const std::string& name) {
    const auto it = registry().find(name);
    if (it == registry().end()) return std::nullopt;
    return it->second();
}

}  // namespace ui
