#include "platform/ui/controls/action.h"

namespace ui {

std::shared_ptr<Action> Action::create(std::string title, std::shared_ptr<Image> image, std::string identifier,
                                       unsigned attributes, State state, Handler handler) {
    auto action = make<Action>(std::move(title), std::move(image));
    action->m_identifier = std::move(identifier);
    action->m_attributes = attributes;
    action->m_state = state;
    action->m_handler = std::move(handler);
    return action;
}

bool Action::perform(const std::shared_ptr<Object>& sender) {
    if (isDisabled()) return false;
    m_sender = sender;
    auto keep = sharedAs<Action>();
    if (m_handler) m_handler(*this);
    m_sender.reset();
    return true;
}

}  // namespace ui
