#include "toolkit/check_mark.h"

#include <cmath>

#include "platform/ui/views/graphics_context.h"

namespace reelhaven {

namespace {

ui::Rect groupRect(const ui::Rect& bounds) {
    return ui::Rect(bounds.origin.x + 3, bounds.origin.y + 3, bounds.size.width - 6, bounds.size.height - 6);
}

ui::Rect ovalRect(const ui::Rect& group) {
    return ui::Rect(group.origin, {std::floor(group.size.width + 0.5), std::floor(group.size.height + 0.5)});
}

const ui::Size shadowOffset{0.1, -0.1};

}  // namespace

std::shared_ptr<CheckMark> CheckMark::create(const ui::Rect& frame) { return ui::make<CheckMark>(frame); }

void CheckMark::draw(const ui::Rect& rect) {
    ui::View::draw(rect);
    if (checkedBool) {
        drawChecked(ui::Color::rgba(0.078, 0.435, 0.875, 1.0));
    } else if (checkMarkStyleReal == CheckMarkStyle::GrayedOut) {
        drawChecked(ui::Color::rgba(1, 1, 1, 0.6));
    } else {
        drawOpenCircle();
    }
}

void CheckMark::drawChecked(const ui::Color& fill) {
    auto context = ui::GraphicsContext::current();
    if (!context) return;
    const ui::Rect group = groupRect(bounds());
    const ui::Rect oval = ovalRect(group);
    context->saveState();
    context->setShadow(shadowOffset, 2.5, ui::Color::black());
    context->setFillColor(fill);
    context->fillEllipse(oval);
    context->restoreState();
    context->setStrokeColor(ui::Color::white());
    context->setLineWidth(1.0);
    context->strokeEllipse(oval);
    const double gx = group.origin.x, gy = group.origin.y, gw = group.size.width, gh = group.size.height;
    context->moveTo({gx + 0.27083 * gw, gy + 0.54167 * gh});
    context->lineTo({gx + 0.41667 * gw, gy + 0.6875 * gh});
    context->lineTo({gx + 0.75 * gw, gy + 0.35417 * gh});
    context->setStrokeColor(ui::Color::white());
    context->setLineWidth(1.3);
    context->setLineCap(ui::LineCap::square);
    context->strokePath();
}

void CheckMark::drawOpenCircle() {
    auto context = ui::GraphicsContext::current();
    if (!context) return;
    const ui::Rect oval = ovalRect(groupRect(bounds()));
    context->saveState();
    context->setShadow(shadowOffset, 0.5, ui::Color::black());
    context->setStrokeColor(ui::Color::white());
    context->setLineWidth(1.0);
    context->strokeEllipse(oval);
    context->restoreState();
}

}  // namespace reelhaven
