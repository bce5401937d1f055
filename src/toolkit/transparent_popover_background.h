#pragma once

#include "platform/ui/controllers/popover_background_view.h"

namespace reelhaven {

// A popover background that shows nothing: no colour, no arrow, the content 7 points from its
// anchor. The arrow direction is fixed by the subclass; what the popover sets is ignored.
class TransparentPopoverBackground : public ui::PopoverBackgroundView {
public:
    unsigned arrowDirection() const override { return m_direction; }
    void setArrowDirection(unsigned) override {}
    double arrowOffset() const override { return 0.0; }
    void setArrowOffset(double) override {}
    double arrowHeight() const override { return 7.0; }
    double arrowBase() const override { return 0.0; }
    ui::EdgeInsets contentViewInsets() const override { return {0, 0, 0, 0}; }

protected:
    TransparentPopoverBackground(const ui::Rect& frame, unsigned direction)
        : ui::PopoverBackgroundView(frame), m_direction(direction) {}
    // What creating from a frame does: clear, invisible and not opaque.
    void makeTransparent();

private:
    unsigned m_direction;
};

}  // namespace reelhaven
