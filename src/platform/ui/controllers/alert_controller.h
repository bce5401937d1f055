#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/controllers/alert_action.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/text/text_field.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

enum class AlertControllerStyle { actionSheet = 0, alert = 1 };

// An alert or action sheet: title, message, actions in the order added, text fields. Tests tap
// an action by title: the alert is dismissed, then the action's handler runs. Once shown, its
// first text field is being edited; its fields stop editing as it goes.
class AlertController : public ViewController {
public:
    static std::shared_ptr<AlertController> create(std::optional<std::string> title, std::optional<std::string> message,
                                                   AlertControllerStyle style);
    std::string className() const override { return "AlertController"; }

    const std::optional<std::string>& alertTitle() const { return m_title; }
    const std::optional<std::string>& message() const { return m_message; }
    void setMessage(std::optional<std::string> message) {
        checkMainThread();
        m_message = std::move(message);
    }
    AlertControllerStyle preferredStyle() const { return m_style; }
    const std::vector<std::shared_ptr<AlertAction>>& actions() const { return m_actions; }
    void addAction(const std::shared_ptr<AlertAction>& action);
    std::shared_ptr<AlertAction> preferredAction() const { return m_preferredAction; }
    void setPreferredAction(std::shared_ptr<AlertAction> action) {
        checkMainThread();
        m_preferredAction = std::move(action);
    }
    const std::vector<std::shared_ptr<TextField>>& textFields() const { return m_textFields; }
    // Only alerts take text fields (a programming error otherwise).
    void addTextField(const std::function<void(TextField&)>& configure = {});

    // Returns false when there is no enabled action with that title.
    bool tapAction(const std::string& title);
    // What the keyboard's Return takes: the preferred action, else in an alert the first enabled
    // action of the default style; none when the preferred one is disabled, and none when every
    // other action destroys (Return never deletes unasked: the user clicks or taps that one).
    std::shared_ptr<AlertAction> returnKeyAction() const;
    // What Escape takes: the action of the cancel style, if it is enabled.
    std::shared_ptr<AlertAction> cancelAction() const;
    // The action drawn in bold: the one Return takes, else the cancel action (any style).
    std::shared_ptr<AlertAction> emphasizedAction() const;

    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

private:
    AlertController(std::optional<std::string> title, std::optional<std::string> message, AlertControllerStyle style)
        : m_title(std::move(title)), m_message(std::move(message)), m_style(style) {}

    std::optional<std::string> m_title;
    std::optional<std::string> m_message;
    AlertControllerStyle m_style;
    std::vector<std::shared_ptr<AlertAction>> m_actions;
    std::shared_ptr<AlertAction> m_preferredAction;
    std::vector<std::shared_ptr<TextField>> m_textFields;
};

}  // namespace ui
