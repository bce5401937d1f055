// The mouse in a real window, as the window system delivers it (SDL's events through the window's
// queue, on a manual clock): a drag on a slider moves its thumb and is no pan or scroll, a right
// click opens the menu of what lies under the pointer there at once, and a held press opens it
// after the long-press time, its release then tapping nothing. Without a display (the display
// stage runs these under Xvfb) the cases skip.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/dispatch/run_loop.h"
#include "platform/display/display_host.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/controls/action.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/context_menu_configuration.h"
#include "platform/ui/controls/context_menu_interaction.h"
#include "platform/ui/controls/menu.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/gestures/pan_gesture_recognizer.h"
#include "platform/ui/lists/collection_view_diffable_data_source.h"
#include "platform/ui/lists/list_content_configuration.h"
#include "platform/ui/lists/scroll_view.h"
#include "platform/ui/views/window.h"
#include "support/display_stage.h"

namespace display {
namespace {

using ui::Point;
using ui::Rect;
using Snapshot = ui::DiffableDataSourceSnapshot<int, int>;
using DataSource = ui::CollectionViewDiffableDataSource<int, int>;
using MouseButton = DisplayHost::MouseButton;

// A library's grid: each item offers its menu and logs what the user did.
class Items : public ui::CollectionViewDelegate {
public:
    std::shared_ptr<ui::ContextMenuConfiguration> contextMenuConfiguration(ui::CollectionView&,
                                                                           const std::vector<ui::IndexPath>& items,
                                                                           Point) override {
        const int item = items.front().item;
        return ui::ContextMenuConfiguration::create(item, nullptr, [this, item](const auto&) {
            log.push_back("menu " + std::to_string(item));
            return ui::Menu::create(
                std::vector<std::shared_ptr<ui::MenuElement>>{ui::Action::create("Mark Watched", [](ui::Action&) {}),
                                                              ui::Action::create("Delete", [](ui::Action&) {})});
        });
    }
    std::shared_ptr<ui::TargetedPreview> previewForDismissingContextMenu(
        ui::CollectionView&, const ui::ContextMenuConfiguration& configuration) override {
        log.push_back("set down " + std::to_string(std::any_cast<int>(configuration.identifier())));
        return nullptr;
    }
    void didSelectItem(ui::CollectionView&, const ui::IndexPath& indexPath) override {
        log.push_back("open " + std::to_string(indexPath.item));
    }
    std::vector<std::string> log;
};

class PointerDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        window->setBackgroundColor(ui::Color::white());
        auto root = ui::ViewController::create();
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        // Above: a surface that pans (as the player's does) with a slider and a menu button on it,
        // and a list that scrolls with a slider in it (as the options popover's rows).
        surface = ui::View::create(Rect(0, 0, 400, 160));
        pan = ui::PanGestureRecognizer::create(nullptr, [this](ui::GestureRecognizer& r) {
            pans.push_back(static_cast<ui::PanGestureRecognizer&>(r).numberOfTouches());
        });
        pan->setMaximumNumberOfTouches(2);
        surface->addGestureRecognizer(pan);
        root->view()->addSubview(surface);
        surface->addSubview(sliderOnSurface);
        menuButton->setFrame(Rect(260, 110, 100, 30));
        menuButton->addTarget(
            nullptr, [this](ui::Control&) { ++buttonPresses; }, ui::touchUpInside);
        menuButton->setMenu(ui::Menu::create({ui::Action::create("Without Subtitles", [](ui::Action&) {})}));
        surface->addSubview(menuButton);
        scroll->setContentSize({400, 600});
        scroll->addSubview(sliderInList);
        root->view()->addSubview(scroll);
        for (const auto& slider : {sliderOnSurface, sliderInList}) {
            slider->addTarget(
                nullptr, [this](ui::Control&) { ++valueChanges; }, ui::valueChanged);
        }
        // Below: the grid.
        grid->registerCell("cell", [] { return ui::CollectionViewCell::create(); });
        source = DataSource::create(grid, [](ui::CollectionView& v, const ui::IndexPath& p, const int& item) {
            auto cell = v.dequeueCell("cell", p);
            ui::ListContentConfiguration content;
            content.text = "Video " + std::to_string(item);
            cell->setContentConfiguration(content);
            return cell;
        });
        grid->setDelegate(items);
        root->view()->addSubview(grid);
        Snapshot snapshot;
        snapshot.appendSections({0});
        snapshot.appendItems({0, 1, 2, 3}, 0);
        source->apply(snapshot, false);
        loop.runUntilIdle();

        DisplayHost::Options options;
        options.title = "pointer test";
        options.hidden = true;  // the desktop's own pointer stays out of it
        auto opened = DisplayHost::open(options);
        ASSERT_TRUE(opened) << opened.error().description;
        host = std::move(opened.value());
        host->show(window);
        loop.runUntilIdle();
    }
    void TearDown() override {
        host.reset();
        window.reset();
    }
    // Where the second item of the grid lies, in window points.
    Point itemPoint(int item) {
        auto frame = grid->frameForItem({0, item});
        return grid->convertToWindow(frame ? frame->center() : Point{});
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<ui::Window> window = ui::Window::create(Rect(0, 0, 400, 400));
    std::shared_ptr<ui::View> surface;
    std::shared_ptr<ui::PanGestureRecognizer> pan;
    std::vector<int> pans;  // the touches of each pan step seen
    std::shared_ptr<ui::Slider> sliderOnSurface = ui::Slider::create(Rect(20, 40, 220, 31));
    std::shared_ptr<ui::Slider> sliderInList = ui::Slider::create(Rect(20, 20, 220, 31));
    std::shared_ptr<ui::ScrollView> scroll = ui::ScrollView::create(Rect(0, 160, 400, 80));
    std::shared_ptr<ui::Button> menuButton = ui::Button::create();
    int buttonPresses = 0;
    int valueChanges = 0;
    std::shared_ptr<ui::CollectionView> grid = ui::CollectionView::create(
        Rect(0, 240, 400, 160),
        ui::CompositionalLayout::createList(ui::CollectionLayoutSection::ListAppearance::plain));
    std::shared_ptr<DataSource> source;
    std::shared_ptr<Items> items = std::make_shared<Items>();
    std::unique_ptr<DisplayHost> host;
};

TEST_F(PointerDisplay, ADragOnASliderMovesItsThumbWithThePointerAndNeitherPansNorScrolls) {
    for (const auto& slider : {sliderOnSurface, sliderInList}) {
        SCOPED_TRACE(slider == sliderOnSurface ? "on a surface that pans" : "in a list that scrolls");
        valueChanges = 0;
        const Point start = slider->pointInWindow(0.2f);
        host->mouseDown(start);
        EXPECT_NEAR(slider->value(), 0.2, 0.01) << "a press on the track moves the thumb there";
        // The pointer wanders off the track's line as a hand does; the thumb follows its x.
        for (float value : {0.25f, 0.35f, 0.5f}) {
            const Point at = slider->pointInWindow(value);
            host->mouseMove({at.x, at.y + 12});
            loop.advanceSeconds(0.02);
        }
        EXPECT_NEAR(slider->value(), 0.5, 0.01) << "the thumb follows the pointer while it is dragged";
        EXPECT_GE(valueChanges, 4) << "a continuous slider tells each step of the drag";
        host->mouseUp(slider->pointInWindow(0.8f));
        EXPECT_NEAR(slider->value(), 0.8, 0.01) << "and stays where the pointer let go";
        EXPECT_FALSE(slider->isTouched());
    }
    EXPECT_TRUE(pans.empty()) << "a drag on a slider panned the surface under it";
    EXPECT_EQ(scroll->contentOffset(), (Point{0, 0})) << "a drag on a slider scrolled the list";

    // Off the sliders a drag still pans, and with the right button it pans with two fingers.
    for (auto button : {MouseButton::left, MouseButton::right}) {
        pans.clear();
        host->mouseDown({300, 20}, button);
        host->mouseMove({330, 30});
        host->mouseUp({340, 30});
        ASSERT_FALSE(pans.empty());
        EXPECT_EQ(pans.back(), button == MouseButton::right ? 2 : 1);
    }
    EXPECT_FALSE(window->presentedMenu()) << "a right drag is no right click";
}

TEST_F(PointerDisplay, ARightClickOpensTheMenuOfWhatLiesUnderThePointerThereAtOnce) {
    struct Case {
        const char* name;
        Point at;
        const char* firstEntry;
    };
    const Point onItem = itemPoint(1);
    for (const Case& c : {Case{"a grid's item", {onItem.x - 120, onItem.y}, "Mark Watched"},
                          Case{"a button with a menu", {300, 125}, "Without Subtitles"}}) {
        SCOPED_TRACE(c.name);
        host->mouseDown(c.at, MouseButton::right);
        host->mouseUp(c.at);
        auto menu = window->presentedMenu();
        ASSERT_TRUE(menu) << "no menu opened";
        ASSERT_FALSE(menu->entries().empty());
        EXPECT_EQ(menu->entries().front().element->title(), c.firstEntry);
        ASSERT_TRUE(menu->location());
        EXPECT_EQ(*menu->location(), c.at);
        // It is drawn with a corner at the pointer, on the side where it fits (its entries are all
        // the window draws over its views).
        host->capture();
        ASSERT_FALSE(host->chromeTargets().empty()) << "the menu is not drawn";
        Rect box = host->chromeTargets().front().rect;
        for (const auto& target : host->chromeTargets()) box = box.unionWith(target.rect);
        EXPECT_TRUE(std::abs(box.minX() - c.at.x) < 1 || std::abs(box.maxX() - c.at.x) < 1)
            << box.minX() << "..." << box.maxX();
        EXPECT_TRUE(std::abs(box.minY() - c.at.y) < 8 || std::abs(box.maxY() - c.at.y) < 8)
            << box.minY() << "..." << box.maxY();
        EXPECT_TRUE(box.minX() >= 0 && box.maxX() <= 400 && box.minY() >= 0 && box.maxY() <= 400) << "off the window";
        // Another right click, on the menu's empty corner of the window, only closes it.
        host->mouseDown({395, 395}, MouseButton::right);
        host->mouseUp({395, 395});
        EXPECT_FALSE(window->presentedMenu());
    }
    EXPECT_EQ(items->log, (std::vector<std::string>{"menu 1", "set down 1"})) << "a right click opened the item";
    EXPECT_EQ(buttonPresses, 0) << "a right click pressed the button";
    // Where nothing offers a menu, a right click does nothing.
    host->mouseDown({100, 130}, MouseButton::right);
    host->mouseUp({100, 130});
    EXPECT_FALSE(window->presentedMenu());
}

TEST_F(PointerDisplay, AHeldPressOnAGridItemOpensItsMenuAfterTheHoldAndItsReleaseTapsNothing) {
    const Point at = itemPoint(2);
    host->mouseDown(at);
    loop.advanceSeconds(ui::ContextMenuInteraction::pressDuration - 0.1);
    EXPECT_FALSE(window->presentedMenu()) << "the menu came before the hold time";
    loop.advanceSeconds(0.2);
    auto menu = window->presentedMenu();
    ASSERT_TRUE(menu) << "a held press opened no menu";
    EXPECT_EQ(menu->location(), std::optional<Point>(at));
    host->mouseUp(at);
    EXPECT_EQ(window->presentedMenu(), menu) << "the release closed the menu";
    EXPECT_EQ(items->log, (std::vector<std::string>{"menu 2"})) << "the release opened the item";

    // A click closes the menu; the next click opens the item, and no menu comes after it.
    host->mouseDown({395, 395});
    host->mouseUp({395, 395});
    ASSERT_FALSE(window->presentedMenu());
    host->mouseDown(at);
    host->mouseUp(at);
    loop.advanceSeconds(ui::ContextMenuInteraction::pressDuration * 2);
    EXPECT_FALSE(window->presentedMenu());
    // A press that becomes a drag before the hold time opens no menu either.
    host->mouseDown(at);
    host->mouseMove({at.x, at.y - 30});
    loop.advanceSeconds(ui::ContextMenuInteraction::pressDuration * 2);
    host->mouseUp({at.x, at.y - 30});
    EXPECT_FALSE(window->presentedMenu());
    EXPECT_EQ(items->log, (std::vector<std::string>{"menu 2", "set down 2", "open 2"}));
}

}  // namespace
}  // namespace display
