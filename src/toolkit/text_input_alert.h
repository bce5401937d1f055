#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/controllers/alert_controller.h"

namespace reelhaven {

// Presents, animated, an alert with one text field: the action button (default style) hands the
// field's text (or none) to `actionHandler`; the cancel button (cancel style) calls
// `cancelHandler` when one is given.
void presentTextInputAlert(ui::ViewController& presenter, std::optional<std::string> title,
                           std::optional<std::string> message, std::optional<std::string> actionTitle,
                           std::optional<std::string> cancelTitle, std::optional<std::string> placeholder,
                           ui::KeyboardType keyboardType, std::function<void(ui::AlertAction&)> cancelHandler,
                           std::function<void(std::optional<std::string>)> actionHandler);

}  // namespace reelhaven
