#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/navigation_bar_layout.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/popover_presentation_controller.h"
#include "platform/ui/controllers/search_controller.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/controls/bar_button_item.h"
#include "platform/ui/controls/search_bar.h"
#include "platform/ui/text/font.h"
#include "platform/ui/views/view.h"
#include "platform/ui/views/window.h"
#include "support/keep_popover_delegate.h"

namespace ui {
namespace {

// A phone-sized window whose navigation bar shows a titled and an icon item on the right and an
// icon on the left, as the library's root screen does.
class NavigationBarLayoutTest : public ::testing::Test {
protected:
    using Keep = testing_support::KeepPopoverDelegate;

    void SetUp() override {
        window = Window::create(Rect(0, 0, 390, 844));
        root = ViewController::create();
        root->setTitle("Library");
        navigation = NavigationController::create(root);
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        root->navigationItem()->setLeftBarButtonItems({settings});
        root->navigationItem()->setRightBarButtonItems({edit, import});
        window->layoutIfNeeded();
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<Window> window;
    std::shared_ptr<ViewController> root;
    std::shared_ptr<NavigationController> navigation;
    std::shared_ptr<BarButtonItem> settings = BarButtonItem::create("", Image::systemImage("gear"));
    std::shared_ptr<BarButtonItem> edit = BarButtonItem::create("Select");
    std::shared_ptr<BarButtonItem> import = BarButtonItem::create("", Image::systemImage("arrow.down.doc"));
    std::shared_ptr<Keep> keep = std::make_shared<Keep>();
};

TEST_F(NavigationBarLayoutTest, ItemsSitAtTheBarsEdgesInOrderWithTheTitleBetween) {
    const auto layout = NavigationBarLayout::of(*navigation);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->bar, Rect(0, 0, 390, NavigationController::barHeight));
    EXPECT_FALSE(layout->backButton) << "nothing to go back to";
    EXPECT_EQ(layout->frameOf(*settings), Rect(8, 0, 44, 44));
    const double titleWidth = Font::systemFont(17).widthOf("Select") + 16;
    EXPECT_EQ(layout->frameOf(*edit), Rect(390 - 8 - titleWidth, 0, titleWidth, 44));
    EXPECT_EQ(layout->frameOf(*import), Rect(390 - 8 - titleWidth - 44, 0, 44, 44));
    EXPECT_EQ(layout->title, "Library");
    EXPECT_EQ(layout->titleRoom.midX(), 195);
    EXPECT_LE(layout->titleRoom.maxX(), layout->frameOf(*import)->minX());
    navigation->setNavigationBarHidden(true, false);
    EXPECT_FALSE(NavigationBarLayout::of(*navigation));
}

TEST_F(NavigationBarLayoutTest, ATitleViewTakesTheTitlesPlaceUntilItIsHidden) {
    ASSERT_TRUE(NavigationBarLayout::of(*navigation)->showsTitle);
    auto titleView = View::create(Rect(0, 0, 120, 30));
    root->navigationItem()->setTitleView(titleView);
    // The title text would show through under the view that stands for it.
    EXPECT_FALSE(NavigationBarLayout::of(*navigation)->showsTitle);
    titleView->setHidden(true);
    EXPECT_TRUE(NavigationBarLayout::of(*navigation)->showsTitle);
}

TEST_F(NavigationBarLayoutTest, ASearchFieldTakesTheTitlesPlaceOnAPhoneAndSitsBesideItOnAWideBar) {
    auto search = SearchController::create();
    root->navigationItem()->setSearchController(search);
    auto layout = NavigationBarLayout::of(*navigation);
    ASSERT_TRUE(layout && layout->searchField);
    EXPECT_FALSE(layout->showsTitle);
    EXPECT_GE(layout->searchField->minX(), layout->frameOf(*settings)->maxX());
    EXPECT_LE(layout->searchField->maxX(), layout->frameOf(*import)->minX());
    EXPECT_FALSE(layout->searchCancel);
    search->searchBar()->beginEditing();
    layout = NavigationBarLayout::of(*navigation);
    ASSERT_TRUE(layout->searchCancel);
    EXPECT_LE(layout->searchField->maxX(), layout->searchCancel->minX()) << "Cancel beside the field";

    window->setFrame(Rect(0, 0, 1024, 768));
    navigation->view()->setFrame(window->bounds());
    window->layoutIfNeeded();
    layout = NavigationBarLayout::of(*navigation);
    EXPECT_TRUE(layout->showsTitle);
    EXPECT_LE(layout->titleRoom.maxX(), layout->searchField->minX()) << "the title left of the field";
}

TEST_F(NavigationBarLayoutTest, ABarReadRightToLeftIsTheMirrorImage) {
    auto search = SearchController::create();
    root->navigationItem()->setSearchController(search);
    search->searchBar()->beginEditing();
    const auto leftToRight = NavigationBarLayout::of(*navigation);
    auto traits = window->windowTraitCollection();
    traits.layoutDirection = TraitEnvironmentLayoutDirection::rightToLeft;
    window->setTraitCollection(traits);
    const auto rightToLeft = NavigationBarLayout::of(*navigation);
    ASSERT_TRUE(leftToRight && rightToLeft);
    EXPECT_FALSE(leftToRight->rightToLeft);
    EXPECT_TRUE(rightToLeft->rightToLeft);
    const auto reflected = [](const Rect& rect) { return Rect(390 - rect.maxX(), rect.minY(), rect.width(), 44); };
    // The left item at the right edge, the right items from the left edge in.
    EXPECT_EQ(rightToLeft->frameOf(*settings), Rect(390 - 8 - 44, 0, 44, 44));
    for (const auto& item : {settings, edit, import})
        EXPECT_EQ(rightToLeft->frameOf(*item), reflected(*leftToRight->frameOf(*item)));
    EXPECT_EQ(rightToLeft->titleRoom, reflected(leftToRight->titleRoom));
    ASSERT_TRUE(rightToLeft->searchField && rightToLeft->searchCancel);
    EXPECT_EQ(rightToLeft->searchField->minX(), 390 - leftToRight->searchField->maxX());
    EXPECT_LT(rightToLeft->searchCancel->maxX(), rightToLeft->searchField->maxX()) << "Cancel at the field's left";

    // A pushed screen's back button at the right, its chevron pointing right.
    auto pushed = ViewController::create();
    pushed->setTitle("Storage");
    navigation->pushViewController(pushed, false);
    const auto back = NavigationBarLayout::of(*navigation);
    ASSERT_TRUE(back && back->backButton);
    EXPECT_EQ(back->backButton->maxX(), 390 - 8);
    EXPECT_EQ(back->backTitle, "Library");
    EXPECT_EQ(NavigationBarLayout::backChevron(back->rightToLeft), "\u203A");
    EXPECT_EQ(back->titleRoom.midX(), 195) << "the title stays centred";
}

TEST_F(NavigationBarLayoutTest, APopoverFromABarItemHangsBelowThatItem) {
    auto menu = ViewController::create();
    menu->setModalPresentationStyle(ModalPresentationStyle::popover);
    menu->setPreferredContentSize({100, 80});
    auto presentation = menu->popoverPresentationController();
    presentation->setDelegate(keep);
    presentation->setPermittedArrowDirections(popoverArrowUp);
    presentation->setBarButtonItem(import);
    root->present(menu, false);
    const auto item = NavigationBarLayout::of(*navigation)->frameOf(*import);
    ASSERT_TRUE(item);
    const auto frame = menu->view()->frame();
    // The default background: an arrow of 13 and 8 points around the content.
    EXPECT_EQ(frame.minY(), item->maxY() + 13 + 8) << "not at the top of the window, under the bar";
    EXPECT_EQ(frame.midX(), item->midX()) << "centred on its item";
    EXPECT_EQ(frame.size, Size(100, 80));
}

}  // namespace
}  // namespace ui
