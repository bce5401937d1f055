#include "platform/ui/controls/control.h"
#include "platform/ui/views/main_thread_check.h"

#include <algorithm>

namespace ui {

std::shared_ptr<Control> Control::create(const Rect& frame) { return make<Control>(frame); }

void Control::addTarget(const std::shared_ptr<void>& target, Handler action, std::uint32_t events) {
    checkMainThread();
    m_bindings.push_back({target, target != nullptr, std::move(action), nullptr, events});
}

void Control::removeTarget(const std::shared_ptr<void>& target, std::uint32_t events) {
    checkMainThread();
    for (auto& binding : m_bindings) {
        if (binding.action) continue;
        if (!target || (binding.hasTarget && binding.target.lock() == target)) binding.events &= ~events;
    }
    m_bindings.erase(
        std::remove_if(m_bindings.begin(), m_bindings.end(), [](const Binding& b) { return b.events == 0; }),
        m_bindings.end());
}

void Control::addAction(const std::shared_ptr<Action>& action, std::uint32_t events) {
    checkMainThread();
    if (action) m_bindings.push_back({{}, false, nullptr, action, events});
}

void Control::removeAction(const std::shared_ptr<Action>& action, std::uint32_t events) {
    checkMainThread();
    for (auto& binding : m_bindings) {
        if (binding.action == action) binding.events &= ~events;
    }
    m_bindings.erase(
        std::remove_if(m_bindings.begin(), m_bindings.end(), [](const Binding& b) { return b.events == 0; }),
        m_bindings.end());
}

size_t Control::targetCount() const {
    return static_cast<size_t>(std::count_if(m_bindings.begin(), m_bindings.end(), [](const Binding& b) {
        return !b.action && (!b.hasTarget || !b.target.expired());
    }));
}

bool Control::sendActions(std::uint32_t events) {
    checkMainThread();
    auto self = sharedAs<Control>();
    const auto bindings = m_bindings;
    bool heard = false;
    for (const auto& binding : bindings) {
        if ((binding.events & events) == 0) continue;
        if (binding.action) {
            binding.action->perform(self);
            heard = true;
        } else if (binding.handler && !(binding.hasTarget && binding.target.expired())) {
            binding.handler(*this);
            heard = true;
        }
    }
    if (heard) ++m_reactions;
    return heard;
}

std::uint32_t Control::state() const {
    std::uint32_t state = normal;
    if (m_highlighted) state |= highlighted;
    if (!isEnabled()) state |= disabled;
    if (m_selected) state |= selected;
    return state;
}

bool Control::touchDown(Point inWindow, int tapCount) {
    checkMainThread();
    if (!isEnabled() || !isUserInteractionEnabled()) return false;
    m_touching = true;
    m_lastTouch = inWindow;
    setHighlighted(true);
    const Touch touch{inWindow, inWindow, Touch::Phase::began, tapCount, sharedAs<View>()};
    m_tracking = beginTracking(touch);
    sendActions(ControlEvents::touchDown);
    return true;
}

void Control::touchMove(Point inWindow) {
    checkMainThread();
    if (!m_touching) return;
    const Touch touch{inWindow, m_lastTouch, Touch::Phase::moved, 1, sharedAs<View>()};
    m_lastTouch = inWindow;
    if (m_tracking) m_tracking = continueTracking(touch);
    const bool inside = pointInside(convertFromWindow(inWindow));
    sendActions(inside ? touchDragInside : touchDragOutside);
}

void Control::touchUp(Point inWindow) {
    checkMainThread();
    if (!m_touching) return;
    const Touch touch{inWindow, m_lastTouch, Touch::Phase::ended, 1, sharedAs<View>()};
    if (m_tracking) endTracking(&touch);
    m_tracking = false;
    m_touching = false;
    setHighlighted(false);
    const bool inside = pointInside(convertFromWindow(inWindow)) || bounds().isEmpty();
    if (inside) {
        touchEndedInside();
    } else {
        sendActions(touchUpOutside);
    }
}

void Control::touchEndedInside() { sendActions(touchUpInside | primaryActionTriggered); }

void Control::touchCancel() {
    checkMainThread();
    if (!m_touching) return;
    if (m_tracking) cancelTracking();
    m_tracking = false;
    m_touching = false;
    setHighlighted(false);
    sendActions(ControlEvents::touchCancel);
}

bool Control::tap() { return tapAt(convertToWindow({bounds().midX(), bounds().midY()})); }

bool Control::tapAt(Point inWindow) {
    checkMainThread();
    const auto before = m_reactions;
    if (!touchDown(inWindow)) return false;
    touchUp(inWindow);
    return m_reactions != before;
}

}  // namespace ui
