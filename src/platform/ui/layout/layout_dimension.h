#pragma once

namespace ui {

// One dimension of a layout size.
struct LayoutDimension {
    enum class Kind { fractionalWidth, fractionalHeight, absolute, estimated };
    Kind kind = Kind::fractionalWidth;
    double value = 1;

    static LayoutDimension fractionalWidth(double v) { return {Kind::fractionalWidth, v}; }
    static LayoutDimension fractionalHeight(double v) { return {Kind::fractionalHeight, v}; }
    static LayoutDimension absolute(double v) { return {Kind::absolute, v}; }
    static LayoutDimension estimated(double v) { return {Kind::estimated, v}; }
    bool operator==(const LayoutDimension&) const = default;
};

struct LayoutSize {
    LayoutDimension width;
    LayoutDimension height;
    bool operator==(const LayoutSize&) const = default;
};

}  // namespace ui
