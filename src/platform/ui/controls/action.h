#pragma once

#include <functional>
#include <memory>

#include "platform/ui/controls/menu_element.h"

namespace ui {

// A menu action (also a control's primary action): a title, an image, attributes, a state and
// a handler that `perform` runs.
class Action : public MenuElement {
public:
    enum Attributes : unsigned { none = 0, disabled = 1, destructive = 2, hidden = 4, keepsMenuPresented = 8 };
    enum class State { off = 0, on = 1, mixed = -1 };
    using Handler = std::function<void(Action&)>;

    static std::shared_ptr<Action> create(std::string title, std::shared_ptr<Image> image = nullptr,
                                          std::string identifier = {}, unsigned attributes = none,
                                          State state = State::off, Handler handler = {});
    static std::shared_ptr<Action> create(std::string title, Handler handler) {
        return create(std::move(title), nullptr, {}, none, State::off, std::move(handler));
    }
    std::string className() const override { return "Action"; }

    const std::string& identifier() const { return m_identifier; }
    unsigned attributes() const { return m_attributes; }
    void setAttributes(unsigned attributes) { m_attributes = attributes; }
    State state() const { return m_state; }
    void setState(State state) { m_state = state; }
    bool isDisabled() const { return (m_attributes & disabled) != 0; }
    bool isDestructive() const { return (m_attributes & destructive) != 0; }
    bool isHidden() const { return (m_attributes & hidden) != 0; }
    // What chose the action (a control, a bar item); set while the handler runs.
    std::shared_ptr<Object> sender() const { return m_sender.lock(); }

    // Runs the handler unless the action is disabled; returns whether it ran.
    bool perform(const std::shared_ptr<Object>& sender = nullptr);

protected:
    Action(std::string title, std::shared_ptr<Image> image) : MenuElement(std::move(title), std::move(image)) {}

private:
    std::string m_identifier;
    unsigned m_attributes = none;
    State m_state = State::off;
    Handler m_handler;
    std::weak_ptr<Object> m_sender;
};

}  // namespace ui
