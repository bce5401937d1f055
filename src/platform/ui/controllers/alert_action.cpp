#include "platform/ui/controllers/alert_action.h"

namespace ui {

std::shared_ptr<AlertAction> AlertAction::create(std::string title, AlertActionStyle style, Handler handler) {
    return std::shared_ptr<AlertAction>(new AlertAction(std::move(title), style, std::move(handler)));
}

}  // namespace ui
