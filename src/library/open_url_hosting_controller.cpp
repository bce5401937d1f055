#include "library/open_url_hosting_controller.h"

namespace reelhaven {

std::shared_ptr<OpenURLHostingController> OpenURLHostingController::create(std::shared_ptr<OpenURLView> rootView) {
    return ui::make<OpenURLHostingController>(std::move(rootView));
}

void OpenURLHostingController::loadView() {
    ui::checkMainThread();
    setView(m_rootView);
}

std::shared_ptr<OpenURLHostingController> makeOpenURLController(
    std::function<void(const std::optional<std::string>&)> handler, foundation::Cancellable& subscription) {
    auto delegate = OpenURLDelegate::create();
    subscription = delegate->didChange.sink(std::move(handler));
    auto controller = OpenURLHostingController::create(OpenURLView::create(delegate, " "));
    delegate->setHost(controller);
    controller->view()->setBackgroundColor(ui::Color::systemGray6());
    return controller;
}

}  // namespace reelhaven
