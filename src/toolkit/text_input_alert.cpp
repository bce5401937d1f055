#include "toolkit/text_input_alert.h"

namespace reelhaven {

void presentTextInputAlert(ui::ViewController& presenter, std::optional<std::string> title,
                           std::optional<std::string> message, std::optional<std::string> actionTitle,
                           std::optional<std::string> cancelTitle, std::optional<std::string> placeholder,
                           ui::KeyboardType keyboardType, std::function<void(ui::AlertAction&)> cancelHandler,
                           std::function<void(std::optional<std::string>)> actionHandler) {
    auto alert = ui::AlertController::create(std::move(title), std::move(message), ui::AlertControllerStyle::alert);
    alert->addTextField([&](ui::TextField& field) {
        field.setPlaceholder(placeholder.value_or(""));
        field.setKeyboardType(keyboardType);
    });
    // The alert owns its actions; they reach back to it weakly.
    std::weak_ptr<ui::AlertController> weakAlert = alert;
    alert->addAction(ui::AlertAction::create(actionTitle.value_or(""), ui::AlertActionStyle::defaultStyle,
                                             [weakAlert, actionHandler = std::move(actionHandler)](ui::AlertAction&) {
                                                 auto alert = weakAlert.lock();
                                                 std::optional<std::string> text;
                                                 if (alert && !alert->textFields().empty())
                                                     text = alert->textFields().front()->text();
                                                 if (actionHandler) actionHandler(text);
                                             }));
    alert->addAction(
        ui::AlertAction::create(cancelTitle.value_or(""), ui::AlertActionStyle::cancel, std::move(cancelHandler)));
    presenter.present(alert, true);
}

}  // namespace reelhaven
