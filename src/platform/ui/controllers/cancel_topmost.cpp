#include "platform/ui/controllers/cancel_topmost.h"

#include "platform/ui/controllers/document_picker_view_controller.h"
#include "platform/ui/controllers/font_picker_view_controller.h"
#include "platform/ui/controllers/popover_presentation_controller.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/window.h"

namespace ui {

namespace {

// The picker shown in `controller` or its children, if any.
bool cancelPicker(const std::shared_ptr<ViewController>& controller) {
    if (!controller || !controller->isViewLoaded() || !controller->view()->window()) return false;
    if (auto picker = std::dynamic_pointer_cast<DocumentPickerViewController>(controller)) {
        picker->cancel();
        return true;
    }
    if (auto picker = std::dynamic_pointer_cast<FontPickerViewController>(controller)) {
        picker->cancel();
        return true;
    }
    for (const auto& child : controller->children()) {
        if (cancelPicker(child)) return true;
    }
    return false;
}

}  // namespace

bool cancelTopmost(Window& window) {
    checkMainThread();
    if (auto menu = window.presentedMenu()) {
        menu->close();
        return true;
    }
    auto top = window.topPresentedViewController();
    if (!top || top->isBeingPresented() || top->isBeingDismissed()) return false;
    if (cancelPicker(top)) return true;
    switch (top->effectivePresentationStyle()) {
        case ModalPresentationStyle::popover: return top->popoverPresentationController()->dismissByUser();
        case ModalPresentationStyle::pageSheet:
        case ModalPresentationStyle::formSheet:
        case ModalPresentationStyle::automatic: top->dismiss(true); return true;
        default: return false;
    }
}

}  // namespace ui
