#include <gtest/gtest.h>

#include "platform/ui/controls/button.h"
#include "platform/ui/controls/feedback_generator.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/controls/switch_control.h"
#include "platform/ui/gestures/long_press_gesture_recognizer.h"
#include "platform/ui/gestures/pan_gesture_recognizer.h"
#include "platform/ui/gestures/pinch_gesture_recognizer.h"
#include "platform/ui/gestures/tap_gesture_recognizer.h"
#include "platform/ui/text/text_field.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

TEST(ControlTest, TargetActionsRunWhileTheirTargetLives) {
    auto button = Button::create(ButtonType::system);
    auto target = std::make_shared<int>(0);
    std::vector<std::string> events;
    button->addTarget(
        target, [&](Control&) { events.push_back("down"); }, touchDown);
    button->addTarget(
        target, [&](Control&) { events.push_back("up"); }, touchUpInside);
    int actionRuns = 0;
    button->addAction(Action::create("Play",
                                     [&](Action& action) {
                                         ++actionRuns;
                                         EXPECT_EQ(action.sender(), button);
                                     }),
                      primaryActionTriggered);
    EXPECT_TRUE(button->tap());
    EXPECT_EQ(events, (std::vector<std::string>{"down", "up"}));
    EXPECT_EQ(actionRuns, 1);
    target.reset();
    button->tap();
    EXPECT_EQ(events.size(), 2u);
    EXPECT_EQ(button->targetCount(), 0u);
    button->setEnabled(false);
    EXPECT_FALSE(button->tap());
    EXPECT_EQ(actionRuns, 2);
}

TEST(ControlTest, ButtonStatesFallBackToNormalAndMenusOpenAsPrimaryAction) {
    auto button = Button::create(ButtonType::custom);
    button->setTitle("Done", normal);
    button->setTitle("Doing", highlighted);
    button->setImage(Image::systemImage("xmark"), normal);
    EXPECT_EQ(button->title(selected), "Done");
    EXPECT_EQ(button->title(highlighted), "Doing");
    EXPECT_EQ(button->image(disabled)->symbolName(), "xmark");
    button->setEnabled(false);
    EXPECT_EQ(button->state(), static_cast<std::uint32_t>(disabled));
    EXPECT_EQ(button->titleLabel()->text(), "Done");
    button->setEnabled(true);
    int sent = 0;
    button->addTarget(
        nullptr, [&](Control&) { ++sent; }, touchUpInside);
    button->setMenu(
        Menu::create(std::vector<std::shared_ptr<MenuElement>>{Action::create("Files", Action::Handler{})}));
    button->setShowsMenuAsPrimaryAction(true);
    button->tap();
    EXPECT_EQ(button->menuOpenings(), 1);
    EXPECT_EQ(sent, 0);
    EXPECT_GT(button->intrinsicContentSize().width, 0);
}

TEST(ControlTest, SliderFollowsTheFingerAlongItsTrack) {
    auto window = Window::create(Rect(0, 0, 400, 100));
    auto slider = Slider::create(Rect(100, 40, 200, 20));
    window->addSubview(slider);
    slider->setMinimumValue(0);
    slider->setMaximumValue(100);
    int changes = 0;
    std::vector<std::string> touches;
    slider->addTarget(
        nullptr, [&](Control&) { ++changes; }, valueChanged);
    slider->addTarget(
        nullptr, [&](Control&) { touches.push_back("up inside"); }, touchUpInside);
    slider->setValue(500);
    EXPECT_EQ(slider->value(), 100.0f);
    EXPECT_EQ(changes, 0);  // code changes send nothing
    ASSERT_TRUE(slider->touchDown({150, 50}));
    EXPECT_FLOAT_EQ(slider->value(), 25);
    slider->touchMove({200, 50});
    slider->touchMove({200, 50});  // no change, no event
    slider->touchUp({200, 50});
    EXPECT_FLOAT_EQ(slider->value(), 50);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(touches, std::vector<std::string>{"up inside"});
    EXPECT_FALSE(slider->isTracking());
    slider->setContinuous(false);
    EXPECT_TRUE(slider->slide(75));
    EXPECT_FLOAT_EQ(slider->value(), 75);
    EXPECT_EQ(changes, 3);  // once, when the finger lifts
}

TEST(ControlTest, ASwitchFlipsWhenTheTouchLiftsOverIt) {
    auto toggle = Switch::create();
    int flips = 0;
    toggle->addTarget(
        nullptr, [&](Control& c) { flips += static_cast<Switch&>(c).isOn() ? 1 : 10; }, valueChanged);
    EXPECT_TRUE(toggle->tap());
    EXPECT_TRUE(toggle->tap());
    EXPECT_EQ(flips, 11);
    toggle->setEnabled(false);
    EXPECT_FALSE(toggle->tap());
    EXPECT_EQ(flips, 11);
}

TEST(ControlTest, TextFieldEditsAndHapticsCount) {
    auto field = TextField::create();
    std::vector<std::string> events;
    field->addTarget(
        nullptr, [&](Control&) { events.push_back("begin"); }, editingDidBegin);
    field->addTarget(
        nullptr, [&](Control& c) { events.push_back(*static_cast<TextField&>(c).text()); }, editingChanged);
    field->type("h");
    field->type("ht");
    EXPECT_TRUE(field->isFirstResponder());
    field->pressReturn();
    EXPECT_FALSE(field->isFirstResponder());
    EXPECT_EQ(events, (std::vector<std::string>{"begin", "h", "ht"}));
    auto haptic = FeedbackGenerator::impact(FeedbackGenerator::ImpactStyle::light);
    haptic->prepare();
    haptic->impactOccurred();
    haptic->impactOccurred(0.5);
    EXPECT_EQ(haptic->playCount(), 2);
    EXPECT_EQ(haptic->lastIntensity(), 0.5);
}

class Refusing : public GestureRecognizerDelegate {
public:
    bool gestureRecognizerShouldBegin(GestureRecognizer&) override { return allow; }
    bool allow = false;
};

TEST(GestureTest, RecognizersMoveThroughTheirStatesAndAskTheDelegate) {
    auto window = Window::create(Rect(0, 0, 400, 400));
    auto view = View::create(Rect(100, 100, 200, 200));
    window->addSubview(view);
    std::vector<GestureRecognizerState> states;
    auto pan = PanGestureRecognizer::create(nullptr, [&](GestureRecognizer& r) { states.push_back(r.state()); });
    pan->setName("seek");
    view->addGestureRecognizer(pan);
    EXPECT_TRUE(pan->begin({150, 150}));
    pan->move({30, -4}, {300, 0});
    EXPECT_EQ(pan->translation(view.get()), (Point{30, -4}));
    EXPECT_EQ(pan->location(view.get()), (Point{80, 46}));
    pan->end({120, 0});
    EXPECT_EQ(pan->velocity().x, 120);
    EXPECT_EQ(states,
              (std::vector<GestureRecognizerState>{GestureRecognizerState::began, GestureRecognizerState::changed,
                                                   GestureRecognizerState::ended}));
    auto refusing = std::make_shared<Refusing>();
    pan->setDelegate(refusing);
    EXPECT_FALSE(pan->begin({150, 150}));
    EXPECT_EQ(pan->state(), GestureRecognizerState::failed);
    EXPECT_EQ(states.size(), 3u);

    int taps = 0;
    auto doubleTap = TapGestureRecognizer::create(nullptr, [&](GestureRecognizer&) { ++taps; });
    doubleTap->setNumberOfTapsRequired(2);
    view->addGestureRecognizer(doubleTap);
    EXPECT_FALSE(doubleTap->tap({150, 150}, 1));
    EXPECT_TRUE(doubleTap->tap({150, 150}, 2));
    EXPECT_EQ(taps, 1);

    auto pinch = PinchGestureRecognizer::create();
    view->addGestureRecognizer(pinch);
    pinch->begin({200, 200});
    pinch->change(1.4, 0.8);
    EXPECT_EQ(pinch->scale(), 1.4);
    pinch->setEnabled(false);
    EXPECT_EQ(pinch->state(), GestureRecognizerState::cancelled);

    auto press = LongPressGestureRecognizer::create();
    EXPECT_FALSE(press->press({0, 0}));  // not attached to a view
}

TEST(KeyPressTest, PressesGoToTheFirstResponderAndUpTheChain) {
    class Player : public View {
    public:
        static std::shared_ptr<Player> create() { return make<Player>(); }
        bool canBecomeFirstResponder() const override { return true; }
        void pressesBegan(const std::vector<Press>& presses) override {
            for (const auto& p : presses) keys.push_back(p.key.keyCode);
        }
        std::vector<int> keys;
    };
    auto parent = Player::create();
    auto child = View::create();
    parent->addSubview(child);
    Key space;
    space.keyCode = Key::spacebar;
    space.characters = " ";
    Responder::deliverPresses({{space, Press::Phase::began}}, child);  // no first responder: the fallback
    EXPECT_EQ(parent->keys, std::vector<int>{Key::spacebar});
    ASSERT_TRUE(parent->becomeFirstResponder());
    Key left;
    left.keyCode = Key::leftArrow;
    Responder::deliverPresses({{left, Press::Phase::began}});
    EXPECT_EQ(parent->keys, (std::vector<int>{Key::spacebar, Key::leftArrow}));
    parent->resignFirstResponder();
}

}  // namespace
}  // namespace ui

namespace ui {
namespace {

// A pan recogniser that remembers where the finger first touched, as the player's does.
class InitialPan : public PanGestureRecognizer {
public:
    static std::shared_ptr<InitialPan> create() { return make<InitialPan>(); }
    void touchesBegan(const std::vector<Touch>& touches) override {
        PanGestureRecognizer::touchesBegan(touches);
        initial = touches.empty() ? std::nullopt : std::optional<Point>(touches.front().location(view().get()));
    }
    std::optional<Point> initial;
};

TEST(GestureTest, SubclassesSeeTheTouchesThatStartAGesture) {
    auto window = Window::create(Rect(0, 0, 400, 400));
    auto view = View::create(Rect(100, 100, 200, 200));
    window->addSubview(view);
    auto pan = InitialPan::create();
    view->addGestureRecognizer(pan);
    pan->begin({120, 130});
    EXPECT_EQ(pan->initial, (Point{20, 30}));
}

TEST(GestureTest, AWindowTapRecognisesOnlyTheRecognisersOfItsNumberOfFingers) {
    auto window = Window::create(Rect(0, 0, 400, 400));
    window->makeKeyAndVisible();
    auto view = View::create(Rect(0, 0, 400, 400));
    window->addSubview(view);
    std::vector<std::string> recognised;
    auto twoFingers = TapGestureRecognizer::create(nullptr, [&](GestureRecognizer&) { recognised.push_back("two"); });
    twoFingers->setNumberOfTouchesRequired(2);
    auto oneFinger = TapGestureRecognizer::create(nullptr, [&](GestureRecognizer&) { recognised.push_back("one"); });
    view->addGestureRecognizer(twoFingers);
    view->addGestureRecognizer(oneFinger);
    EXPECT_EQ(window->tap({50, 50}), view);
    EXPECT_EQ(window->tap({50, 50}, 2), view);
    EXPECT_EQ(recognised, (std::vector<std::string>{"one", "two"}));
}

}  // namespace
}  // namespace ui
