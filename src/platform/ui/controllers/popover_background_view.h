#pragma once

#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"

namespace ui {

enum PopoverArrowDirection : unsigned {
    popoverArrowUp = 1,
    popoverArrowDown = 2,
    popoverArrowLeft = 4,
    popoverArrowRight = 8,
    popoverArrowAny = 15,
    popoverArrowUnknown = ~0u,
};

// The view behind a popover's content, with its arrow. The presentation makes one from the
// factory its controller was given and asks it for the arrow's size and the content insets;
// subclasses override those (the platform asks them of the class).
class PopoverBackgroundView : public View {
public:
    static std::shared_ptr<PopoverBackgroundView> create(const Rect& frame = {});
    std::string className() const override { return "PopoverBackgroundView"; }

    virtual unsigned arrowDirection() const { return m_arrowDirection; }
    virtual void setArrowDirection(unsigned direction) {
        checkMainThread();
        m_arrowDirection = direction;
    }
    virtual double arrowOffset() const { return m_arrowOffset; }
    virtual void setArrowOffset(double offset) {
        checkMainThread();
        m_arrowOffset = offset;
    }
    virtual double arrowHeight() const { return 13; }
    virtual double arrowBase() const { return 37; }
    virtual EdgeInsets contentViewInsets() const { return {8, 8, 8, 8}; }

protected:
    explicit PopoverBackgroundView(const Rect& frame) : View(frame) {}

private:
    unsigned m_arrowDirection = popoverArrowUp;
    double m_arrowOffset = 0;
};

}  // namespace ui
