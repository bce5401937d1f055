// How a window shows on a screen of a given usable area.

#include "platform/display/window_fit.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowFit, ScalesAWindowTooLargeDownWholeKeepingItsShape) {
    struct Case {
        const char* what;
        ui::Size wanted, usable, fitted;
    };
    const Case cases[] = {
        {"fits as it is", {1024, 1366}, {1920, 1400}, {1024, 1366}},
        {"too tall: a pad upright on a 1000-pixel screen", {1024, 1366}, {1280, 1000}, {750, 1000}},
        {"too tall: a phone on an 800-pixel screen", {390, 844}, {1280, 800}, {370, 800}},
        {"too wide: a pad on its side", {1366, 1024}, {1000, 1200}, {1000, 750}},
        {"too tall and too wide", {2000, 1000}, {1000, 800}, {1000, 500}},
        {"a panel takes some of the screen", {1024, 1366}, {1280, 968}, {726, 968}},
        {"a screen smaller than the smallest layout still holds it whole", {1024, 1366}, {500, 400}, {300, 400}},
        {"the desktop does not say", {1024, 1366}, {0, 0}, {1024, 1366}},
    };
    for (const auto& c : cases) {
        const auto fit = display::fitWindow(c.wanted, c.usable);
        EXPECT_EQ(fit.size, c.fitted) << c.what << ": " << fit.size.width << "x" << fit.size.height;
        EXPECT_NEAR(fit.scale, std::min({1.0, c.fitted.width / c.wanted.width, c.fitted.height / c.wanted.height}),
                    0.002)
            << c.what;
        EXPECT_LE(fit.size.width, c.usable.width > 0 ? c.usable.width : c.wanted.width) << c.what;
        EXPECT_LE(fit.size.height, c.usable.height > 0 ? c.usable.height : c.wanted.height) << c.what;
    }
}

}  // namespace
