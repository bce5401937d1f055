#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/display/clipboard.h"
#include "platform/display/key_input.h"
#include "platform/display/pointer_input.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/search_controller.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/controls/action.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/menu.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/controls/search_bar.h"
#include "platform/ui/controls/segmented_control.h"
#include "platform/ui/controls/stepper.h"
#include "platform/ui/controls/switch_control.h"
#include "platform/ui/gestures/pan_gesture_recognizer.h"
#include "platform/ui/gestures/pinch_gesture_recognizer.h"
#include "platform/ui/gestures/tap_gesture_recognizer.h"
#include "platform/ui/lists/scroll_view.h"
#include "platform/ui/text/text_field.h"
#include "platform/ui/views/window.h"

namespace display {
namespace {

using ui::Point;
using ui::Rect;

class RecordingController : public ui::ViewController {
public:
    static std::shared_ptr<RecordingController> create() {
        return std::shared_ptr<RecordingController>(new RecordingController());
    }
    void pressesBegan(const std::vector<ui::Press>& presses) override {
        for (const auto& press : presses) keys.push_back(press.key);
    }
    std::vector<ui::Key> keys;
};

// Stands for the desktop's clipboard, which needs a window system.
class HeldClipboard : public Clipboard {
public:
    std::optional<std::string> text() const override { return held; }
    void setText(const std::string& text) override { held = text; }
    std::optional<std::string> held;
};

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = ui::Window::create(Rect(0, 0, 400, 300));
        controller = RecordingController::create();
        window->setRootViewController(controller);
        window->makeKeyAndVisible();
        surface = ui::View::create(Rect(0, 0, 400, 300));
        controller->view()->addSubview(surface);
        loop.runUntilIdle();
    }
    std::shared_ptr<ui::TapGestureRecognizer> addTap(int taps, std::vector<std::string>& log, const std::string& name) {
        auto tap =
            ui::TapGestureRecognizer::create(nullptr, [&log, name](ui::GestureRecognizer&) { log.push_back(name); });
        tap->setNumberOfTapsRequired(taps);
        surface->addGestureRecognizer(tap);
        return tap;
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<HeldClipboard> clipboard = std::make_shared<HeldClipboard>();
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<RecordingController> controller;
    std::shared_ptr<ui::View> surface;
    std::unique_ptr<PointerInput> pointer;
    PointerInput& mouse() {
        if (!pointer) pointer = std::make_unique<PointerInput>(window);
        return *pointer;
    }
    void click(Point p, int clicks = 1, PointerInput::Button button = PointerInput::Button::primary) {
        mouse().press(p, button, false, clicks);
        mouse().release(p);
    }
};

TEST_F(InputTest, AClickTapsAndTheSecondClickOfADoubleClickDoubleTaps) {
    std::vector<std::string> log;
    addTap(1, log, "single");
    addTap(2, log, "double");
    click({100, 100}, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"single"}));
    click({100, 100}, 2);
    EXPECT_EQ(log, (std::vector<std::string>{"single", "double"}));
}

TEST_F(InputTest, ASingleTapThatWaitsForADoubleTapComesOnlyWhenNoSecondClickCame) {
    std::vector<std::string> log;
    auto single = addTap(1, log, "single");
    auto twice = addTap(2, log, "double");
    single->requireToFail(twice);
    click({100, 100}, 1);
    EXPECT_TRUE(log.empty());
    loop.advanceSeconds(PointerInput::doubleClickInterval / 2);
    click({100, 100}, 2);
    loop.advanceSeconds(PointerInput::doubleClickInterval * 2);
    EXPECT_EQ(log, (std::vector<std::string>{"double"}));
    click({100, 100}, 1);
    loop.advanceSeconds(PointerInput::doubleClickInterval * 2);
    EXPECT_EQ(log, (std::vector<std::string>{"double", "single"}));
    // A click elsewhere soon after is no double click: the waiting tap is let go at once.
    click({100, 100}, 1);
    loop.advanceSeconds(PointerInput::doubleClickInterval / 2);
    click({300, 200}, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"double", "single", "single"}));
    loop.advanceSeconds(PointerInput::doubleClickInterval * 2);
    EXPECT_EQ(log, (std::vector<std::string>{"double", "single", "single", "single"}));
}

TEST_F(InputTest, ClicksFlipSwitchesSelectSegmentsAndStepSteppersAsFingersDo) {
    auto toggle = ui::Switch::create(Rect(10, 10, 51, 31));
    auto segments = ui::SegmentedControl::create({"Playlist", "Chapters"});
    segments->setFrame(Rect(10, 60, 200, 32));
    segments->setSelectedSegmentIndex(0);
    auto stepper = ui::Stepper::create(Rect(10, 110, 94, 29));
    stepper->setMaximumValue(10);
    int changes = 0;
    for (const std::shared_ptr<ui::Control>& control :
         std::vector<std::shared_ptr<ui::Control>>{toggle, segments, stepper}) {
        surface->addSubview(control);
        control->addTarget(
            nullptr, [&](ui::Control&) { ++changes; }, ui::valueChanged);
    }
    // A tap recogniser around them does not take their clicks.
    std::vector<std::string> log;
    addTap(1, log, "surface");
    click({35, 25});
    EXPECT_TRUE(toggle->isOn());
    click({160, 76});  // "Chapters"
    EXPECT_EQ(segments->selectedSegmentIndex(), 1);
    click({80, 124});  // the plus half
    EXPECT_EQ(stepper->value(), 1);
    click({30, 124});  // the minus half
    EXPECT_EQ(stepper->value(), 0);
    EXPECT_EQ(changes, 4);
    EXPECT_TRUE(log.empty()) << "the surface's recogniser took a control's click";
}

TEST_F(InputTest, HoldingTheButtonDownOpensAMenuThatIsNotItsPrimaryAction) {
    auto button = ui::Button::create();
    button->setFrame(Rect(10, 10, 100, 30));
    int pressed = 0;
    button->addTarget(
        nullptr, [&](ui::Control&) { ++pressed; }, ui::touchUpInside);
    button->setMenu(ui::Menu::create({ui::Action::create("Without Subtitles", [](ui::Action&) {})}));
    surface->addSubview(button);
    mouse().press({50, 25}, PointerInput::Button::primary, false, 1);
    loop.advanceSeconds(ui::Button::menuPressDuration + 0.1);
    ASSERT_TRUE(window->presentedMenu()) << "half a second held opens the menu";
    mouse().release({50, 25});
    EXPECT_TRUE(window->presentedMenu()) << "lifting the finger leaves the menu open";
    EXPECT_EQ(pressed, 0) << "a held press is no click";
    window->presentedMenu()->close();
    click({50, 25});
    EXPECT_EQ(pressed, 1);
    EXPECT_FALSE(window->presentedMenu());
}

TEST_F(InputTest, DragsPanWithOneFingerAndRightOrControlDragsWithTwo) {
    auto pan = ui::PanGestureRecognizer::create();
    std::vector<std::pair<int, Point>> seen;
    pan->addAction([&](ui::GestureRecognizer& r) {
        auto& p = static_cast<ui::PanGestureRecognizer&>(r);
        seen.push_back({p.numberOfTouches(), p.translation()});
    });
    surface->addGestureRecognizer(pan);
    mouse().press({100, 100}, PointerInput::Button::primary, false, 1);
    mouse().move({101, 100});  // below the threshold: still a press
    EXPECT_TRUE(seen.empty());
    mouse().move({130, 90});
    mouse().release({150, 80});
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().first, 1);
    EXPECT_EQ(seen.back().second, (Point{50, -20}));
    EXPECT_EQ(pan->state(), ui::GestureRecognizerState::ended);

    pan->setMinimumNumberOfTouches(2);
    seen.clear();
    mouse().press({100, 100}, PointerInput::Button::secondary, false, 1);
    mouse().move({100, 140});
    mouse().release({100, 140});
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().first, 2);
    seen.clear();
    mouse().press({100, 100}, PointerInput::Button::primary, true, 1);
    mouse().move({100, 140});
    mouse().release({100, 140});
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().first, 2);
}

TEST_F(InputTest, TheWheelScrollsTheScrollViewUnderThePointerWithinItsContent) {
    auto scroll = ui::ScrollView::create(Rect(0, 0, 400, 300));
    scroll->setContentSize({400, 1000});
    surface->addSubview(scroll);
    mouse().wheel({50, 50}, 0, -2, false);  // towards the user: content moves up
    EXPECT_EQ(scroll->contentOffset(), (Point{0, 2 * PointerInput::wheelStep}));
    mouse().wheel({50, 50}, 0, 100, false);
    EXPECT_EQ(scroll->contentOffset(), (Point{0, 0}));
    mouse().wheel({50, 50}, 0, -100, false);
    EXPECT_EQ(scroll->contentOffset(), (Point{0, 700}));
    // A drag nothing recognises scrolls it too.
    mouse().press({50, 200}, PointerInput::Button::primary, false, 1);
    mouse().move({50, 250});
    mouse().release({50, 250});
    EXPECT_EQ(scroll->contentOffset(), (Point{0, 650}));
}

TEST_F(InputTest, ControlWheelPinchesAndEndsOnceTheWheelRests) {
    auto pinch = ui::PinchGestureRecognizer::create();
    surface->addGestureRecognizer(pinch);
    mouse().wheel({50, 50}, 0, 1, true);
    mouse().wheel({50, 50}, 0, 1, true);
    EXPECT_EQ(pinch->state(), ui::GestureRecognizerState::changed);
    EXPECT_NEAR(pinch->scale(), PointerInput::pinchStep * PointerInput::pinchStep, 1e-9);
    loop.advanceSeconds(PointerInput::pinchRest * 2);
    EXPECT_EQ(pinch->state(), ui::GestureRecognizerState::ended);
}

TEST_F(InputTest, KeysReachThePresentedControllerWithTheirUsageCodesAndShift) {
    KeyInput keys(window, clipboard);
    keys.keyDown(ui::Key::rightArrow, ui::Key::shift, "");
    keys.keyDown(ui::Key::spacebar, ui::Key::none, " ");
    ASSERT_EQ(controller->keys.size(), 2u);
    EXPECT_EQ(controller->keys[0].keyCode, 79);
    EXPECT_EQ(controller->keys[0].modifierFlags, ui::Key::shift);
    EXPECT_EQ(controller->keys[1].keyCode, 44);
    EXPECT_EQ(controller->keys[1].characters, " ");
}

TEST_F(InputTest, TypedTextGoesIntoTheEditingFieldAndBackspaceTakesTheLastCharacterBack) {
    auto field = ui::TextField::create(Rect(10, 10, 200, 30));
    surface->addSubview(field);
    ASSERT_TRUE(field->becomeFirstResponder());
    KeyInput keys(window, clipboard);
    keys.text("hé");
    keys.text("!");
    EXPECT_EQ(field->text(), "hé!");
    keys.keyDown(42, ui::Key::none, "");
    keys.keyDown(42, ui::Key::none, "");
    EXPECT_EQ(field->text(), "h");
    EXPECT_TRUE(controller->keys.empty());  // editing keys are the field's
    field->resignFirstResponder();
}

// HID usage codes of the editing keys.
enum Usage : int { keyA = 4, keyC = 6, keyV = 25, keyX = 27, backspace = 42, home = 74, forwardDelete = 76, end = 77 };
constexpr auto left = ui::Key::leftArrow, right = ui::Key::rightArrow;
constexpr auto ctrl = ui::Key::control, shift = ui::Key::shift, none = ui::Key::none;

TEST_F(InputTest, AClickInAFieldBeginsEditingAndTheEditingKeysWorkAroundTheCaretAndTheClipboard) {
    auto field = ui::TextField::create(Rect(10, 10, 200, 30));
    surface->addSubview(field);
    int changes = 0;
    field->addTarget(
        nullptr, [&](ui::Control&) { ++changes; }, ui::editingChanged);
    KeyInput keys(window, clipboard);
    keys.text("ignored");  // nothing is being edited yet
    EXPECT_FALSE(field->text());
    click({50, 25});
    ASSERT_TRUE(field->isEditing());
    keys.text("holiday");
    // Each step: a key (or typed text), then the text with the caret ("|") or the selection ("[...]").
    struct Step {
        int usage;
        std::uint32_t modifiers;
        std::string typed;
        std::string shown;
    };
    const std::vector<Step> steps = {
        {left, none, "", "holida|y"},   {left, none, "", "holid|ay"},    {backspace, none, "", "holi|ay"},
        {0, none, "d", "holid|ay"},     {home, none, "", "|holiday"},    {forwardDelete, none, "", "|oliday"},
        {0, none, "H", "H|oliday"},     {end, none, "", "Holiday|"},     {left, shift, "", "Holida[y]"},
        {left, shift, "", "Holid[ay]"}, {keyC, ctrl, "", "Holid[ay]"},   {right, none, "", "Holiday|"},
        {keyV, ctrl, "", "Holidayay|"}, {keyA, ctrl, "", "[Holidayay]"}, {keyX, ctrl, "", "|"},
        {keyV, ctrl, "", "Holidayay|"},
    };
    for (const auto& step : steps) {
        if (step.usage) keys.keyDown(step.usage, step.modifiers, "");
        if (!step.typed.empty()) keys.text(step.typed);
        std::string shown = field->text().value_or("");
        const auto range = field->selectedTextRange();
        if (range.length == 0) {
            shown.insert(range.location, "|");
        } else {
            shown.insert(range.end(), "]");
            shown.insert(range.location, "[");
        }
        EXPECT_EQ(shown, step.shown) << "after key " << step.usage << " \"" << step.typed << "\"";
    }
    EXPECT_EQ(clipboard->held, "Holidayay");
    EXPECT_EQ(changes, 8);  // every change of the text (the typing before the steps too), not the moves
    // A pasted line break would end a field of one line: it becomes a space.
    clipboard->held = "two\nlines";
    keys.keyDown(keyA, ctrl, "");
    keys.keyDown(keyV, ctrl, "");
    EXPECT_EQ(field->text(), "two lines");
    EXPECT_TRUE(controller->keys.empty());  // the field's keys, none the controller's
    keys.keyDown(ui::Key::escape, none, "");
    EXPECT_FALSE(field->isEditing());
    keys.keyDown(ui::Key::spacebar, none, " ");
    EXPECT_EQ(controller->keys.size(), 1u);  // once editing ended, keys are presses again
}

TEST_F(InputTest, AnAlertTakesEveryKeyReturnTakesItsActionAndEscapeItsCancel) {
    KeyInput keys(window, clipboard);
    std::vector<std::string> log;
    auto present = [&](bool withField) {
        auto alert = ui::AlertController::create("New Folder", std::nullopt, ui::AlertControllerStyle::alert);
        alert->addAction(ui::AlertAction::create("Cancel", ui::AlertActionStyle::cancel,
                                                 [&](ui::AlertAction&) { log.push_back("cancel"); }));
        std::weak_ptr<ui::AlertController> weak = alert;
        alert->addAction(
            ui::AlertAction::create("Confirm", ui::AlertActionStyle::defaultStyle, [&, weak](ui::AlertAction&) {
                auto shown = weak.lock();
                log.push_back(shown && !shown->textFields().empty() ? shown->textFields()[0]->text().value_or("")
                                                                    : "confirm");
            }));
        if (withField) alert->addTextField();
        controller->present(alert, false);
        loop.advanceSeconds(1);
        return alert;
    };
    // A search field under the alert was being edited: the alert's field takes the text.
    auto bar = ui::SearchBar::create();
    bar->beginEditing();
    auto alert = present(true);
    EXPECT_TRUE(alert->textFields()[0]->isEditing());
    keys.text("Trips");
    keys.keyDown(backspace, none, "");
    keys.keyDown(ui::Key::spacebar, none, " ");  // the key's press goes nowhere; its text comes as text
    EXPECT_EQ(bar->text(), std::nullopt);
    keys.keyDown(ui::Key::returnOrEnter, none, "\r");
    loop.advanceSeconds(1);
    EXPECT_EQ(log, std::vector<std::string>{"Trip"});
    EXPECT_FALSE(controller->presentedViewController());
    EXPECT_FALSE(alert->textFields()[0]->isEditing());

    present(false);
    keys.keyDown(ui::Key::spacebar, none, " ");
    keys.keyDown(ui::Key::escape, none, "");
    loop.advanceSeconds(1);
    EXPECT_EQ(log, (std::vector<std::string>{"Trip", "cancel"}));
    EXPECT_FALSE(controller->presentedViewController());
    EXPECT_TRUE(controller->keys.empty());  // nothing reached what lay under the alerts
}

TEST_F(InputTest, AFieldTakenOffTheScreenNoLongerTakesTheKeys) {
    auto field = ui::TextField::create(Rect(10, 10, 200, 30));
    surface->addSubview(field);
    KeyInput keys(window, clipboard);
    click({50, 25});
    keys.text("x");
    field->removeFromSuperview();
    EXPECT_FALSE(field->isEditing());
    keys.keyDown(ui::Key::spacebar, none, " ");
    keys.text(" ");
    EXPECT_EQ(field->text(), "x");
    EXPECT_EQ(controller->keys.size(), 1u);
}

TEST_F(InputTest, AFieldThatAnotherScreenCoversGivesUpTheKeysUntilItsScreenIsBack) {
    auto field = ui::TextField::create(Rect(10, 10, 200, 30));
    surface->addSubview(field);
    KeyInput keys(window, clipboard);
    click({50, 25});
    keys.text("x");
    // A screen presented over the field's takes the keys; the field keeps its text and its place.
    auto cover = RecordingController::create();
    controller->present(cover, false);
    loop.runUntilIdle();
    keys.keyDown(ui::Key::spacebar, none, " ");
    keys.text(" ");
    keys.keyDown(right, none, "");
    keys.keyDown(backspace, none, "");
    EXPECT_EQ(field->text(), "x");
    ASSERT_EQ(cover->keys.size(), 3u);
    EXPECT_EQ(cover->keys[0].keyCode, ui::Key::spacebar);
    EXPECT_EQ(cover->keys[1].keyCode, ui::Key::rightArrow);
    EXPECT_TRUE(controller->keys.empty());
    // Once it goes, the field has them again.
    controller->dismiss(false);
    loop.runUntilIdle();
    keys.text("y");
    EXPECT_EQ(field->text(), "xy");
}

TEST_F(InputTest, ASearchFieldInABarGivesUpTheKeysToAScreenPushedOverIt) {
    auto list = RecordingController::create();
    auto search = ui::SearchController::create();
    list->navigationItem()->setSearchController(search);
    auto navigation = ui::NavigationController::create(list);
    window->setRootViewController(navigation);
    loop.runUntilIdle();
    KeyInput keys(window, clipboard);
    search->searchBar()->beginEditing();
    keys.text("Cli");
    EXPECT_EQ(search->searchBar()->text(), "Cli");
    auto folder = RecordingController::create();
    navigation->pushViewController(folder, false);
    loop.runUntilIdle();
    keys.text(" ");
    keys.keyDown(ui::Key::spacebar, none, " ");
    EXPECT_EQ(search->searchBar()->text(), "Cli");
    EXPECT_EQ(folder->keys.size(), 1u);
    navigation->popViewController(false);
    loop.runUntilIdle();
    keys.text("p");
    EXPECT_EQ(search->searchBar()->text(), "Clip");
}

}  // namespace
}  // namespace display
