#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "platform/dispatch/run_loop.h"
#include "platform/display/symbol_icons.h"
#include "platform/display/view_painter.h"
#include "platform/graphics/image.h"
#include "platform/ui/views/view.h"

namespace display {

// A main run loop and a painter, with views made to be painted.
class PainterFixture : public ::testing::Test {
protected:
    std::shared_ptr<ui::View> makeView(ui::Rect frame, std::optional<ui::Color> background = std::nullopt) {
        auto view = ui::View::create(frame);
        view->setBackgroundColor(background);
        return view;
    }
    gfx::Image paint(ui::View& root, double scale = 1) { return painter.paintImage(root, scale); }

    dispatch::ScopedMainRunLoop loop;
    ViewPainter painter{SymbolIcons::shared()};
};

}  // namespace display
