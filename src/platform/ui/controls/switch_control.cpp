#include "platform/ui/controls/switch_control.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<Switch> Switch::create(const Rect& frame) { return make<Switch>(frame); }

void Switch::setOn(bool on, bool) {
    checkMainThread();
    m_on = on;
}

bool Switch::tap() {
    checkMainThread();
    if (!isEnabled() || !isUserInteractionEnabled()) return false;
    m_on = !m_on;
    sendActions(valueChanged | primaryActionTriggered);
    return true;
}

}  // namespace ui
