#include "platform/ui/controllers/popover_background_view.h"

namespace ui {

std::shared_ptr<PopoverBackgroundView> PopoverBackgroundView::create(const Rect& frame) {
    return make<PopoverBackgroundView>(frame);
}

}  // namespace ui
