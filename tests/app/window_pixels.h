#pragma once

// Reading a window's screenshot as a person looks at it: where a colour shows, and how much.
// Pixels are sampled by colour with tolerances, never compared whole (fonts and Mesa versions
// differ).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <utility>
#include <vector>

#include "platform/graphics/image.h"

namespace window_pixels {

struct Colour {
    const char* name;  // the clip's name in the library
    int r, g, b;
};
// The clips' colours as decoded (tools/make-test-media makes them).
constexpr Colour kRed{"Red", 207, 37, 38};
constexpr Colour kGreen{"Green", 40, 176, 64};
constexpr Colour kBlue{"Blue", 40, 80, 208};
// Scaling and colour conversion move a solid colour by a few steps; far less than these differ.
constexpr int kTolerance = 28;

inline bool matches(gfx::Pixel p, const Colour& c) {
    return std::abs(p.r - c.r) <= kTolerance && std::abs(p.g - c.g) <= kTolerance && std::abs(p.b - c.b) <= kTolerance;
}

// Where one colour shows in an image: the box around its pixels and how many there are.
struct Region {
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive
    long count = 0;
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
    int centreX() const { return (left + right) / 2; }
    int centreY() const { return (top + bottom) / 2; }
    bool overlaps(const Region& other) const {
        return left <= other.right && other.left <= right && top <= other.bottom && other.top <= bottom;
    }
};

// The largest patch of the colour (pixels of it touching each other), so an icon's anti-aliased
// edge of a near colour elsewhere does not stretch the box.
inline Region regionOf(const gfx::Image& image, const Colour& colour) {
    const int width = image.width(), height = image.height();
    std::vector<char> seen(static_cast<size_t>(width) * height, 0);
    Region largest;
    std::vector<std::pair<int, int>> stack;
    for (int y0 = 0; y0 < height; ++y0) {
        for (int x0 = 0; x0 < width; ++x0) {
            if (seen[y0 * width + x0] || !matches(image.pixel(x0, y0), colour)) continue;
            Region patch{x0, y0, x0, y0, 0};
            seen[y0 * width + x0] = 1;
            stack.assign(1, {x0, y0});
            while (!stack.empty()) {
                const auto [x, y] = stack.back();
                stack.pop_back();
                ++patch.count;
                patch.left = std::min(patch.left, x);
                patch.right = std::max(patch.right, x);
                patch.top = std::min(patch.top, y);
                patch.bottom = std::max(patch.bottom, y);
                for (const auto& [nx, ny] :
                     {std::pair(x + 1, y), std::pair(x - 1, y), std::pair(x, y + 1), std::pair(x, y - 1)}) {
                    if (nx < 0 || ny < 0 || nx >= width || ny >= height || seen[ny * width + nx]) continue;
                    if (!matches(image.pixel(nx, ny), colour)) continue;
                    seen[ny * width + nx] = 1;
                    stack.push_back({nx, ny});
                }
            }
            if (patch.count > largest.count) largest = patch;
        }
    }
    return largest;
}

inline std::ostream& operator<<(std::ostream& out, const Region& r) {
    return out << r.count << " pixels in " << r.left << "," << r.top << " - " << r.right << "," << r.bottom;
}

// A picture of the colour: a solid block at least `minimum` pixels wide and high (a thumbnail, the
// video), filled mostly (rounded corners and a duration label on it aside).
inline ::testing::AssertionResult showsBlock(const Region& region, int minimum) {
    if (region.count == 0) return ::testing::AssertionFailure() << "the colour does not show";
    if (region.width() < minimum || region.height() < minimum)
        return ::testing::AssertionFailure() << "too small: " << region;
    if (region.count < 0.75 * region.width() * region.height())
        return ::testing::AssertionFailure() << "not one solid block: " << region;
    return ::testing::AssertionSuccess();
}

}  // namespace window_pixels
