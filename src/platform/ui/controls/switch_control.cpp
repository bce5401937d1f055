#include "platform/ui/controls/switch_control.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<Switch> Switch::create(const Rect& frame) { return make<Switch>(frame); }

void Switch::setOn(bool on, bool) {
    checkMainThread();
    m_on = on;
}

void Switch::touchEndedInside() {
    m_on = !m_on;
    noteReaction();  // the knob moved, whoever listens
    sendActions(valueChanged | touchUpInside | primaryActionTriggered);
}

}  // namespace ui
