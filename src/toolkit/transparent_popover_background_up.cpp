#include "toolkit/transparent_popover_background_up.h"

namespace reelhaven {

std::shared_ptr<TransparentPopoverBackgroundUp> TransparentPopoverBackgroundUp::create(const ui::Rect& frame) {
    auto view = ui::make<TransparentPopoverBackgroundUp>(frame);
    view->makeTransparent();
    return view;
}

std::shared_ptr<TransparentPopoverBackgroundUp> TransparentPopoverBackgroundUp::createFromCoder() {
    return ui::make<TransparentPopoverBackgroundUp>(ui::Rect{});
}

void TransparentPopoverBackgroundUp::install(ui::PopoverPresentationController& popover) {
    popover.setPopoverBackgroundViewClass("TransparentPopoverBackgroundUp", [] { return create(); });
}

}  // namespace reelhaven
