#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/graphics/image.h"

// Pixel comparisons with tolerances, for the painter's tests.
namespace display {

inline ::testing::AssertionResult isColor(gfx::Pixel p, int r, int g, int b, int a = 255, int tolerance = 3) {
    auto near = [tolerance](int x, int y) { return std::abs(x - y) <= tolerance; };
    if (near(p.r, r) && near(p.g, g) && near(p.b, b) && near(p.a, a)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel is " << int(p.r) << "," << int(p.g) << "," << int(p.b) << ","
                                         << int(p.a) << ", not " << r << "," << g << "," << b << "," << a;
}

// How far two images of one size differ: the largest difference of any channel, and how many
// pixels differ by more than one level.
struct Difference {
    int largest = 0;
    int pixels = 0;
};
inline Difference difference(const gfx::Image& a, const gfx::Image& b) {
    Difference found;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const auto p = a.pixel(x, y), q = b.pixel(x, y);
            int channel = std::abs(p.a - q.a);
            // Colour under near-transparent alpha is lost to premultiplication either way.
            if (std::min(p.a, q.a) >= 16)
                channel = std::max({channel, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
            found.largest = std::max(found.largest, channel);
            if (channel > 1) ++found.pixels;
        }
    return found;
}

// Equal but for rounding: a kept bitmap cut by an antialiased clip rounds its edge pixels once
// more than a drawing made through that clip, by a few levels at most.
inline ::testing::AssertionResult sameButForRounding(const gfx::Image& a, const gfx::Image& b) {
    if (a.width() != b.width() || a.height() != b.height()) return ::testing::AssertionFailure() << "sizes differ";
    const auto d = difference(a, b);
    if (d.largest <= 3 && d.pixels * 1000 <= a.width() * a.height()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << d.pixels << " pixels differ, by up to " << d.largest << " levels";
}

}  // namespace display
