#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/popover_presentation_controller.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/controls/segmented_control.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/controls/stepper.h"
#include "platform/ui/controls/switch_control.h"
#include "platform/ui/gestures/long_press_gesture_recognizer.h"
#include "platform/ui/gestures/pan_gesture_recognizer.h"
#include "platform/ui/gestures/pinch_gesture_recognizer.h"
#include "platform/ui/gestures/tap_gesture_recognizer.h"
#include "platform/ui/lists/scroll_view.h"
#include "platform/ui/screen/screen_driver.h"
#include "platform/ui/text/label.h"
#include "platform/ui/text/text_field.h"
#include "platform/ui/views/window.h"
#include "support/keep_popover_delegate.h"

namespace ui {
namespace {

// A library screen: "New Folder" asks for a name in an alert and lists the folder as a button
// that opens it; the folder screen filters as the user types.
class LibraryScreen : public ViewController {
public:
    static std::shared_ptr<LibraryScreen> create() { return make<LibraryScreen>(); }
    std::string className() const override { return "LibraryScreen"; }

    void viewDidLoad() override {
        setTitle("Library");
        auto add = Button::create();
        add->setTitle("New Folder", ControlState::normal);
        add->setFrame(Rect(16, 100, 120, 44));
        std::weak_ptr<LibraryScreen> weak = sharedAs<LibraryScreen>();
        add->addTarget(
            nullptr,
            [weak](Control&) {
                if (auto self = weak.lock()) self->askForName();
            },
            touchUpInside);
        view()->addSubview(add);
    }

private:
    void askForName() {
        auto alert =
            AlertController::create("New Folder", "Enter a name for this folder.", AlertControllerStyle::alert);
        alert->addTextField([](TextField& field) { field.setPlaceholder("Name"); });
        alert->addAction(AlertAction::create("Cancel", AlertActionStyle::cancel));
        std::weak_ptr<LibraryScreen> weak = sharedAs<LibraryScreen>();
        std::weak_ptr<AlertController> weakAlert = alert;
        alert->addAction(AlertAction::create("Create", AlertActionStyle::defaultStyle, [weak, weakAlert](AlertAction&) {
            auto self = weak.lock();
            auto shown = weakAlert.lock();
            if (self && shown) self->addFolder(shown->textFields()[0]->text().value_or(""));
        }));
        present(alert, true);
    }

    void addFolder(const std::string& name) {
        auto folder = Button::create();
        folder->setTitle(name, ControlState::normal);
        folder->setFrame(Rect(16, 160, 200, 44));
        std::weak_ptr<LibraryScreen> weak = sharedAs<LibraryScreen>();
        folder->addTarget(
            nullptr,
            [weak, name](Control&) {
                auto self = weak.lock();
                if (!self) return;
                auto screen = ViewController::create();
                screen->setTitle(name);
                auto filter = TextField::create(Rect(16, 100, 300, 34));
                filter->setPlaceholder("Filter");
                auto shown = Label::create(Rect(16, 140, 300, 21));
                shown->setText("All videos");
                filter->addTarget(
                    nullptr,
                    [shown](Control& sender) {
                        shown->setText("Videos matching " + static_cast<TextField&>(sender).text().value_or(""));
                    },
                    editingChanged);
                screen->view()->addSubview(filter);
                screen->view()->addSubview(shown);
                self->navigationController()->pushViewController(screen, true);
            },
            touchUpInside);
        view()->addSubview(folder);
    }
};

class ScreenDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        navigation = NavigationController::create(LibraryScreen::create());
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<Window> window = Window::create(Rect(0, 0, 390, 844));
    std::shared_ptr<NavigationController> navigation;
    ScreenDriver driver{window};
};

// The library screen as it starts; the steps below add to it.
constexpr const char* libraryScreen =
    "Window 390x844\n"
    "  View 0,0 390x844 <NavigationController>\n"
    "    NavigationBar \"Library\"\n"
    "    View 0,0 390x844 <LibraryScreen>\n"
    "      Button #1 16,100 120x44 \"New Folder\"\n";

TEST_F(ScreenDriverTest, TheShownScreensSafeAreaStartsBelowTheNavigationBarWhileItShows) {
    auto screen = navigation->topViewController()->view();
    auto list = ScrollView::create(Rect(0, 0, 390, 844));
    screen->addSubview(list);
    EXPECT_EQ(screen->safeAreaInsets().top, NavigationController::barHeight);
    EXPECT_EQ(list->adjustedContentInset().top, NavigationController::barHeight)
        << "the first row would lie under the bar";
    navigation->setNavigationBarHidden(true);
    EXPECT_EQ(list->adjustedContentInset().top, 0);
    navigation->setNavigationBarHidden(false);
    // A pushed screen gets the same inset.
    navigation->pushViewController(LibraryScreen::create(), false);
    EXPECT_EQ(navigation->topViewController()->view()->safeAreaInsets().top, NavigationController::barHeight);
}

TEST_F(ScreenDriverTest, AScriptedSessionNavigatesTypesAnswersAnAlertAndGoesBack) {
    EXPECT_EQ(driver.screen(), libraryScreen);
    ASSERT_TRUE(driver.tap("New Folder"));
    EXPECT_EQ(driver.screen(), std::string(libraryScreen) +
                                   "  Alert \"New Folder\" \"Enter a name for this folder.\"\n"
                                   "    TextField #2 text \"\" placeholder \"Name\"\n"
                                   "    AlertAction #3 \"Cancel\" cancel\n"
                                   "    AlertAction #4 \"Create\"\n");
    // The alert covers the screen: the button under it cannot be touched.
    const auto covered = driver.tap("#1");
    ASSERT_FALSE(covered);
    EXPECT_NE(covered.error().description.find("does not reach"), std::string::npos) << covered.error().description;
    ASSERT_TRUE(driver.type("Name", "Holidays"));
    ASSERT_TRUE(driver.choose("Create"));
    EXPECT_EQ(driver.screen(), std::string(libraryScreen) + "      Button #2 16,160 200x44 \"Holidays\"\n");
    ASSERT_TRUE(driver.tap("Holidays"));
    EXPECT_EQ(driver.screen(),
              "Window 390x844\n"
              "  View 0,0 390x844 <NavigationController>\n"
              "    NavigationBar \"Holidays\"\n"
              "      BackButton #1 \"Library\"\n"
              "    View 0,0 390x844 <ViewController>\n"
              "      TextField #2 16,100 300x34 text \"\" placeholder \"Filter\"\n"
              "      Label 16,140 300x21 \"All videos\"\n");
    ASSERT_TRUE(driver.type("#2", "beach"));
    EXPECT_NE(driver.screen().find("TextField #2 16,100 300x34 text \"beach\" placeholder \"Filter\"\n"
                                   "      Label 16,140 300x21 \"Videos matching beach\"\n"),
              std::string::npos);
    ASSERT_TRUE(driver.back());
    EXPECT_EQ(driver.screen(), std::string(libraryScreen) + "      Button #2 16,160 200x44 \"Holidays\"\n");
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_FALSE(driver.back());
}

TEST_F(ScreenDriverTest, NamesThatFindNothingOrTooMuchAreErrorsThatShowTheScreen) {
    const auto missing = driver.tap("Delete");
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().description.find("Button #1 16,100 120x44 \"New Folder\""), std::string::npos);
    EXPECT_FALSE(driver.tap("#2"));
    auto root = navigation->topViewController()->view();
    int plays = 0;
    for (double y : {200.0, 260.0}) {
        auto same = Button::create();
        same->setTitle("Play", ControlState::normal);
        same->setFrame(Rect(16, y, 100, 44));
        same->addTarget(
            nullptr, [&](Control&) { ++plays; }, touchUpInside);
        root->addSubview(same);
    }
    const auto twice = driver.tap("Play");
    ASSERT_FALSE(twice);
    EXPECT_NE(twice.error().description.find("more than one"), std::string::npos);
    EXPECT_TRUE(driver.tap("#3"));  // a handle still names one of them
    EXPECT_EQ(plays, 1);

    // A touch that changes nothing is no success.
    auto idle = Button::create();
    idle->setTitle("Idle", ControlState::normal);
    idle->setFrame(Rect(16, 320, 100, 44));
    root->addSubview(idle);
    const auto nothing = driver.tap("Idle");
    ASSERT_FALSE(nothing);
    EXPECT_NE(nothing.error().description.find("changes nothing"), std::string::npos);
}

TEST_F(ScreenDriverTest, ATextInsideAnElementNamesTheInnermostElementThatShowsIt) {
    auto root = navigation->topViewController()->view();
    int cardTaps = 0;
    auto card = View::create(Rect(0, 300, 390, 120));
    card->addGestureRecognizer(TapGestureRecognizer::create(nullptr, [&](GestureRecognizer&) { ++cardTaps; }));
    auto caption = Label::create(Rect(16, 10, 200, 20));
    caption->setText("Beach.mkv");
    card->addSubview(caption);
    root->addSubview(card);
    ASSERT_TRUE(driver.tap("Beach.mkv"));
    EXPECT_EQ(cardTaps, 1);
}

TEST_F(ScreenDriverTest, SlidersFollowTheFingerAndSegmentsAreChosenByTitle) {
    auto root = navigation->topViewController()->view();
    auto speed = Slider::create(Rect(16, 300, 200, 30));
    root->addSubview(speed);
    auto quality = SegmentedControl::create({"Low", "High"});
    quality->setFrame(Rect(16, 350, 200, 32));
    quality->setEnabledForSegment(false, 0);
    root->addSubview(quality);
    int changes = 0;
    quality->addTarget(
        nullptr, [&](Control&) { ++changes; }, valueChanged);

    ASSERT_TRUE(driver.slide("#2", 0.75f));
    EXPECT_FLOAT_EQ(speed->value(), 0.75f);
    ASSERT_TRUE(driver.chooseSegment("High", "High"));
    EXPECT_EQ(quality->selectedSegmentIndex(), 1);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(driver.chooseSegment("#3", "Low"));  // a disabled segment
    EXPECT_FALSE(driver.chooseSegment("#3", "Medium"));
    EXPECT_FALSE(driver.slide("#3", 0.5f));  // not a slider
    EXPECT_NE(driver.screen().find("Slider #2 16,300 200x30 value 0.75 of 0..1\n"
                                   "      SegmentedControl #3 16,350 200x32 segments \"Low\" disabled [\"High\"]\n"),
              std::string::npos)
        << driver.screen();
}

TEST_F(ScreenDriverTest, ATouchOutsideAPopoverOnlyDismissesIt) {
    auto root = navigation->topViewController();
    auto options = ViewController::create();
    options->setModalPresentationStyle(ModalPresentationStyle::popover);
    using Keep = testing_support::KeepPopoverDelegate;
    auto keep = std::make_shared<Keep>();
    options->popoverPresentationController()->setDelegate(keep);
    options->popoverPresentationController()->setSourceRect(Rect(300, 400, 40, 40));
    options->setPreferredContentSize(Size{200, 100});
    auto loopSwitch = Switch::create(Rect(10, 10, 51, 31));
    options->view()->addSubview(loopSwitch);
    root->present(options, true);
    driver.settle();
    ASSERT_NE(driver.screen().find("popover anchor window at 300,400 40x40"), std::string::npos) << driver.screen();

    ASSERT_TRUE(driver.tap("#2"));  // the switch inside the popover
    EXPECT_TRUE(loopSwitch->isOn());
    const auto outside = driver.tap("New Folder");
    ASSERT_FALSE(outside);
    EXPECT_NE(outside.error().description.find("dismissed the popover"), std::string::npos);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(driver.screen(), libraryScreen);
}

// Pan, pinch and long press begun on the window reach the recognisers under the finger whose
// delegates take the touch, the nearest first.
class Picky : public GestureRecognizerDelegate {
public:
    bool shouldReceiveTouch(GestureRecognizer&, const Touch&) override { return receives; }
    bool gestureRecognizerShouldBegin(GestureRecognizer&) override { return begins; }
    bool receives = true;
    bool begins = true;
};

TEST_F(ScreenDriverTest, GesturesBegunOnTheWindowAskTheDelegatesOfTheRecognisersUnderTheFinger) {
    auto root = navigation->topViewController()->view();
    auto video = View::create(Rect(0, 300, 390, 300));
    root->addSubview(video);
    std::vector<std::string> heard;
    auto outerPan = PanGestureRecognizer::create(nullptr, [&](GestureRecognizer& r) {
        if (r.state() == GestureRecognizerState::ended)
            heard.push_back("outer pan " +
                            std::to_string(static_cast<int>(static_cast<PanGestureRecognizer&>(r).translation().y)));
    });
    auto innerPan = PanGestureRecognizer::create(nullptr, [&](GestureRecognizer& r) {
        if (r.state() == GestureRecognizerState::ended) heard.push_back("inner pan");
    });
    auto pinch = PinchGestureRecognizer::create(nullptr, [&](GestureRecognizer& r) {
        if (r.state() == GestureRecognizerState::ended)
            heard.push_back("pinch " + std::to_string(static_cast<PinchGestureRecognizer&>(r).scale()).substr(0, 3));
    });
    auto picky = std::make_shared<Picky>();
    innerPan->setDelegate(picky);
    root->addGestureRecognizer(outerPan);
    video->addGestureRecognizer(innerPan);
    video->addGestureRecognizer(pinch);

    const std::string screen = driver.screen();
    ASSERT_NE(screen.find("View #1 0,0 390x844 <LibraryScreen>\n"), std::string::npos) << screen;
    ASSERT_NE(screen.find("View #3 0,300 390x300\n"), std::string::npos) << screen;
    picky->receives = false;  // the inner one declines the touch: the outer one pans
    ASSERT_TRUE(driver.pan("#3", Point{0, 120}));
    picky->receives = true;
    picky->begins = false;  // takes the touch but refuses to begin: the outer one again
    ASSERT_TRUE(driver.swipe("#3", ScreenDriver::Direction::up));
    picky->begins = true;
    ASSERT_TRUE(driver.pan("#3", Point{0, 10}));
    ASSERT_TRUE(driver.pinch("#3", 2.5));
    EXPECT_EQ(heard, (std::vector<std::string>{"outer pan 120", "outer pan -281", "inner pan", "pinch 2.5"}));

    EXPECT_FALSE(driver.longPress("#3"));  // nothing there answers a long press
    int pressed = 0;
    video->addGestureRecognizer(LongPressGestureRecognizer::create(nullptr, [&](GestureRecognizer& r) {
        if (r.state() == GestureRecognizerState::ended) ++pressed;
    }));
    ASSERT_TRUE(driver.longPress("#3"));
    EXPECT_EQ(pressed, 1);
}

TEST_F(ScreenDriverTest, AMenuOpensOnItsButtonAndClosesWhenAnActionIsChosenOrTheUserTapsElsewhere) {
    auto root = navigation->topViewController()->view();
    auto more = Button::create();
    more->setTitle("More", ControlState::normal);
    more->setFrame(Rect(300, 100, 60, 44));
    std::vector<std::string> chosen;
    auto sortBy = Menu::create("Sort By", nullptr, {}, Menu::none,
                               {Action::create("Name", [&](Action&) { chosen.push_back("Name"); })});
    const std::vector<std::shared_ptr<MenuElement>> entries{
        Action::create("Select",
                       [&](Action& action) { chosen.push_back("Select from " + action.sender()->className()); }),
        sortBy};
    more->setMenu(Menu::create(entries));
    more->setShowsMenuAsPrimaryAction(true);
    root->addSubview(more);

    ASSERT_TRUE(driver.tap("More"));
    ASSERT_NE(window->presentedMenu(), nullptr);
    ASSERT_TRUE(driver.choose("Select"));
    EXPECT_EQ(window->presentedMenu(), nullptr);
    ASSERT_TRUE(driver.tap("More"));
    ASSERT_TRUE(driver.tap("Sort By"));  // a submenu opens in place
    EXPECT_NE(driver.screen().find("  Menu \"Sort By\" anchor #2\n    MenuAction #3 \"Name\"\n"), std::string::npos);
    ASSERT_TRUE(driver.choose("Name"));
    ASSERT_TRUE(driver.tap("More"));
    EXPECT_FALSE(driver.tap("New Folder"));  // a touch outside only closes the menu
    EXPECT_EQ(window->presentedMenu(), nullptr);
    EXPECT_EQ(chosen, (std::vector<std::string>{"Select from Button", "Name"}));
}

}  // namespace
}  // namespace ui

namespace ui {
namespace {

TEST_F(ScreenDriverTest, ATextOnSeveralElementsNamesTheOneOnTop) {
    auto root = navigation->topViewController()->view();
    std::vector<std::string> heard;
    auto button = [&](const std::string& title, const std::string& name, Rect frame) {
        auto made = Button::create();
        made->setTitle(title, ControlState::normal);
        made->setFrame(frame);
        made->addTarget(
            nullptr, [&heard, name](Control&) { heard.push_back(name); }, touchUpInside);
        return made;
    };
    root->addSubview(button("Trip", "covered", Rect(16, 200, 100, 44)));
    root->addSubview(button("Beach", "covered beach", Rect(16, 260, 100, 44)));
    // A sheet over the screen: its own "Trip", and a card that holds a "Beach" label.
    auto sheet = View::create(Rect(0, 150, 390, 694));
    sheet->addSubview(button("Trip", "sheet", Rect(16, 350, 100, 44)));
    auto card = View::create(Rect(0, 420, 390, 100));
    card->addGestureRecognizer(
        TapGestureRecognizer::create(nullptr, [&](GestureRecognizer&) { heard.push_back("card"); }));
    auto caption = Label::create(Rect(16, 10, 200, 20));
    caption->setText("Beach");
    card->addSubview(caption);
    sheet->addSubview(card);
    root->addSubview(sheet);

    ASSERT_TRUE(driver.tap("Trip"));
    ASSERT_TRUE(driver.tap("Beach"));  // the covered button shows it itself, but cannot be reached
    EXPECT_EQ(heard, (std::vector<std::string>{"sheet", "card"}));
    // Both reachable again: the name is ambiguous as before.
    sheet->removeFromSuperview();
    root->addSubview(button("Trip", "second", Rect(16, 400, 100, 44)));
    const auto twice = driver.tap("Trip");
    ASSERT_FALSE(twice);
    EXPECT_NE(twice.error().description.find("more than one"), std::string::npos);
}

TEST_F(ScreenDriverTest, StepsSegmentsAndHeldMenusGoThroughTheFinger) {
    auto root = navigation->topViewController()->view();
    auto stepper = Stepper::create(Rect(16, 200, 94, 29));
    stepper->setMaximumValue(1);
    root->addSubview(stepper);
    auto tabs = SegmentedControl::create({"Playlist", "Chapters"});
    tabs->setFrame(Rect(16, 250, 200, 32));
    tabs->setSelectedSegmentIndex(0);
    root->addSubview(tabs);
    auto shot = Button::create(ButtonType::custom);
    shot->setTitle("Shot", ControlState::normal);
    shot->setFrame(Rect(16, 300, 125, 30));
    int shots = 0;
    shot->addTarget(
        nullptr, [&](Control&) { ++shots; }, touchUpInside);
    shot->setMenu(
        Menu::create(std::vector<std::shared_ptr<MenuElement>>{Action::create("Without", Action::Handler{})}));
    root->addSubview(shot);

    ASSERT_TRUE(driver.step("#2", true));
    EXPECT_EQ(stepper->value(), 1);
    const auto atEnd = driver.step("#2", true);
    ASSERT_FALSE(atEnd);
    EXPECT_NE(atEnd.error().description.find("the plus half of Stepper #2"), std::string::npos)
        << atEnd.error().description;
    EXPECT_NE(driver.screen().find("Stepper #2 16,200 94x29 value 1 of 0..1 plus disabled"), std::string::npos)
        << driver.screen();
    EXPECT_FALSE(driver.step("#3", false));  // not a stepper

    ASSERT_TRUE(driver.tap("Chapters"));  // a segment's title touches that segment
    EXPECT_EQ(tabs->selectedSegmentIndex(), 1);
    EXPECT_FALSE(driver.tap("Chapters"));  // chosen already: the touch changes nothing

    ASSERT_TRUE(driver.tap("Shot"));
    EXPECT_EQ(shots, 1);
    EXPECT_NE(driver.screen().find("\"Shot\" menu when held"), std::string::npos) << driver.screen();
    ASSERT_TRUE(driver.longPress("Shot"));
    ASSERT_TRUE(window->presentedMenu());
    EXPECT_EQ(shots, 1);
    ASSERT_TRUE(driver.choose("Without"));
}

}  // namespace
}  // namespace ui
