#pragma once

#include <memory>

#include "platform/ui/controllers/popover_presentation_controller.h"
#include "toolkit/transparent_popover_background.h"

namespace reelhaven {

// The transparent popover background whose arrow points down.
class TransparentPopoverBackgroundDown : public TransparentPopoverBackground {
public:
    static std::shared_ptr<TransparentPopoverBackgroundDown> create(const ui::Rect& frame = {});
    // As an interface file makes it: only the base initialiser runs.
    static std::shared_ptr<TransparentPopoverBackgroundDown> createFromCoder();
    // Hands this class to a popover as its background view class.
    static void install(ui::PopoverPresentationController& popover);
    std::string className() const override { return "TransparentPopoverBackgroundDown"; }

protected:
    explicit TransparentPopoverBackgroundDown(const ui::Rect& frame)
        : TransparentPopoverBackground(frame, ui::popoverArrowDown) {}
};

}  // namespace reelhaven
