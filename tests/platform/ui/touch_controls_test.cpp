// Controls operated by a finger on a window: the one touch path (`Finger`) that the text host and
// a desktop pointer both feed, with the manual clock standing for the time a finger rests.

#include <gtest/gtest.h>

#include "platform/base/log.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/controls/segmented_control.h"
#include "platform/ui/controls/stepper.h"
#include "platform/ui/gestures/finger.h"
#include "platform/ui/gestures/gesture_recognizer_delegate.h"
#include "platform/ui/gestures/tap_gesture_recognizer.h"
#include "platform/ui/layout/layout_anchor.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

class TouchControlsTest : public ::testing::Test {
protected:
    void SetUp() override { window->makeKeyAndVisible(); }

    // A finger put down at `point`, resting `hold` seconds, lifted there; whether it changed anything.
    bool touch(Point point, double hold = 0) {
        Finger finger(window);
        finger.down(point);
        if (hold > 0) loop.advanceSeconds(hold);
        finger.up(point);
        return finger.changedSomething();
    }
    template <typename T>
    std::shared_ptr<T> placed(std::shared_ptr<T> control, Rect frame) {
        control->setFrame(frame);
        window->addSubview(control);
        return control;
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<Window> window = Window::create(Rect(0, 0, 390, 400));
};

// The centres of a stepper's halves at 100,100 (94x29).
constexpr Point minus{123, 114};
constexpr Point plus{171, 114};

TEST_F(TouchControlsTest, AStepperTakesItsOwnSizeWhereOnlyItsPlaceIsConstrained) {
    std::vector<std::string> warnings;
    base::ScopedLogSink sink{[&](base::LogLevel, std::string_view category, std::string_view message) {
        if (category == "layout") warnings.emplace_back(message);
    }};
    auto stepper = Stepper::create();
    stepper->setTranslatesAutoresizingMaskIntoConstraints(false);
    window->addSubview(stepper);
    LayoutConstraint::activate({stepper->leadingAnchor().constraint(window->leadingAnchor(), 20),
                                stepper->topAnchor().constraint(window->topAnchor(), 40)});
    window->layoutIfNeeded();
    EXPECT_EQ(stepper->frame(), Rect(20, 40, 94, 29));
    EXPECT_TRUE(warnings.empty()) << warnings.front();
}

TEST_F(TouchControlsTest, AStepperStepsByItsHalvesWithinItsLimitsAndItsEndHalfDoesNothing) {
    auto stepper = placed(Stepper::create(), Rect(100, 100, 94, 29));
    stepper->setMinimumValue(0.1);
    stepper->setMaximumValue(0.4);
    stepper->setStepValue(0.1);
    stepper->setValue(0.3);
    std::vector<double> sent;
    stepper->addTarget(
        nullptr, [&](Control& c) { sent.push_back(static_cast<Stepper&>(c).value()); }, valueChanged);

    EXPECT_TRUE(touch(plus));
    EXPECT_DOUBLE_EQ(stepper->value(), 0.4);
    // At the maximum the plus half is disabled: the touch changes nothing and sends nothing.
    EXPECT_FALSE(stepper->isHalfEnabled(Stepper::Half::plus));
    EXPECT_FALSE(touch(plus));
    EXPECT_TRUE(touch(minus));
    EXPECT_TRUE(touch(minus));
    EXPECT_TRUE(touch(minus));
    EXPECT_NEAR(stepper->value(), 0.1, 1e-9);
    EXPECT_FALSE(touch(minus));
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_DOUBLE_EQ(sent[0], 0.4);

    // Wrapping, each end leads round to the other.
    stepper->setWraps(true);
    EXPECT_TRUE(touch(minus));
    EXPECT_DOUBLE_EQ(stepper->value(), 0.4);
    EXPECT_TRUE(touch(plus));
    EXPECT_DOUBLE_EQ(stepper->value(), 0.1);

    stepper->setEnabled(false);
    EXPECT_FALSE(touch(plus));
    EXPECT_EQ(sent.size(), 6u);
}

TEST_F(TouchControlsTest, AHeldStepperHalfRepeatsUntilTheFingerLiftsOrTheLimit) {
    auto stepper = placed(Stepper::create(), Rect(100, 100, 94, 29));
    stepper->setMaximumValue(10);
    int changes = 0;
    stepper->addTarget(
        nullptr, [&](Control&) { ++changes; }, valueChanged);

    Finger finger(window);
    finger.down(plus);
    EXPECT_EQ(stepper->value(), 1);  // at once, as the finger lands
    loop.advanceSeconds(0.45);
    EXPECT_EQ(stepper->value(), 1);
    loop.advanceSeconds(0.05);  // the repeat starts after half a second
    EXPECT_EQ(stepper->value(), 2);
    loop.advanceSeconds(0.3);  // then ten steps a second
    EXPECT_EQ(stepper->value(), 5);
    finger.up(plus);
    loop.advanceSeconds(1);
    EXPECT_EQ(stepper->value(), 5);
    EXPECT_EQ(changes, 5);

    // Held long enough it stops at the maximum.
    finger.down(plus);
    loop.advanceSeconds(5);
    finger.up(plus);
    EXPECT_EQ(stepper->value(), 10);

    // Without autorepeat a held finger steps once; a stepper that is not continuous reports the
    // steps of one touch when the finger lifts.
    stepper->setValue(0);
    stepper->setAutorepeat(false);
    changes = 0;
    finger.down(plus);
    loop.advanceSeconds(2);
    finger.up(plus);
    EXPECT_EQ(stepper->value(), 1);
    stepper->setAutorepeat(true);
    stepper->setContinuous(false);
    finger.down(plus);
    loop.advanceSeconds(0.65);
    EXPECT_EQ(changes, 1);
    finger.up(plus);
    EXPECT_EQ(stepper->value(), 4);
    EXPECT_EQ(changes, 2);
}

TEST_F(TouchControlsTest, ATouchOnASegmentSelectsItOnceAndDisabledSegmentsIgnoreIt) {
    auto segments = placed(SegmentedControl::create({"5", "10", "15", "30"}), Rect(100, 100, 200, 32));
    segments->setSelectedSegmentIndex(1);
    segments->setEnabledForSegment(false, 0);
    std::vector<int> sent;
    segments->addTarget(
        nullptr, [&](Control& c) { sent.push_back(static_cast<SegmentedControl&>(c).selectedSegmentIndex()); },
        valueChanged);

    EXPECT_TRUE(touch({280, 116}));  // "30"
    EXPECT_EQ(segments->selectedSegmentIndex(), 3);
    EXPECT_FALSE(touch({290, 110}));  // already selected
    EXPECT_FALSE(touch({110, 116}));  // "5" is disabled
    EXPECT_EQ(segments->selectedSegmentIndex(), 3);
    EXPECT_EQ(sent, (std::vector<int>{3}));

    // A momentary control answers every touch and keeps no segment selected.
    segments->setMomentary(true);
    EXPECT_TRUE(touch({180, 116}));
    EXPECT_TRUE(touch({180, 116}));
    EXPECT_EQ(sent, (std::vector<int>{3, 1, 1}));
    EXPECT_EQ(segments->selectedSegmentIndex(), SegmentedControl::noSegment);
}

TEST_F(TouchControlsTest, AButtonWhoseMenuIsNotItsPrimaryActionOpensItWhenHeld) {
    auto button = placed(Button::create(ButtonType::custom), Rect(100, 100, 125, 30));
    int shots = 0;
    button->addAction(Action::create("", [&](Action&) { ++shots; }), primaryActionTriggered);
    std::string chosen;
    button->setMenu(Menu::create(std::vector<std::shared_ptr<MenuElement>>{
        Action::create("With Subtitles", [&](Action& a) { chosen = a.title(); }),
        Action::create("Without Subtitles", [&](Action& a) { chosen = a.title(); })}));
    ASSERT_TRUE(button->opensMenuOnPress());

    EXPECT_TRUE(touch({150, 115}));  // a tap is the primary action
    EXPECT_EQ(shots, 1);
    EXPECT_FALSE(window->presentedMenu());
    EXPECT_TRUE(touch({150, 115}, 0.45));  // lifted before the menu's time
    EXPECT_EQ(shots, 2);
    EXPECT_FALSE(window->presentedMenu());

    EXPECT_TRUE(touch({150, 115}, Button::menuPressDuration));
    EXPECT_EQ(shots, 2);  // the held press belongs to the menu
    ASSERT_TRUE(window->presentedMenu());
    EXPECT_EQ(button->menuOpenings(), 1);
    EXPECT_FALSE(button->isHighlighted());
    ASSERT_TRUE(window->presentedMenu()->choose("Without Subtitles"));
    EXPECT_EQ(chosen, "Without Subtitles");
    EXPECT_FALSE(window->presentedMenu());
}

// Answers every touch question and logs it; refuses touches on controls, as the player's
// filter does.
class Filter : public GestureRecognizerDelegate {
public:
    bool shouldReceiveTouch(GestureRecognizer& recognizer, const Touch& touch) override {
        asked.push_back(recognizer.name());
        return !std::dynamic_pointer_cast<Control>(touch.view.lock());
    }
    std::vector<std::string> asked;
};

TEST_F(TouchControlsTest, EveryRecogniserUnderTheFingerIsAskedAndTheControlStillTakesTheTouch) {
    auto area = placed(View::create(), Rect(0, 0, 390, 400));
    auto filter = std::make_shared<Filter>();
    int screenTaps = 0;
    for (const char* name : {"tap", "other"}) {
        auto recognizer = TapGestureRecognizer::create(nullptr, [&](GestureRecognizer&) { ++screenTaps; });
        recognizer->setName(name);
        recognizer->setDelegate(filter);
        area->addGestureRecognizer(recognizer);
    }
    auto segments = SegmentedControl::create({"Playlist", "Chapters"});
    segments->setFrame(Rect(10, 10, 200, 32));
    area->addSubview(segments);
    auto disabled = Button::create();
    disabled->setFrame(Rect(10, 60, 100, 30));
    disabled->setEnabled(false);
    area->addSubview(disabled);

    EXPECT_TRUE(touch({160, 26}));
    EXPECT_EQ(segments->selectedSegmentIndex(), 1);
    EXPECT_EQ(filter->asked, (std::vector<std::string>{"tap", "other"}));
    EXPECT_EQ(screenTaps, 0);

    // Elsewhere the screen's recognisers take the touch; a disabled control's touch reaches the
    // filter and stops there.
    EXPECT_TRUE(touch({300, 300}));
    EXPECT_EQ(screenTaps, 1);
    EXPECT_FALSE(touch({50, 75}));
    EXPECT_EQ(screenTaps, 1);
    EXPECT_EQ(filter->asked.size(), 6u);
}

}  // namespace
}  // namespace ui
