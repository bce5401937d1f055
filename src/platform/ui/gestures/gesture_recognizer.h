#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/gestures/gesture_recognizer_delegate.h"
#include "platform/ui/gestures/touch.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/object.h"
#include "platform/ui/views/point.h"

namespace ui {

class View;

enum class GestureRecognizerState { possible, began, changed, ended, cancelled, failed };

// A gesture recogniser attached to a view. Tests drive the subclasses as a user would (`tap`,
// `begin`/`move`/`end`); each step asks the delegate, moves the state and sends the actions of
// the targets still alive. The state stays at its last value until the next gesture starts.
class GestureRecognizer : public Object {
public:
    using Action = std::function<void(GestureRecognizer&)>;

    std::string className() const override { return "GestureRecognizer"; }

    // `action` runs while `target` lives (a null target means the action owns what it needs).
    void addTarget(const std::shared_ptr<void>& target, Action action);
    void addAction(Action action) {
        checkMainThread();
        addTarget(nullptr, std::move(action));
    }
    void removeAllTargets() {
        checkMainThread();
        m_targets.clear();
    }
    size_t targetCount() const { return m_targets.size(); }

    GestureRecognizerState state() const { return m_state; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    const std::string& name() const { return m_name; }
    void setName(std::string name) {
        checkMainThread();
        m_name = std::move(name);
    }
    std::shared_ptr<View> view() const { return m_view.lock(); }
    void setView(const std::shared_ptr<View>& view) {
        checkMainThread();
        m_view = view;
    }
    std::shared_ptr<GestureRecognizerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<GestureRecognizerDelegate>& delegate) {
        checkMainThread();
        m_delegate = delegate;
    }
    bool cancelsTouchesInView() const { return m_cancelsTouchesInView; }
    void setCancelsTouchesInView(bool cancels) {
        checkMainThread();
        m_cancelsTouchesInView = cancels;
    }
    void requireToFail(const std::shared_ptr<GestureRecognizer>& other) {
        checkMainThread();
        m_requiredToFail.push_back(other);
    }
    const std::vector<std::weak_ptr<GestureRecognizer>>& requiredToFail() const { return m_requiredToFail; }

    // Where the gesture is, in `view`'s coordinates (the window's when null).
    Point location(const View* view) const;
    int numberOfTouches() const { return m_touches; }

    // The touches as they reach the recogniser (subclasses may look at them; the base does nothing).
    virtual void touchesBegan(const std::vector<Touch>& /*touches*/) {}

protected:
    GestureRecognizer() = default;

    // A new gesture at `locationInWindow`: false (state failed) when disabled, detached or the
    // delegate declines.
    bool startGesture(Point locationInWindow, int touches = 1);
    void setLocation(Point locationInWindow) { m_location = locationInWindow; }
    // Moves to `state` and sends the actions (none for possible and failed).
    void moveTo(GestureRecognizerState state);

private:
    struct Target {
        std::weak_ptr<void> target;
        bool hasTarget = false;
        Action action;
    };

    std::vector<Target> m_targets;
    GestureRecognizerState m_state = GestureRecognizerState::possible;
    bool m_enabled = true;
    std::string m_name;
    std::weak_ptr<View> m_view;
    std::weak_ptr<GestureRecognizerDelegate> m_delegate;
    bool m_cancelsTouchesInView = true;
    std::vector<std::weak_ptr<GestureRecognizer>> m_requiredToFail;
    Point m_location;
    int m_touches = 0;
};

}  // namespace ui
