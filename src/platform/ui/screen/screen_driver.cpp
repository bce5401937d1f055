#include "platform/ui/screen/screen_driver.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "platform/base/escaped_text.h"
#include "platform/base/parsed_number.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/animation/animations_in_flight.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/navigation_bar_layout.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/transitions_in_flight.h"
#include "platform/ui/controls/bar_button_item.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/context_menu_interaction.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/controls/search_bar.h"
#include "platform/ui/controls/segmented_control.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/controls/stepper.h"
#include "platform/ui/gestures/finger.h"
#include "platform/ui/gestures/long_press_gesture_recognizer.h"
#include "platform/ui/gestures/pan_gesture_recognizer.h"
#include "platform/ui/gestures/pinch_gesture_recognizer.h"
#include "platform/ui/lists/collection_view.h"
#include "platform/ui/text/text_field.h"
#include "platform/ui/views/window.h"

namespace ui {

namespace {

enum ScreenDriverErrorCode { notFound = 1, ambiguous = 2, unreachable = 3, notApplicable = 4, refused = 5 };

foundation::Error driverError(ScreenDriverErrorCode code, std::string description) {
    return {"ScreenDriverErrorDomain", code, std::move(description)};
}

// How long a quick pan takes, for the velocity a swipe ends with.
constexpr double swipeSeconds = 0.1;
// Settling never moves the clock further than this: a transition that never ends is a fault to
// show, not to wait for.
constexpr double longestSettle = 60;

bool isHandle(const std::string& what) {
    return what.size() > 1 && what[0] == '#' &&
           std::all_of(what.begin() + 1, what.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Whether target `outer` encloses target `inner` (through any number of levels).
bool encloses(const std::vector<ScreenTarget>& targets, int outer, int inner) {
    for (int t = targets[static_cast<size_t>(inner)].enclosing; t >= 0; t = targets[static_cast<size_t>(t)].enclosing) {
        if (t == outer) return true;
    }
    return false;
}

bool isChoice(const ScreenTarget& t) {
    return t.kind == ScreenTarget::Kind::alertAction || t.kind == ScreenTarget::Kind::menuEntry;
}

}  // namespace

TextScreen ScreenDriver::capture() {
    m_window->layoutIfNeeded();
    return TextScreen::capture(*m_window);
}

void ScreenDriver::settle() {
    auto loop = dispatch::RunLoop::main();
    loop->runUntilIdle();
    if (!loop->clock().isManual()) {
        loop->runUntil([] { return TransitionsInFlight::count() == 0; });
    } else {
        const auto deadline = loop->now() + dispatch::seconds(longestSettle);
        while (TransitionsInFlight::count() > 0) {
            const auto next = loop->nextTimerTime();
            if (!next || *next > deadline) break;
            loop->advance(std::max(*next - loop->now(), dispatch::Duration::zero()));
        }
    }
    m_window->layoutIfNeeded();
}

std::optional<double> ScreenDriver::restingTime(double within) const {
    return AnimationsInFlight::restingTime(m_window->layer(), within);
}

void ScreenDriver::settleAfterAction() {
    if (m_settling == Settling::afterEachAction) {
        settle();
    } else {
        m_window->layoutIfNeeded();
    }
}

foundation::Result<ScreenTarget> ScreenDriver::resolve(const std::string& what, Filter filter) {
    const TextScreen screen = capture();
    auto index = resolveIndex(screen, what, filter);
    if (!index) return index.error();
    return screen.targets()[index.value()];
}

foundation::Result<size_t> ScreenDriver::resolveIndex(const TextScreen& screen, const std::string& what,
                                                      Filter filter) {
    const auto& targets = screen.targets();
    if (isHandle(what)) {
        // A handle past every element (however many digits it has) names none.
        const auto handle = base::parsedNumber<size_t>(std::string_view(what).substr(1), 1, targets.size());
        if (!handle || (filter && !filter(targets[*handle - 1])))
            return driverError(notFound, "no element " + what + " on the screen:\n" + screen.text());
        return *handle - 1;
    }
    // Whether a finger can touch it now; elements drawn outside the view tree (an alert's
    // actions, a menu's entries, bar items) are taken as shown.
    auto reachable = [&](int i) {
        const auto& t = targets[static_cast<size_t>(i)];
        return !t.inViewTree || static_cast<bool>(touchPoint(t));
    };
    // Several elements show the text: the one a finger can reach is meant (a sheet's button
    // over a grid cell of the same name).
    auto onTop = [&](std::vector<int>& matches) {
        if (matches.size() < 2) return;
        std::vector<int> reached;
        std::copy_if(matches.begin(), matches.end(), std::back_inserter(reached), reachable);
        if (reached.size() == 1) matches = reached;
    };
    std::vector<int> matches;
    for (size_t i = 0; i < targets.size(); ++i) {
        if ((!filter || filter(targets[i])) && contains(targets[i].texts, what)) matches.push_back(static_cast<int>(i));
    }
    onTop(matches);
    // What shows the text itself but lies covered gives way to an element on top that holds it.
    const bool covered = !matches.empty() && std::none_of(matches.begin(), matches.end(), reachable);
    if (matches.empty() || covered) {
        std::vector<int> inner;
        for (size_t i = 0; i < targets.size(); ++i) {
            if ((!filter || filter(targets[i])) && contains(targets[i].innerTexts, what))
                inner.push_back(static_cast<int>(i));
        }
        // A text inside nested elements names the innermost one.
        std::erase_if(inner, [&](int outer) {
            return std::any_of(inner.begin(), inner.end(), [&](int in) { return encloses(targets, outer, in); });
        });
        onTop(inner);
        if (matches.empty() || std::any_of(inner.begin(), inner.end(), reachable)) matches = inner;
    }
    if (matches.empty())
        return driverError(notFound, "nothing shows " + base::escapedText(what) + " on the screen:\n" + screen.text());
    if (matches.size() > 1) {
        std::string lines;
        for (int m : matches) lines += "\n  " + targets[static_cast<size_t>(m)].line;
        return driverError(ambiguous, base::escapedText(what) + " names more than one element:" + lines);
    }
    return static_cast<size_t>(matches.front());
}

foundation::Result<Point> ScreenDriver::touchPoint(const ScreenTarget& target) {
    if (!target.inViewTree) return driverError(notApplicable, target.line + " is not in the window's views");
    const Rect frame(target.view->convertToWindow(target.view->bounds().origin), target.view->frame().size);
    return reaching(target, frame.intersection(m_window->bounds()).center());
}

foundation::Result<Point> ScreenDriver::reaching(const ScreenTarget& target, Point point) {
    auto hit = m_window->hitTest(point);
    if (!hit || (hit != target.view && !hit->isDescendant(*target.view))) {
        return driverError(unreachable, "a touch at " + std::to_string(point.x) + "," + std::to_string(point.y) +
                                            " does not reach " + target.line +
                                            (hit ? " (it lands on " + hit->className() + ")" : ""));
    }
    return point;
}

foundation::Result<Point> ScreenDriver::segmentPoint(const ScreenTarget& target, const std::string& title) {
    auto segments = std::dynamic_pointer_cast<SegmentedControl>(target.view);
    if (!segments) return driverError(notApplicable, target.line + " has no segments");
    for (int i = 0; i < segments->numberOfSegments(); ++i) {
        if (segments->titleForSegment(i) != title) continue;
        if (!segments->isEnabled() || !segments->isEnabledForSegment(i))
            return driverError(refused, "segment " + title + " is disabled");
        return reaching(target, segments->convertToWindow(segments->segmentFrame(i).center()));
    }
    return driverError(notFound, target.line + " has no segment " + title);
}

void ScreenDriver::hold(double seconds) {
    auto loop = dispatch::RunLoop::main();
    if (loop->clock().isManual()) {
        loop->advance(dispatch::seconds(seconds));
        return;
    }
    const auto until = loop->now() + dispatch::seconds(seconds);
    loop->runUntil([&] { return loop->now() >= until; });
}

foundation::Status ScreenDriver::touch(const ScreenTarget& target, Point point, double holdSeconds) {
    Finger finger(m_window);
    if (!finger.down(point)) return driverError(unreachable, "the touch lands on nothing");
    if (holdSeconds > 0) hold(holdSeconds);
    finger.up(point);
    if (!std::dynamic_pointer_cast<Control>(target.view)) return {};
    if (!finger.control() && !finger.changedSomething()) return driverError(refused, target.line + " is disabled");
    if (!finger.changedSomething()) return driverError(refused, "touching " + target.line + " changes nothing");
    return {};
}

foundation::Result<ScreenDriver::Touched> ScreenDriver::reach(const std::string& what) {
    auto target = resolve(what);
    if (!target) return target.error();
    auto point = touchPoint(target.value());
    if (!point) return point.error();
    return Touched{target.value(), point.value()};
}

foundation::Result<Point> ScreenDriver::touchPointOf(const std::string& what) {
    auto target = resolve(what);
    if (!target) return target.error();
    auto segment = segmentNamed(target.value(), what);
    return segment ? segmentPoint(target.value(), *segment) : touchPoint(target.value());
}

std::optional<int> ScreenDriver::drawnHandleOf(const std::string& what) {
    const TextScreen screen = capture();
    auto index = resolveIndex(screen, what, nullptr);
    if (!index || screen.targets()[index.value()].inViewTree) return std::nullopt;
    return static_cast<int>(index.value()) + 1;
}

std::optional<std::string> ScreenDriver::segmentNamed(const ScreenTarget& target, const std::string& what) {
    auto segments = std::dynamic_pointer_cast<SegmentedControl>(target.view);
    if (!segments) return std::nullopt;
    for (int i = 0; i < segments->numberOfSegments(); ++i) {
        if (segments->titleForSegment(i) == what) return what;
    }
    return std::nullopt;
}

namespace {
// Whether a screen presented later lies over where `navigation`'s bar shows `item` (all of its
// bar when no item is given).
bool barCovered(Window& window, NavigationController& navigation, const BarButtonItem* item) {
    const auto layout = NavigationBarLayout::of(navigation);
    if (!layout) return false;
    const auto rect = item ? layout->frameOf(*item).value_or(layout->bar) : layout->bar;
    const auto subviews = window.subviews();
    bool above = false;
    for (const auto& view : subviews) {
        if (above && !view->isHidden() && view->alpha() >= 0.01 && view->frame().intersects(rect)) return true;
        above = above || view == navigation.view() || navigation.view()->isDescendant(*view);
    }
    return false;
}
}  // namespace

foundation::Status ScreenDriver::reachBar(const ScreenTarget& target) {
    if (!target.navigation) return {};
    // A bar outside the popover on top: the touch only takes the popover away.
    if (m_window->dismissPopoverOutside(*target.navigation->view()))
        return driverError(refused, "the touch only dismissed the popover");
    if (barCovered(*m_window, *target.navigation, target.item.get()))
        return driverError(unreachable, target.line + " lies under a screen presented over it");
    return {};
}

bool ScreenDriver::closeMenuOutside(const ScreenTarget& target) {
    auto menu = m_window->presentedMenu();
    if (!menu || target.kind == ScreenTarget::Kind::menuEntry) return false;
    menu->close();
    return true;
}

foundation::Status ScreenDriver::tapTarget(const ScreenTarget& target, const std::string& what) {
    if (closeMenuOutside(target)) return driverError(refused, "the touch only closed the open menu");
    switch (target.kind) {
        case ScreenTarget::Kind::alertAction:
            if (!target.alert->tapAction(target.title)) return driverError(refused, target.line + " is disabled");
            return {};
        case ScreenTarget::Kind::menuEntry:
            if (!target.menu->choose(target.title)) return driverError(refused, target.line + " is disabled");
            return {};
        case ScreenTarget::Kind::barItem:
            if (auto reached = reachBar(target); !reached) return reached;
            if (!target.item->tap()) return driverError(refused, target.line + " does nothing");
            return {};
        case ScreenTarget::Kind::backButton:
            if (auto reached = reachBar(target); !reached) return reached;
            target.navigation->popViewController(true);
            return {};
        case ScreenTarget::Kind::cell:  // the list takes the touch lifted over its cell
        case ScreenTarget::Kind::view: break;
    }
    if (!target.inViewTree) {
        if (auto field = std::dynamic_pointer_cast<TextField>(target.view)) field->beginEditing();
        return {};
    }
    // A segment's title names the segment: the finger goes there.
    auto segment = segmentNamed(target, what);
    auto point = segment ? segmentPoint(target, *segment) : touchPoint(target);
    if (!point) return point.error();
    if (m_window->dismissPopoverOutside(point.value()))
        return driverError(refused, "the touch only dismissed the popover");
    if (auto bar = std::dynamic_pointer_cast<SearchBar>(target.view)) {
        bar->beginEditing();
        return {};
    }
    return touch(target, point.value());
}

foundation::Status ScreenDriver::tap(const std::string& what) {
    auto target = resolve(what);
    if (!target) return target.error();
    auto status = tapTarget(target.value(), what);
    settleAfterAction();
    return status;
}

foundation::Status ScreenDriver::choose(const std::string& title) {
    auto target = resolve(title, isChoice);
    if (!target) return target.error();
    auto status = tapTarget(target.value());
    settleAfterAction();
    return status;
}

foundation::Status ScreenDriver::type(const std::string& what, const std::string& text, bool pressReturn) {
    auto target = resolve(what);
    if (!target) return target.error();
    if (closeMenuOutside(target.value())) return driverError(refused, "the touch only closed the open menu");
    if (target.value().inViewTree) {
        auto point = touchPoint(target.value());
        if (!point) return point.error();
    }
    if (auto field = std::dynamic_pointer_cast<TextField>(target.value().view)) {
        if (!field->isEnabled()) return driverError(refused, target.value().line + " is disabled");
        field->type(text);
        if (pressReturn) field->pressReturn();
    } else if (auto bar = std::dynamic_pointer_cast<SearchBar>(target.value().view)) {
        bar->type(text);
        if (pressReturn) bar->tapSearch();
    } else {
        return driverError(notApplicable, target.value().line + " takes no text");
    }
    settleAfterAction();
    return {};
}

foundation::Status ScreenDriver::slide(const std::string& what, float value) {
    auto touched = reach(what);
    if (!touched) return touched.error();
    const auto& target = touched.value().target;
    auto slider = std::dynamic_pointer_cast<Slider>(target.view);
    if (!slider) return driverError(notApplicable, target.line + " is not a slider");
    if (!slider->slide(value)) return driverError(refused, target.line + " is disabled");
    settleAfterAction();
    return {};
}

foundation::Status ScreenDriver::chooseSegment(const std::string& what, const std::string& segment) {
    auto target = resolve(what);
    if (!target) return target.error();
    if (closeMenuOutside(target.value())) return driverError(refused, "the touch only closed the open menu");
    auto point = segmentPoint(target.value(), segment);
    if (!point) return point.error();
    auto status = touch(target.value(), point.value());
    settleAfterAction();
    return status;
}

foundation::Status ScreenDriver::step(const std::string& what, bool up) {
    auto target = resolve(what);
    if (!target) return target.error();
    auto stepper = std::dynamic_pointer_cast<Stepper>(target.value().view);
    if (!stepper) return driverError(notApplicable, target.value().line + " is not a stepper");
    if (closeMenuOutside(target.value())) return driverError(refused, "the touch only closed the open menu");
    const auto half = up ? Stepper::Half::plus : Stepper::Half::minus;
    const std::string name = up ? "plus" : "minus";
    if (!stepper->isHalfEnabled(half))
        return driverError(refused, "the " + name + " half of " + target.value().line + " is disabled");
    auto point = reaching(target.value(), stepper->convertToWindow(stepper->halfFrame(half).center()));
    if (!point) return point.error();
    auto status = touch(target.value(), point.value());
    settleAfterAction();
    return status;
}

foundation::Status ScreenDriver::longPress(const std::string& what) {
    auto touched = reach(what);
    if (!touched) return touched.error();
    const auto& [target, point] = touched.value();
    if (auto button = std::dynamic_pointer_cast<Button>(target.view); button && button->opensMenuOnPress()) {
        if (closeMenuOutside(target)) return driverError(refused, "the touch only closed the open menu");
        auto status = touch(target, point, Button::menuPressDuration);
        settleAfterAction();
        if (!status) return status;
        if (!m_window->presentedMenu()) return driverError(refused, "holding " + target.line + " opened no menu");
        return {};
    }
    if (auto press = m_window->beginLongPress(point)) {
        press->release();
    } else if (auto grid = std::dynamic_pointer_cast<CollectionView>(target.list)) {
        if (!ContextMenuInteraction::openItemMenu(*grid, target.indexPath, point, target.view))
            return driverError(refused, target.line + " offers no menu");
    } else {
        return driverError(notApplicable, "nothing under " + target.line + " answers a long press");
    }
    settleAfterAction();
    return {};
}

foundation::Status ScreenDriver::panTarget(const ScreenTarget& target, Point translation, Point velocity) {
    auto point = touchPoint(target);
    if (!point) return point.error();
    if (auto pan = m_window->beginPan(point.value())) {
        pan->move(translation, velocity);
        pan->end(velocity);
        return {};
    }
    for (auto v = m_window->hitTest(point.value()); v; v = v->superview()) {
        auto scroll = std::dynamic_pointer_cast<ScrollView>(v);
        if (!scroll) continue;
        // The content follows the finger: moving it up shows what lies below.
        if (!scroll->drag(scroll->contentOffset() - translation))
            return driverError(refused, target.line + " does not scroll");
        return {};
    }
    return driverError(notApplicable, "nothing under " + target.line + " answers a pan");
}

foundation::Status ScreenDriver::pan(const std::string& what, Point translation) {
    auto target = resolve(what);
    if (!target) return target.error();
    auto status = panTarget(target.value(), translation, {});
    settleAfterAction();
    return status;
}

foundation::Status ScreenDriver::swipe(const std::string& what, Direction direction) {
    auto target = resolve(what);
    if (!target) return target.error();
    const Size size = m_window->bounds().size;
    Point translation;
    switch (direction) {
        case Direction::up: translation = {0, -size.height / 3}; break;
        case Direction::down: translation = {0, size.height / 3}; break;
        case Direction::left: translation = {-size.width / 3, 0}; break;
        case Direction::right: translation = {size.width / 3, 0}; break;
    }
    const Point velocity{translation.x / swipeSeconds, translation.y / swipeSeconds};
    auto status = panTarget(target.value(), translation, velocity);
    settleAfterAction();
    return status;
}

foundation::Status ScreenDriver::pinch(const std::string& what, double scale) {
    auto touched = reach(what);
    if (!touched) return touched.error();
    auto pinch = m_window->beginPinch(touched.value().point);
    if (!pinch) return driverError(notApplicable, "nothing under " + touched.value().target.line + " answers a pinch");
    pinch->change(scale, (scale - 1) / swipeSeconds);
    pinch->end();
    settleAfterAction();
    return {};
}

foundation::Status ScreenDriver::dragAndDrop(const std::string& from, const std::string& to) {
    auto source = reach(from);
    if (!source) return source.error();
    const auto& dragged = source.value().target;
    auto grid = std::dynamic_pointer_cast<CollectionView>(dragged.list);
    if (!grid) return driverError(notApplicable, dragged.line + " is not an item of a collection view");
    auto destination = reach(to);
    if (!destination) return destination.error();
    const auto& over = destination.value().target;
    auto targetGrid = std::dynamic_pointer_cast<CollectionView>(over.list);
    std::optional<IndexPath> at = over.indexPath;
    if (!targetGrid) {
        targetGrid = std::dynamic_pointer_cast<CollectionView>(over.view);
        at.reset();
    }
    if (!targetGrid) return driverError(notApplicable, over.line + " takes no drop");
    auto session = grid->drag(dragged.indexPath);
    if (!session) return driverError(refused, dragged.line + " does not drag");
    const bool dropped = targetGrid->drop(session, at);
    settleAfterAction();
    if (!dropped) return driverError(refused, over.line + " refused the drop");
    return {};
}

foundation::Status ScreenDriver::back() {
    const TextScreen screen = capture();
    const auto& targets = screen.targets();
    const auto it = std::find_if(targets.rbegin(), targets.rend(),
                                 [](const ScreenTarget& t) { return t.kind == ScreenTarget::Kind::backButton; });
    if (it == targets.rend()) return driverError(notFound, "no back button on the screen:\n" + screen.text());
    auto status = tapTarget(*it);
    settleAfterAction();
    return status;
}

}  // namespace ui
