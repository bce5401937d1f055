// The size a window opens at on a screen of a given usable area.

#include "platform/display/window_fit.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowFit, ScalesAWindowTooLargeDownWholeButNeverBelowTheSmallestSize) {
    const ui::Size minimum{390, 390};
    struct Case {
        const char* what;
        ui::Size wanted, usable, fitted;
    };
    const Case cases[] = {
        {"fits as it is", {1024, 1366}, {1920, 1400}, {1024, 1366}},
        {"too tall: a pad upright on a 1000-pixel screen", {1024, 1366}, {1280, 1000}, {749, 1000}},
        {"too wide: a pad on its side", {1366, 1024}, {1000, 1200}, {1000, 749}},
        {"too tall and too wide", {2000, 1000}, {1000, 800}, {1000, 500}},
        {"a panel takes some of the screen", {1024, 1366}, {1280, 968}, {725, 968}},
        {"a screen too small keeps the shape at the smallest size", {1024, 1366}, {500, 400}, {390, 520}},
        {"the desktop does not say", {1024, 1366}, {0, 0}, {1024, 1366}},
        {"a window smaller than the smallest size is left to the caller", {300, 300}, {200, 200}, {300, 300}},
    };
    for (const auto& c : cases) {
        const auto fitted = display::fittedWindowSize(c.wanted, c.usable, minimum);
        EXPECT_EQ(fitted, c.fitted) << c.what << ": " << fitted.width << "x" << fitted.height;
    }
}

}  // namespace
