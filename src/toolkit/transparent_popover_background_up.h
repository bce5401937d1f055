#pragma once

#include <memory>

#include "platform/ui/controllers/popover_presentation_controller.h"
#include "toolkit/transparent_popover_background.h"

namespace reelhaven {

// The transparent popover background whose arrow points up.
class TransparentPopoverBackgroundUp : public TransparentPopoverBackground {
public:
    static std::shared_ptr<TransparentPopoverBackgroundUp> create(const ui::Rect& frame = {});
    // As an interface file makes it: only the base initialiser runs.
    static std::shared_ptr<TransparentPopoverBackgroundUp> createFromCoder();
    // Hands this class to a popover as its background view class.
    static void install(ui::PopoverPresentationController& popover);
    std::string className() const override { return "TransparentPopoverBackgroundUp"; }

protected:
    explicit TransparentPopoverBackgroundUp(const ui::Rect& frame)
        : TransparentPopoverBackground(frame, ui::popoverArrowUp) {}
};

}  // namespace reelhaven
