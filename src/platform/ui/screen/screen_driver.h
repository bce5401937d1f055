#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/error.h"
#include "platform/ui/screen/text_screen.h"
#include "platform/ui/views/point.h"

namespace ui {

class Window;

// Acts on a window as a user would, naming what to touch as the printed screen shows it: by
// handle ("#3") or by a text that exactly one element shows ("OK", "Rename"); a text inside an
// element names that element (a cell by its label); a segment's title names that segment. When
// a text names several elements and only one of them can be touched (a sheet over the grid),
// the one on top is meant. Touches go the way a finger's do (`Finger`): hit-testing (an element
// covered by another one cannot be touched), the delegates of the recognisers under the finger,
// then the control, recogniser or view that takes the touch; a held touch lets the main run
// loop's clock run while the finger rests. Fields take typing, alerts and menus their choices.
//
// After each action the driver lets the screen settle: the main run loop serves what is ready
// and, on a manual clock, time moves on until no presentation, dismissal or navigation
// transition is in flight. A driver made for a host whose own loop serves the screen (a window
// on the desktop, acting on a click) does not wait: a transition goes on in that loop, frame by
// frame, instead of holding the click until it ends. Main thread only.
class ScreenDriver {
public:
    enum class Direction { up, down, left, right };
    enum class Settling { afterEachAction, never };

    explicit ScreenDriver(std::shared_ptr<Window> window, Settling settling = Settling::afterEachAction)
        : m_window(std::move(window)), m_settling(settling) {}

    // The window as text now (after a layout pass).
    TextScreen capture();
    std::string screen() { return capture().text(); }

    foundation::Status tap(const std::string& what);
    // Replaces the text of a text field or search bar, then the field ends editing (returns).
    foundation::Status type(const std::string& what, const std::string& text, bool pressReturn = false);
    // An alert action or a menu entry, by title.
    foundation::Status choose(const std::string& title);
    // Slider values and segments.
    foundation::Status slide(const std::string& what, float value);
    foundation::Status chooseSegment(const std::string& what, const std::string& segment);
    // A finger on the minus (`up` false) or plus half of a stepper, lifted at once.
    foundation::Status step(const std::string& what, bool up);
    // A press held on the element: a button's menu that is not its primary action, its long-press
    // recognisers, else a cell's context menu opens.
    foundation::Status longPress(const std::string& what);
    // A pan from the element's centre by `translation`: the pan recognisers under the finger, else
    // the scroll view under it follows the content. A swipe is a quick pan one screen-third long.
    foundation::Status pan(const std::string& what, Point translation);
    foundation::Status swipe(const std::string& what, Direction direction);
    foundation::Status pinch(const std::string& what, double scale);
    // Drags a cell and drops it on another cell (or on a list's empty space).
    foundation::Status dragAndDrop(const std::string& from, const std::string& to);
    // The back button of the topmost navigation bar.
    foundation::Status back();

    // Serves the main run loop until the screen has settled (see above).
    void settle();
    // The media time by which the window's animations that end within `within` seconds have
    // ended; none when nothing in view moves that soon (AnimationsInFlight). Animations are not
    // waited for by `settle`: a host that shows the screen at rest waits for them itself.
    std::optional<double> restingTime(double within) const;

    // Where, in the window's points, a finger touches the element `what` names (a segment's title:
    // that segment): for input that reaches the window another way (a desktop's pointer). An
    // error when no touch reaches it.
    foundation::Result<Point> touchPointOf(const std::string& what);
    // The handle of the element `what` names when it lies outside the window's views (a bar item,
    // an alert's action, a menu's entry): a desktop window draws those itself and knows where.
    std::optional<int> drawnHandleOf(const std::string& what);

private:
    using Filter = bool (*)(const ScreenTarget&);
    // The element `what` names on the screen now (among those `filter` accepts), or an error
    // that says why none.
    foundation::Result<ScreenTarget> resolve(const std::string& what, Filter filter = nullptr);
    // Its index among `screen`'s targets.
    foundation::Result<size_t> resolveIndex(const TextScreen& screen, const std::string& what, Filter filter);
    // `what` when it is the title of one of `target`'s segments.
    static std::optional<std::string> segmentNamed(const ScreenTarget& target, const std::string& what);
    // The point a finger touches the element at, after checking that the touch reaches it.
    foundation::Result<Point> touchPoint(const ScreenTarget& target);
    // `point` when a touch there reaches `target`, else why not.
    foundation::Result<Point> reaching(const ScreenTarget& target, Point point);
    // The centre of the segment titled `title` of a segmented control.
    foundation::Result<Point> segmentPoint(const ScreenTarget& target, const std::string& title);
    struct Touched {
        ScreenTarget target;
        Point point;
    };
    // `resolve` and `touchPoint` in one.
    foundation::Result<Touched> reach(const std::string& what);
    foundation::Status tapTarget(const ScreenTarget& target, const std::string& what = {});
    // A finger put down at `point` over `target`'s view and lifted after `hold` seconds.
    foundation::Status touch(const ScreenTarget& target, Point point, double hold = 0);
    // Lets `seconds` pass on the main run loop's clock while a finger rests.
    void hold(double seconds);
    foundation::Status panTarget(const ScreenTarget& target, Point translation, Point velocity);
    // Whether a touch reaches the bar element `target` (a bar item, a back button): a popover on
    // top only goes, a screen presented over the bar takes the touch itself.
    foundation::Status reachBar(const ScreenTarget& target);
    // Closes an open menu that the touch of `target` lands outside of; true when it did.
    bool closeMenuOutside(const ScreenTarget& target);
    // `settle`, unless this driver never waits (then only a layout pass).
    void settleAfterAction();

    std::shared_ptr<Window> m_window;
    Settling m_settling;
};

}  // namespace ui
