#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/popover_presentation_controller.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/views/window.h"
#include "support/keep_popover_delegate.h"

namespace ui {
namespace {

// A window that changes size while screens are presented on it. The root screen has an anchor
// held by constraints 20 points from its right edge and 300 from its top, so a new size moves it
// only through a layout pass. Popovers show 200 x 100 points of content; the default background
// adds 8 points around it and an arrow of 13.
class PresentationResizeTest : public ::testing::Test {
protected:
    using Keep = testing_support::KeepPopoverDelegate;

    void SetUp() override {
        window = Window::create(Rect(0, 0, 390, 844));
        root = ViewController::create();
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        anchor = pinnedAnchor(*root->view());
        window->layoutIfNeeded();
    }

    static std::shared_ptr<View> pinnedAnchor(View& container) {
        auto view = View::create();
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        container.addSubview(view);
        LayoutConstraint::activate({
            view->trailingAnchor().constraint(container.trailingAnchor(), -20),
            view->topAnchor().constraint(container.topAnchor(), 300),
            view->widthAnchor().constraintEqualToConstant(20),
            view->heightAnchor().constraintEqualToConstant(20),
        });
        return view;
    }

    std::shared_ptr<ViewController> presentPopover(const std::shared_ptr<ViewController>& presenter,
                                                   const std::shared_ptr<View>& source) {
        auto popover = ViewController::create();
        popover->setModalPresentationStyle(ModalPresentationStyle::popover);
        popover->setPreferredContentSize({200, 100});
        auto presentation = popover->popoverPresentationController();
        presentation->setDelegate(keep);
        presentation->setSourceView(source);
        presentation->setSourceRect(source->bounds());
        presentation->setPopoverLayoutMargins({0, 0, 0, 10});
        presenter->present(popover, false);
        return popover;
    }

    std::shared_ptr<ViewController> presentWithStyle(ModalPresentationStyle style) {
        auto presented = ViewController::create();
        presented->setModalPresentationStyle(style);
        root->present(presented, false);
        return presented;
    }

    Rect background(const std::shared_ptr<ViewController>& popover) {
        return popover->popoverPresentationController()->backgroundView()->frame();
    }
    unsigned arrow(const std::shared_ptr<ViewController>& popover) {
        return popover->popoverPresentationController()->arrowDirection();
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<Keep> keep = std::make_shared<Keep>();
    std::shared_ptr<Window> window;
    std::shared_ptr<ViewController> root;
    std::shared_ptr<View> anchor;
};

TEST_F(PresentationResizeTest, APopoverKeepsItsSizeAndMarginAndFollowsItsAnchorThroughEverySize) {
    auto popover = presentPopover(root, anchor);
    ASSERT_EQ(anchor->frame(), Rect(350, 300, 20, 20));
    const Rect portrait(172, 341, 200, 100);  // below the anchor, 10 points from the right edge
    EXPECT_EQ(popover->view()->frame(), portrait);
    EXPECT_EQ(background(popover).maxX(), 380);

    // Landscape: the anchor moves right; 100 points no longer fit below it, so the popover goes above.
    window->transitionToSize({844, 390}, 0);
    EXPECT_EQ(anchor->frame(), Rect(804, 300, 20, 20));
    EXPECT_EQ(arrow(popover), popoverArrowDown);
    EXPECT_EQ(popover->view()->frame(), Rect(626, 300 - 13 - 8 - 100, 200, 100));
    EXPECT_EQ(background(popover).maxX(), 834);

    // A larger desktop window: below its anchor again, still by the right margin.
    window->transitionToSize({1024, 768}, 0);
    EXPECT_EQ(arrow(popover), popoverArrowUp);
    EXPECT_EQ(popover->view()->frame(), Rect(806, 341, 200, 100));
    EXPECT_EQ(background(popover).maxX(), 1014);

    // A smaller one: too little room right of the anchor to centre the popover on it.
    window->transitionToSize({320, 480}, 0);
    EXPECT_EQ(popover->view()->frame(), Rect(102, 341, 200, 100));
    EXPECT_EQ(background(popover).maxX(), 310);

    window->transitionToSize({390, 844}, 0);
    EXPECT_EQ(arrow(popover), popoverArrowUp);
    EXPECT_EQ(popover->view()->frame(), portrait);
    EXPECT_EQ(popover->view()->superview(), window);
}

TEST_F(PresentationResizeTest, AnAnimatedTurnMovesThePopoverAndItsBackgroundTogether) {
    auto popover = presentPopover(root, anchor);
    window->transitionToSize({844, 390}, 0.3);
    const Rect landscape(626, 179, 200, 100);
    EXPECT_EQ(popover->view()->frame(), landscape);
    EXPECT_FALSE(popover->view()->layer().animationKeys().empty());
    EXPECT_FALSE(popover->popoverPresentationController()->backgroundView()->layer().animationKeys().empty());
    loop.advanceSeconds(0.3);
    EXPECT_TRUE(popover->view()->layer().animationKeys().empty());
    EXPECT_EQ(popover->view()->frame(), landscape);
    EXPECT_EQ(background(popover), Rect(618, 171, 216, 116));
}

TEST_F(PresentationResizeTest, SheetsAndFullScreenPresentationsTakeTheNewSize) {
    auto sheet = presentWithStyle(ModalPresentationStyle::pageSheet);
    EXPECT_EQ(sheet->view()->frame(), Rect(0, 10, 390, 834));
    window->transitionToSize({844, 390}, 0);
    // The sheet still leaves the top of the screen under it in view.
    EXPECT_EQ(sheet->view()->frame(), Rect(0, 10, 844, 380));
    root->dismiss(false);

    auto full = presentWithStyle(ModalPresentationStyle::fullScreen);
    window->transitionToSize({390, 844}, 0);
    EXPECT_EQ(full->view()->frame(), Rect(0, 0, 390, 844));
    root->dismiss(false);

    // A popover that adapted to the compact width is shown full screen and stays so.
    auto adapted = presentWithStyle(ModalPresentationStyle::popover);
    ASSERT_EQ(adapted->effectivePresentationStyle(), ModalPresentationStyle::fullScreen);
    window->transitionToSize({844, 390}, 0);
    EXPECT_EQ(adapted->view()->frame(), Rect(0, 0, 844, 390));
}

TEST_F(PresentationResizeTest, APopoverOverASheetFollowsItsAnchorInTheResizedSheet) {
    auto sheet = presentWithStyle(ModalPresentationStyle::formSheet);
    auto inSheet = pinnedAnchor(*sheet->view());
    window->layoutIfNeeded();
    auto popover = presentPopover(sheet, inSheet);
    EXPECT_EQ(popover->view()->frame(), Rect(172, 10 + 341, 200, 100));

    window->transitionToSize({1024, 768}, 0);
    EXPECT_EQ(inSheet->frame(), Rect(984, 300, 20, 20));
    EXPECT_EQ(popover->view()->frame(), Rect(806, 10 + 341, 200, 100));
}

// The library presents the player from the navigation controller's child, not from the root: the
// window still finds it, and its popovers, whether it changes size in a transition or at once.
TEST_F(PresentationResizeTest, ScreensPresentedFromAChildOfTheRootFollowEveryNewSize) {
    auto child = ViewController::create();
    auto navigation = NavigationController::create(child);
    window->setRootViewController(navigation);
    window->layoutIfNeeded();
    auto player = ViewController::create();
    player->setModalPresentationStyle(ModalPresentationStyle::fullScreen);
    child->present(player, false);
    auto playerAnchor = pinnedAnchor(*player->view());
    window->layoutIfNeeded();
    auto popover = presentPopover(player, playerAnchor);
    ASSERT_EQ(player->view()->frame(), Rect(0, 0, 390, 844));

    window->transitionToSize({800, 600}, 0);
    EXPECT_EQ(player->view()->frame(), Rect(0, 0, 800, 600));
    EXPECT_EQ(playerAnchor->frame(), Rect(760, 300, 20, 20));
    EXPECT_EQ(popover->view()->frame(), Rect(582, 341, 200, 100));

    // A window given its size without a transition (the desktop window it shows was made another
    // size) lays them out all the same.
    window->setFrame(Rect(0, 0, 1024, 768));
    EXPECT_EQ(player->view()->frame(), Rect(0, 0, 1024, 768));
    EXPECT_EQ(popover->view()->frame(), Rect(806, 341, 200, 100));
    EXPECT_EQ(navigation->view()->frame(), Rect(0, 0, 1024, 768));
}

}  // namespace
}  // namespace ui
