#pragma once

#include <string>

namespace ui {

enum class LayoutAttribute {
    notAnAttribute,
    left,
    right,
    top,
    bottom,
    leading,
    trailing,
    width,
    height,
    centerX,
    centerY,
    lastBaseline,
    firstBaseline,
};

enum class LayoutRelation { lessThanOrEqual = -1, equal = 0, greaterThanOrEqual = 1 };

enum class LayoutAxis { horizontal, vertical };

// Constraint priorities, 1...1000.
namespace LayoutPriority {
constexpr float required = 1000;
constexpr float defaultHigh = 750;
constexpr float defaultLow = 250;
constexpr float fittingSizeLevel = 50;
}  // namespace LayoutPriority

std::string layoutAttributeName(LayoutAttribute attribute);

}  // namespace ui
