#include <gtest/gtest.h>

#include "platform/base/fatal.h"
#include "platform/base/log.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/popover_presentation_controller.h"
#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/controls/deferred_menu_element.h"
#include "platform/ui/controls/menu.h"
#include "platform/ui/views/window.h"
#include "support/keep_popover_delegate.h"

namespace ui {
namespace {

std::vector<std::string> g_log;

// Logs its appearance callbacks as "<name> <callback>".
class Page : public ViewController {
public:
    static std::shared_ptr<Page> create(std::string name) {
        auto screen = make<Page>();
        screen->m_name = std::move(name);
        return screen;
    }
    void viewDidLoad() override { g_log.push_back(m_name + " load"); }
    void viewWillAppear(bool) override { g_log.push_back(m_name + " willAppear"); }
    void viewDidAppear(bool) override { g_log.push_back(m_name + " didAppear"); }
    void viewWillDisappear(bool) override { g_log.push_back(m_name + " willDisappear"); }
    void viewDidDisappear(bool) override { g_log.push_back(m_name + " didDisappear"); }

private:
    std::string m_name;
};

class PresentationTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        window = Window::create(Rect(0, 0, 390, 844));
        root = Page::create("root");
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        g_log.clear();
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<Window> window;
    std::shared_ptr<Page> root;
};

TEST_F(PresentationTest, FullScreenPresentationCoversThePresenterAfterTheTransition) {
    auto player = Page::create("player");
    player->setModalPresentationStyle(ModalPresentationStyle::fullScreen);
    player->setModalTransitionStyle(ModalTransitionStyle::crossDissolve);
    bool done = false;
    root->present(player, true, [&] { done = true; });
    EXPECT_EQ(g_log, (std::vector<std::string>{"player load", "player willAppear", "root willDisappear"}));
    EXPECT_TRUE(player->isBeingPresented());
    EXPECT_EQ(player->view()->window(), window);
    loop.advanceSeconds(ViewController::transitionDuration);
    EXPECT_TRUE(done);
    EXPECT_EQ(g_log, (std::vector<std::string>{"player load", "player willAppear", "root willDisappear",
                                               "player didAppear", "root didDisappear"}));
    EXPECT_EQ(root->presentedViewController(), player);
    EXPECT_EQ(player->presentingViewController(), root);
}

TEST_F(PresentationTest, SheetsLeaveThePresenterOnScreenAndDismissInOrder) {
    auto sheet = Page::create("sheet");
    auto alert = Page::create("alert");
    root->present(sheet, false);
    sheet->present(alert, false);
    EXPECT_EQ(root->topPresentedViewController(), alert);
    g_log.clear();
    bool done = false;
    root->dismiss(true, [&] { done = true; });
    EXPECT_EQ(g_log, (std::vector<std::string>{"alert willDisappear", "sheet willDisappear"}));
    loop.advanceSeconds(ViewController::transitionDuration);
    EXPECT_TRUE(done);
    EXPECT_EQ(g_log, (std::vector<std::string>{"alert willDisappear", "sheet willDisappear", "alert didDisappear",
                                               "sheet didDisappear"}));
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(sheet->presentingViewController(), nullptr);
    EXPECT_EQ(sheet->view()->superview(), nullptr);
}

TEST_F(PresentationTest, AControllerInsideAPresentedContainerDismissesTheContainer) {
    auto sheet = Page::create("sheet");
    auto navigation = NavigationController::create(sheet);
    navigation->setModalPresentationStyle(ModalPresentationStyle::formSheet);
    root->present(navigation, false);
    EXPECT_EQ(sheet->presentingViewController(), root);
    sheet->dismiss(false);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(navigation->view()->superview(), nullptr);
    EXPECT_EQ(sheet->presentingViewController(), nullptr);
}

TEST_F(PresentationTest, PresentingWhileAlreadyPresentingIsRefusedWithAWarning) {
    std::vector<std::string> warnings;
    base::ScopedLogSink sink([&](base::LogLevel level, std::string_view, std::string_view message) {
        if (level == base::LogLevel::warning) warnings.emplace_back(message);
    });
    root->present(Page::create("first"), false);
    bool ran = false;
    root->present(Page::create("second"), false, [&] { ran = true; });
    EXPECT_FALSE(ran);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("already presenting"), std::string::npos);
}

TEST_F(PresentationTest, PopoverAdaptsInCompactWidthUnlessItsDelegateKeepsIt) {
    class Keep : public testing_support::KeepPopoverDelegate {
    public:
        void popoverDidDismiss(PopoverPresentationController&) override { ++dismissed; }
        int dismissed = 0;
    };
    auto menu = Page::create("menu");
    menu->setModalPresentationStyle(ModalPresentationStyle::popover);
    root->present(menu, false);
    EXPECT_EQ(menu->effectivePresentationStyle(), ModalPresentationStyle::fullScreen);
    root->dismiss(false);
    auto keep = std::make_shared<Keep>();
    auto kept = Page::create("kept");
    kept->setModalPresentationStyle(ModalPresentationStyle::popover);
    kept->popoverPresentationController()->setDelegate(keep);
    kept->popoverPresentationController()->setSourceRect(Rect(10, 10, 20, 20));
    root->present(kept, false);
    EXPECT_EQ(kept->effectivePresentationStyle(), ModalPresentationStyle::popover);
    EXPECT_EQ(kept->view()->frame().origin.y, 30 + 13 + 8);  // below the anchor, the default arrow away
    EXPECT_TRUE(kept->popoverPresentationController()->dismissByUser());
    loop.advanceSeconds(1);
    EXPECT_EQ(keep->dismissed, 1);
    EXPECT_EQ(root->presentedViewController(), nullptr);
}

// A popover kept as a popover in the compact test window, 200 x 100 points of content, anchored
// at `anchor` of the window.
class PopoverPlacementTest : public PresentationTest {
protected:
    using Keep = testing_support::KeepPopoverDelegate;

    std::shared_ptr<PopoverPresentationController> present(const Rect& anchor, EdgeInsets margins,
                                                           unsigned arrows = popoverArrowAny) {
        popover = Page::create("popover");
        popover->setModalPresentationStyle(ModalPresentationStyle::popover);
        popover->setPreferredContentSize({200, 100});
        auto presentation = popover->popoverPresentationController();
        presentation->setDelegate(keep);
        presentation->setSourceRect(anchor);
        presentation->setPermittedArrowDirections(arrows);
        presentation->setPopoverLayoutMargins(margins);
        root->present(popover, false);
        return presentation;
    }
    std::shared_ptr<PopoverPresentationController> presentation() { return popover->popoverPresentationController(); }
    Rect background() { return presentation()->backgroundView()->frame(); }

    std::shared_ptr<Keep> keep = std::make_shared<Keep>();
    std::shared_ptr<Page> popover;
};

TEST_F(PopoverPlacementTest, APopoverNearAnEdgeKeepsItsMarginFromThatEdge) {
    // The default background adds 8 points on each side: 216 points wide in all.
    present(Rect(370, 400, 20, 20), {0, 0, 0, 10});
    EXPECT_EQ(background().maxX(), 380);
    EXPECT_EQ(popover->view()->frame(), Rect(172, 441, 200, 100));
    root->dismiss(false);

    present(Rect(0, 400, 20, 20), {0, 12, 0, 0});
    EXPECT_EQ(background().minX(), 12);
    EXPECT_EQ(popover->view()->frame().minX(), 20);
    root->dismiss(false);

    // Away from the edges the popover stays centred on its anchor.
    present(Rect(180, 400, 20, 20), {0, 10, 0, 10});
    EXPECT_EQ(popover->view()->frame().midX(), 190);
}

TEST_F(PopoverPlacementTest, MarginsSetAfterPresentingMoveThePopover) {
    auto presentation = present(Rect(370, 400, 20, 20), {});
    EXPECT_EQ(background().maxX(), 390);
    presentation->setPopoverLayoutMargins({0, 0, 0, 10});
    EXPECT_EQ(background().maxX(), 380);
    EXPECT_EQ(popover->view()->frame().maxX(), 372);
}

TEST_F(PopoverPlacementTest, APopoverWiderThanTheRoomLeftKeepsItsLeftMargin) {
    present(Rect(370, 400, 20, 20), {0, 100, 0, 100});  // 190 points between the margins
    EXPECT_EQ(background().minX(), 100);
}

TEST_F(PopoverPlacementTest, TheBottomMarginCountsAsNoRoomBelowTheAnchor) {
    auto presentation = present(Rect(100, 680, 20, 20), {});  // 700 + 100 fits in 844
    EXPECT_EQ(presentation->arrowDirection(), popoverArrowUp);
    root->dismiss(false);
    presentation = present(Rect(100, 680, 20, 20), {0, 0, 60, 0});
    EXPECT_EQ(presentation->arrowDirection(), popoverArrowDown);
    EXPECT_EQ(popover->view()->frame().maxY(), 680 - 13 - 8);
}

TEST_F(PopoverPlacementTest, ANewSizeOnAShowingPopoverPlacesItAgainNearTheEdge) {
    auto presentation = present(Rect(370, 600, 20, 20), {0, 0, 0, 10});
    popover->setPreferredContentSize({300, 150});
    // Wider, it still keeps its margin from the right edge, and it still points up at the anchor.
    EXPECT_EQ(presentation->arrowDirection(), popoverArrowUp);
    EXPECT_EQ(popover->view()->frame(), Rect(72, 641, 300, 150));
    EXPECT_EQ(background(), Rect(64, 633, 316, 166));

    // Too tall for the room below the anchor (620 + 250 > 844): it moves above it, pointing down.
    popover->setPreferredContentSize({300, 250});
    EXPECT_EQ(presentation->arrowDirection(), popoverArrowDown);
    EXPECT_EQ(presentation->backgroundView()->arrowDirection(), popoverArrowDown);
    EXPECT_EQ(popover->view()->frame(), Rect(72, 600 - 13 - 8 - 250, 300, 250));
    EXPECT_EQ(background().maxX(), 380);
}

TEST_F(PopoverPlacementTest, ANewSizeAwayFromTheEdgesKeepsThePopoverCentredAndAnimatesIt) {
    present(Rect(180, 300, 20, 20), {0, 10, 0, 10});
    popover->setPreferredContentSize({120, 60});
    EXPECT_EQ(popover->view()->frame(), Rect(130, 341, 120, 60));
    EXPECT_EQ(background(), Rect(122, 333, 136, 76));
    // Shown already, the popover grows on screen as the content and its background move together.
    EXPECT_FALSE(popover->view()->layer().animationKeys().empty());
    EXPECT_FALSE(presentation()->backgroundView()->layer().animationKeys().empty());
    loop.advanceSeconds(PopoverPresentationController::resizeDuration);
    EXPECT_TRUE(popover->view()->layer().animationKeys().empty());
    EXPECT_EQ(popover->view()->frame(), Rect(130, 341, 120, 60));
}

TEST_F(PopoverPlacementTest, ASizeSetWhileAppearingTakesPlaceAtOnceAndOneAfterDismissalMovesNothing) {
    popover = Page::create("popover");
    popover->setModalPresentationStyle(ModalPresentationStyle::popover);
    popover->setPreferredContentSize({200, 100});
    popover->popoverPresentationController()->setDelegate(keep);
    popover->popoverPresentationController()->setSourceRect(Rect(180, 300, 20, 20));
    root->present(popover, true);
    popover->setPreferredContentSize({100, 80});  // what content does in viewWillAppear
    EXPECT_EQ(popover->view()->frame(), Rect(140, 341, 100, 80));
    EXPECT_TRUE(popover->view()->layer().animationKeys().empty());
    loop.advanceSeconds(ViewController::transitionDuration);

    root->dismiss(false);
    popover->setPreferredContentSize({300, 300});
    EXPECT_EQ(popover->view()->frame(), Rect(140, 341, 100, 80));
    EXPECT_EQ(popover->view()->superview(), nullptr);
}

TEST_F(PresentationTest, AlertActionDismissesThenRunsItsHandler) {
    auto alert =
        AlertController::create("Rename Failed", "There was an issue renaming this file.", AlertControllerStyle::alert);
    bool presentedWhenHandled = true;
    alert->addAction(AlertAction::create("OK", AlertActionStyle::defaultStyle, [&](AlertAction&) {
        presentedWhenHandled = root->presentedViewController() != nullptr;
    }));
    root->present(alert, false);
    EXPECT_FALSE(alert->tapAction("Cancel"));
    EXPECT_TRUE(alert->tapAction("OK"));
    EXPECT_FALSE(presentedWhenHandled);
    base::ScopedFatalThrows throws;
    auto sheet = AlertController::create(std::nullopt, std::nullopt, AlertControllerStyle::actionSheet);
    EXPECT_THROW(sheet->addTextField(), base::FatalError);
    sheet->addAction(AlertAction::create("Cancel", AlertActionStyle::cancel));
    EXPECT_THROW(sheet->addAction(AlertAction::create("Close", AlertActionStyle::cancel)), base::FatalError);
}

TEST(AlertKeysTest, ReturnTakesThePreferredOrADefaultActionNeverOneThatDestroysAndBoldShowsWhich) {
    using Style = AlertActionStyle;
    struct Case {
        const char* what;
        AlertControllerStyle style;
        std::vector<std::pair<std::string, Style>> actions;
        std::string preferred;  // empty: none
        std::string disabled;   // empty: every action enabled
        std::string returnTakes;
        std::string bold;
    };
    const Case cases[] = {
        {"rename",
         AlertControllerStyle::alert,
         {{"Cancel", Style::cancel}, {"Confirm", Style::defaultStyle}},
         "",
         "",
         "Confirm",
         "Confirm"},
        {"delete",
         AlertControllerStyle::alert,
         {{"Cancel", Style::cancel}, {"Confirm", Style::destructive}},
         "",
         "",
         "",
         "Cancel"},
        {"destroying first",
         AlertControllerStyle::alert,
         {{"Delete", Style::destructive}, {"Keep", Style::defaultStyle}, {"Cancel", Style::cancel}},
         "",
         "",
         "Keep",
         "Keep"},
        {"only destroying", AlertControllerStyle::alert, {{"Delete", Style::destructive}}, "", "", "", ""},
        {"chosen by the screen",
         AlertControllerStyle::alert,
         {{"Cancel", Style::cancel}, {"Confirm", Style::destructive}},
         "Confirm",
         "",
         "Confirm",
         "Confirm"},
        {"preferred but disabled",
         AlertControllerStyle::alert,
         {{"Cancel", Style::cancel}, {"Save", Style::defaultStyle}, {"Other", Style::defaultStyle}},
         "Save",
         "Save",
         "",
         "Cancel"},
        {"first default disabled",
         AlertControllerStyle::alert,
         {{"Save", Style::defaultStyle}, {"Other", Style::defaultStyle}},
         "",
         "Save",
         "Other",
         "Other"},
        {"action sheet",
         AlertControllerStyle::actionSheet,
         {{"Cancel", Style::cancel}, {"Open", Style::defaultStyle}},
         "",
         "",
         "",
         "Cancel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto alert = AlertController::create("Title", std::nullopt, c.style);
        for (const auto& [title, style] : c.actions) {
            auto action = AlertAction::create(title, style);
            action->setEnabled(title != c.disabled);
            alert->addAction(action);
            if (title == c.preferred) alert->setPreferredAction(action);
        }
        const auto taken = alert->returnKeyAction();
        EXPECT_EQ(taken ? taken->title() : "", c.returnTakes);
        const auto bold = alert->emphasizedAction();
        EXPECT_EQ(bold ? bold->title() : "", c.bold);
    }
}

TEST_F(PresentationTest, NavigationPushAndPopRunAppearanceAndKeepTheStack) {
    auto list = Page::create("list");
    auto navigation = NavigationController::create(list);
    window->setRootViewController(navigation);
    g_log.clear();
    auto folder = Page::create("folder");
    navigation->pushViewController(folder, true);
    EXPECT_EQ(navigation->viewControllers().size(), 2u);
    EXPECT_EQ(folder->navigationController(), navigation);
    loop.advanceSeconds(ViewController::transitionDuration);
    EXPECT_EQ(g_log, (std::vector<std::string>{"list willDisappear", "folder load", "folder willAppear",
                                               "list didDisappear", "folder didAppear"}));
    g_log.clear();
    EXPECT_EQ(navigation->popViewController(false), folder);
    EXPECT_EQ(g_log, (std::vector<std::string>{"folder willDisappear", "list willAppear", "folder didDisappear",
                                               "list didAppear"}));
    EXPECT_EQ(folder->parent(), nullptr);
    EXPECT_EQ(navigation->popViewController(false), nullptr);  // the root stays
}

TEST(StoryboardTest, FactoriesBuildControllersByNameAndUnknownOnesAreFatal) {
    Storyboard::registerController("Reelhaven", "player", [] { return ViewController::create(); });
    auto storyboard = Storyboard::named("Reelhaven");
    auto player = storyboard->instantiateViewController("player");
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->storyboard(), storyboard);
    EXPECT_EQ(storyboard->instantiateInitialViewController(), nullptr);
    base::ScopedFatalThrows throws;
    EXPECT_THROW(storyboard->instantiateViewController("settings"), base::FatalError);
    EXPECT_THROW(Storyboard::named("Missing"), base::FatalError);
    Storyboard::unregisterStoryboard("Reelhaven");
}

TEST(MenuTest, InlineMenusFlattenDeferredElementsResolveAndDisabledActionsDoNothing) {
    int chosen = 0;
    auto speed = Menu::create(
        "", nullptr, "", Menu::displayInline,
        {Action::create("1x", [&](Action&) { chosen = 1; }),
         Action::create("2x", nullptr, "", Action::disabled, Action::State::off, [&](Action&) { chosen = 2; })});
    int providerCalls = 0;
    auto deferred = DeferredMenuElement::createUncached([&](DeferredMenuElement::Completion done) {
        ++providerCalls;
        done({Action::create("Chapter 1", [&](Action&) { chosen = 3; })});
    });
    auto menu = Menu::create({speed, Action::create("Loop", nullptr, "", Action::none, Action::State::on), deferred});
    const auto visible = menu->visibleActions();
    ASSERT_EQ(visible.size(), 3u);
    EXPECT_EQ(visible[2]->state(), Action::State::on);
    EXPECT_TRUE(menu->selectAction("1x"));
    EXPECT_EQ(chosen, 1);
    EXPECT_FALSE(menu->selectAction("2x"));
    EXPECT_EQ(chosen, 1);
    EXPECT_TRUE(menu->selectAction("Chapter 1"));
    EXPECT_EQ(chosen, 3);
    menu->findAction("Chapter 1");
    EXPECT_EQ(providerCalls, 2);  // uncached: asked at every opening
}

}  // namespace
}  // namespace ui

namespace ui {
namespace {

class Rotating : public ViewController {
public:
    static std::shared_ptr<Rotating> create() { return make<Rotating>(); }
    void viewWillTransition(Size size, TransitionCoordinator& coordinator) override {
        sizes.push_back(size);
        coordinator.animateAlongside([this] { alongside = view()->bounds().size; }, [this] { ++completed; });
    }
    std::vector<Size> sizes;
    Size alongside;
    int completed = 0;
};

TEST(RotationTest, ControllersHearTheNewSizeAndFinishOnTheClock) {
    dispatch::ScopedMainRunLoop loop;
    auto window = Window::create(Rect(0, 0, 390, 844));
    auto root = Rotating::create();
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    auto sheet = Rotating::create();
    sheet->setModalPresentationStyle(ModalPresentationStyle::fullScreen);
    root->present(sheet, false);
    window->transitionToSize({844, 390}, 0.3);
    EXPECT_EQ(root->sizes, std::vector<Size>{Size({844, 390})});
    EXPECT_EQ(sheet->sizes.size(), 1u);
    EXPECT_EQ(sheet->alongside, (Size{844, 390}));
    EXPECT_EQ(window->bounds().size, (Size{844, 390}));
    EXPECT_EQ(root->completed, 0);
    loop.advanceSeconds(0.3);
    EXPECT_EQ(root->completed, 1);
    EXPECT_EQ(sheet->completed, 1);
    EXPECT_EQ(root->supportedInterfaceOrientations(), 26u);
}

}  // namespace
}  // namespace ui
