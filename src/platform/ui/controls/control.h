#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/controls/action.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"

namespace ui {

enum ControlEvents : std::uint32_t {
    touchDown = 1 << 0,
    touchDownRepeat = 1 << 1,
    touchDragInside = 1 << 2,
    touchDragOutside = 1 << 3,
    touchDragEnter = 1 << 4,
    touchDragExit = 1 << 5,
    touchUpInside = 1 << 6,
    touchUpOutside = 1 << 7,
    touchCancel = 1 << 8,
    valueChanged = 1 << 12,
    primaryActionTriggered = 1 << 13,
    menuActionTriggered = 1 << 14,
    editingDidBegin = 1 << 16,
    editingChanged = 1 << 17,
    editingDidEnd = 1 << 18,
    editingDidEndOnExit = 1 << 19,
    allTouchEvents = 0x00000FFF,
    allEditingEvents = 0x000F0000,
    allEvents = 0xFFFFFFFF,
};

enum ControlState : std::uint32_t {
    normal = 0,
    highlighted = 1 << 0,
    disabled = 1 << 1,
    selected = 1 << 2,
    focused = 1 << 3
};

enum class ContentHorizontalAlignment { center, left, right, fill, leading, trailing };
enum class ContentVerticalAlignment { center, top, bottom, fill };

// A control: sends target-actions and actions for its events. A target is held weakly; its
// action is skipped once the target is gone. A person's finger reaches it through the window's
// touch path (`Finger`), which calls `touchDown`, `touchMove`, `touchUp` and `touchCancel`; the
// subclasses react in the tracking hooks and in `touchEndedInside`. `sendActions` sends events
// directly, as the control itself does.
class Control : public View {
public:
    using Handler = std::function<void(Control& sender)>;

    static std::shared_ptr<Control> create(const Rect& frame = {});
    std::string className() const override { return "Control"; }

    void addTarget(const std::shared_ptr<void>& target, Handler action, std::uint32_t events);
    // Removes the target's actions for the events (all targets when null).
    void removeTarget(const std::shared_ptr<void>& target, std::uint32_t events);
    void addAction(const std::shared_ptr<Action>& action, std::uint32_t events);
    void removeAction(const std::shared_ptr<Action>& action, std::uint32_t events);
    size_t targetCount() const;
    // Returns whether any target or action was there to hear it.
    bool sendActions(std::uint32_t events);

    virtual bool isEnabled() const { return m_enabled; }
    virtual void setEnabled(bool enabled) {
        checkMainThread();
        m_enabled = enabled;
    }
    virtual bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected) {
        checkMainThread();
        m_selected = selected;
    }
    virtual bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted) {
        checkMainThread();
        m_highlighted = highlighted;
    }
    std::uint32_t state() const;
    bool isTracking() const { return m_tracking; }
    ContentHorizontalAlignment contentHorizontalAlignment() const { return m_horizontal; }
    void setContentHorizontalAlignment(ContentHorizontalAlignment a) {
        checkMainThread();
        m_horizontal = a;
    }
    ContentVerticalAlignment contentVerticalAlignment() const { return m_vertical; }
    void setContentVerticalAlignment(ContentVerticalAlignment a) {
        checkMainThread();
        m_vertical = a;
    }

    // Touch tracking as the platform runs it; subclasses override these to follow the finger.
    // Begin and continue return whether tracking goes on.
    virtual bool beginTracking(const Touch& /*touch*/) { return true; }
    virtual bool continueTracking(const Touch& /*touch*/) { return true; }
    virtual void endTracking(const Touch* /*touch*/) {}
    virtual void cancelTracking() {}

    // The user's finger, at points of the window: down (touch down), moves (drag inside or
    // outside), up (touch up inside with the primary action, or outside), or cancelled. Nothing
    // happens while the control is disabled. Return whether the control took the touch.
    // `tapCount`: the taps in a row this touch makes (2 for the second of a double tap).
    bool touchDown(Point inWindow, int tapCount = 1);
    void touchMove(Point inWindow);
    void touchUp(Point inWindow);
    void touchCancel();
    bool isTouched() const { return m_touching; }
    // Whether a finger that moves on after touching down stays this control's (a slider's thumb
    // follows it) rather than turning into a pan or a scroll of what lies around it.
    virtual bool followsDrags() const { return false; }
    // Counts what the control did for a person: actions that reached a target, values changed,
    // menus opened. A touch that leaves it unchanged changed nothing.
    std::uint64_t reactions() const { return m_reactions; }
    // Down and up at the centre, straight on the control (no hit-testing, no recognisers):
    // whether the touch changed anything.
    bool tap();
    // The same at a point of the window (a segment, a stepper's half).
    bool tapAt(Point inWindow);

protected:
    explicit Control(const Rect& frame) : View(frame) {}
    void setTracking(bool tracking) { m_tracking = tracking; }
    // The finger lifted inside the control, after its tracking ended: the base sends "touch up
    // inside" and the primary action.
    virtual void touchEndedInside();
    // Something a person sees changed that no action reports (a value nobody listens to).
    void noteReaction() { ++m_reactions; }

private:
    struct Binding {
        std::weak_ptr<void> target;
        bool hasTarget = false;
        Handler handler;
        std::shared_ptr<Action> action;
        std::uint32_t events = 0;
    };

    std::vector<Binding> m_bindings;
    bool m_enabled = true;
    bool m_selected = false;
    bool m_highlighted = false;
    bool m_tracking = false;
    bool m_touching = false;
    std::uint64_t m_reactions = 0;
    Point m_lastTouch;
    ContentHorizontalAlignment m_horizontal = ContentHorizontalAlignment::center;
    ContentVerticalAlignment m_vertical = ContentVerticalAlignment::center;
};

}  // namespace ui
