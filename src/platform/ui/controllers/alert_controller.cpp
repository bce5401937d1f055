#include "platform/ui/controllers/alert_controller.h"

#include "platform/base/fatal.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<AlertController> AlertController::create(std::optional<std::string> title,
                                                         std::optional<std::string> message,
                                                         AlertControllerStyle style) {
    auto alert = std::shared_ptr<AlertController>(new AlertController(std::move(title), std::move(message), style));
    if (alert->m_title) alert->setTitle(*alert->m_title);
    alert->setModalPresentationStyle(ModalPresentationStyle::overFullScreen);
    return alert;
}

void AlertController::addAction(const std::shared_ptr<AlertAction>& action) {
    checkMainThread();
    if (!action) return;
    if (action->style() == AlertActionStyle::cancel) {
        for (const auto& existing : m_actions) {
            if (existing->style() == AlertActionStyle::cancel)
                base::fatal("an alert can only have one action with a cancel style");
        }
    }
    m_actions.push_back(action);
}

void AlertController::addTextField(const std::function<void(TextField&)>& configure) {
    checkMainThread();
    if (m_style != AlertControllerStyle::alert)
        base::fatal("Text fields can only be added to an alert controller of the alert style");
    auto field = TextField::create();
    if (configure) configure(*field);
    m_textFields.push_back(field);
}

bool AlertController::tapAction(const std::string& title) {
    checkMainThread();
    for (const auto& action : m_actions) {
        if (action->title() != title || !action->isEnabled()) continue;
        auto self = sharedAs<AlertController>();
        auto keep = action;
        if (presentingViewController()) dismiss(false);
        if (action->handler()) action->handler()(*action);
        return true;
    }
    return false;
}

std::shared_ptr<AlertAction> AlertController::returnKeyAction() const {
    if (m_preferredAction) return m_preferredAction->isEnabled() ? m_preferredAction : nullptr;
    if (m_style != AlertControllerStyle::alert) return nullptr;
    for (const auto& action : m_actions) {
        if (action->style() == AlertActionStyle::defaultStyle && action->isEnabled()) return action;
    }
    return nullptr;
}

std::shared_ptr<AlertAction> AlertController::cancelAction() const {
    for (const auto& action : m_actions) {
        if (action->style() == AlertActionStyle::cancel) return action->isEnabled() ? action : nullptr;
    }
    return nullptr;
}

std::shared_ptr<AlertAction> AlertController::emphasizedAction() const {
    if (auto action = returnKeyAction()) return action;
    for (const auto& action : m_actions) {
        if (action->style() == AlertActionStyle::cancel) return action;
    }
    return nullptr;
}

void AlertController::viewDidAppear(bool animated) {
    ViewController::viewDidAppear(animated);
    if (!m_textFields.empty()) m_textFields.front()->beginEditing();
}

void AlertController::viewWillDisappear(bool animated) {
    ViewController::viewWillDisappear(animated);
    for (const auto& field : m_textFields) field->endEditing();
}

}  // namespace ui
