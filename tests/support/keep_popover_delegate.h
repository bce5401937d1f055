#pragma once

#include <optional>

#include "platform/ui/controllers/popover_presentation_controller.h"

namespace testing_support {

// Keeps a popover a popover in a compact window, where it would otherwise adapt to a full screen
// presentation, so tests on a phone-sized window can place, touch and dismiss it.
class KeepPopoverDelegate : public ui::PopoverPresentationControllerDelegate {
public:
    std::optional<ui::ModalPresentationStyle> adaptivePresentationStyle(ui::PopoverPresentationController&,
                                                                        const ui::TraitCollection&) override {
        return ui::ModalPresentationStyle::none;
    }
};

}  // namespace testing_support
