#include "toolkit/transparent_popover_background_down.h"

namespace reelhaven {

std::shared_ptr<TransparentPopoverBackgroundDown> TransparentPopoverBackgroundDown::create(const ui::Rect& frame) {
    auto view = ui::make<TransparentPopoverBackgroundDown>(frame);
    view->makeTransparent();
    return view;
}

std::shared_ptr<TransparentPopoverBackgroundDown> TransparentPopoverBackgroundDown::createFromCoder() {
    return ui::make<TransparentPopoverBackgroundDown>(ui::Rect{});
}

void TransparentPopoverBackgroundDown::install(ui::PopoverPresentationController& popover) {
    popover.setPopoverBackgroundViewClass("TransparentPopoverBackgroundDown", [] { return create(); });
}

}  // namespace reelhaven
