#include "platform/ui/controllers/popover_presentation_controller.h"

#include <algorithm>

#include "platform/ui/controllers/navigation_bar_layout.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"

namespace ui {

namespace {
constexpr Size defaultContentSize{320, 480};
constexpr double cornerRadius = 13;
}  // namespace

std::shared_ptr<PopoverPresentationController> PopoverPresentationController::create(
    const std::shared_ptr<ViewController>& presented) {
    auto controller = std::shared_ptr<PopoverPresentationController>(new PopoverPresentationController());
    controller->m_presented = presented;
    return controller;
}

void PopoverPresentationController::setPopoverBackgroundViewClass(std::string name, BackgroundFactory factory) {
    checkMainThread();
    m_backgroundClassName = std::move(name);
    m_backgroundFactory = std::move(factory);
}

ModalPresentationStyle PopoverPresentationController::adaptedStyle(const TraitCollection& traits) {
    checkMainThread();
    if (traits.horizontalSizeClass != UserInterfaceSizeClass::compact) return ModalPresentationStyle::popover;
    std::optional<ModalPresentationStyle> answer;
    if (auto d = delegate()) answer = d->adaptivePresentationStyle(*this, traits);
    if (!answer) return ModalPresentationStyle::fullScreen;
    return *answer == ModalPresentationStyle::none ? ModalPresentationStyle::popover : *answer;
}

Rect PopoverPresentationController::anchorInWindow() const {
    if (auto source = sourceView()) return source->convert(m_sourceRect, nullptr);
    // A bar item is where the presenter's navigation bar shows it.
    auto item = barButtonItem();
    auto presented = presentedViewController();
    auto presenter = presented ? presented->presentingViewController() : nullptr;
    if (item && presenter) {
        auto navigation = std::dynamic_pointer_cast<NavigationController>(presenter);
        if (!navigation) navigation = presenter->navigationController();
        if (navigation) {
            if (const auto bar = NavigationBarLayout::of(*navigation)) {
                if (const auto frame = bar->frameOf(*item)) return *frame;
            }
        }
    }
    return m_sourceRect;
}

void PopoverPresentationController::setPopoverLayoutMargins(const EdgeInsets& margins) {
    checkMainThread();
    m_popoverLayoutMargins = margins;
    placeAgain(false);
}

void PopoverPresentationController::preferredContentSizeDidChange(bool animated) {
    checkMainThread();
    placeAgain(animated);
}

void PopoverPresentationController::presentationAreaDidChange(const Rect& area) {
    checkMainThread();
    if (!isPresented()) return;
    m_area = area;
    placeAgain(false);
}

bool PopoverPresentationController::isPresented() const {
    auto presented = presentedViewController();
    return m_backgroundView && presented && presented->presentingViewController();
}

void PopoverPresentationController::placeAgain(bool animated) {
    if (!isPresented()) return;
    auto presented = presentedViewController();
    auto content = presented->view();
    if (!animated) {
        content->setFrame(place());
        return;
    }
    // The background and the content move together, so the arrow stays on the anchor throughout.
    View::animate(resizeDuration, [&] { content->setFrame(place()); });
}

Rect PopoverPresentationController::prepareForPresentation(const Rect& area) {
    checkMainThread();
    m_backgroundView = m_backgroundFactory ? m_backgroundFactory() : PopoverBackgroundView::create();
    m_area = area;
    // The content shows inside rounded corners, whatever its background view draws (a clear one
    // draws none).
    if (auto presented = presentedViewController(); presented && presented->view()->layer().cornerRadius() == 0) {
        presented->view()->layer().setCornerRadius(cornerRadius);
        presented->view()->layer().setMasksToBounds(true);
    }
    return place();
}

Rect PopoverPresentationController::place() {
    auto presented = presentedViewController();
    Size size = presented ? presented->preferredContentSize() : Size{};
    if (size.width <= 0 || size.height <= 0) size = defaultContentSize;
    const Rect anchor = anchorInWindow();
    const Rect allowed = m_area.inset(m_popoverLayoutMargins);
    // Below the anchor when the arrow may point up and there is room, else above.
    unsigned wanted = popoverArrowUp;
    if (!(m_permittedArrowDirections & popoverArrowUp) ||
        ((m_permittedArrowDirections & popoverArrowDown) && anchor.maxY() + size.height > allowed.maxY()))
        wanted = popoverArrowDown;
    m_backgroundView->setArrowDirection(wanted);
    m_arrowDirection = m_backgroundView->arrowDirection();
    const double arrow = m_backgroundView->arrowHeight();
    const EdgeInsets insets = m_backgroundView->contentViewInsets();
    // Centred on the anchor, then moved inside the allowed area; one wider than the area keeps
    // its left margin.
    const double outerWidth = size.width + insets.left + insets.right;
    const double left = std::clamp(anchor.midX() - outerWidth / 2, allowed.minX(),
                                   std::max(allowed.minX(), allowed.maxX() - outerWidth));
    const double x = left + insets.left;
    const double y = m_arrowDirection == popoverArrowDown ? anchor.minY() - arrow - insets.bottom - size.height
                                                          : anchor.maxY() + arrow + insets.top;
    const Rect content(x, y, size.width, size.height);
    m_backgroundView->setFrame(Rect(content.minX() - insets.left, content.minY() - insets.top, outerWidth,
                                    size.height + insets.top + insets.bottom));
    return content;
}

bool PopoverPresentationController::dismissByUser() {
    checkMainThread();
    auto presented = presentedViewController();
    if (!presented || !presented->presentingViewController()) return false;
    auto d = delegate();
    if (d && !d->popoverShouldDismiss(*this)) return false;
    auto self = sharedAs<PopoverPresentationController>();
    presented->dismiss(true, [self] {
        if (auto d = self->delegate()) d->popoverDidDismiss(*self);
    });
    return true;
}

}  // namespace ui
