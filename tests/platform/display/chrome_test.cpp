#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/display/symbol_icons.h"
#include "platform/display/view_painter.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controls/bar_button_item.h"
#include "platform/ui/screen/screen_driver.h"
#include "platform/ui/views/window.h"

namespace display {
namespace {

using ui::Rect;

class ChromeTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = ui::Window::create(Rect(0, 0, 400, 300));
        root = ui::ViewController::create();
        root->setTitle("Library");
        navigation = ui::NavigationController::create(root);
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        loop.runUntilIdle();
    }
    ChromePainter::Result paint() {
        auto surface = createSurface(400, 300);
        CairoPtr cr(cairo_create(surface.get()));
        painter.paint(*window, cr.get(), 1);
        auto result = painter.paintChrome(*window, cr.get(), 1);
        cr.reset();
        image = imageFromSurface(surface.get());
        return result;
    }
    // Whether a click at the centre of the target with `handle` reaches what the screen prints there.
    static const ChromeTarget* target(const ChromePainter::Result& result, int handle) {
        for (const auto& t : result.targets)
            if (t.handle == handle) return &t;
        return nullptr;
    }

    dispatch::ScopedMainRunLoop loop;
    ViewPainter painter{SymbolIcons::shared()};
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::ViewController> root;
    std::shared_ptr<ui::NavigationController> navigation;
    gfx::Image image;
};

TEST_F(ChromeTest, TheNavigationBarShowsTheTitleAndItsItemsWhereTheirHandlesAct) {
    int pressed = 0;
    auto edit = ui::BarButtonItem::create("Edit");
    edit->setTarget(nullptr, [&](ui::BarButtonItem&) { ++pressed; });
    root->navigationItem()->setRightBarButtonItem(edit);
    auto result = paint();
    ASSERT_EQ(result.targets.size(), 1u);
    const auto& item = result.targets[0];
    EXPECT_GT(item.rect.origin.x, 300);  // on the right of the bar
    EXPECT_LT(item.rect.origin.y + item.rect.size.height, ChromePainter::barHeight + 1);
    EXPECT_FALSE(result.modal);
    // Text is drawn in the middle of the bar (the title) and nowhere below it.
    auto inked = [&](int x0, int x1, int y0, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) count += image.pixel(x, y).r > 200 && image.pixel(x, y).g > 200;
        return count;
    };
    EXPECT_GT(inked(150, 250, 10, 34), 20);
    ui::ScreenDriver driver(window);
    ASSERT_TRUE(driver.tap("#" + std::to_string(item.handle)));
    EXPECT_EQ(pressed, 1);
}

TEST_F(ChromeTest, AScreenPresentedOverTheWholeWindowCoversTheBarAndItsItems) {
    root->navigationItem()->setRightBarButtonItem(ui::BarButtonItem::create("Edit"));
    auto player = ui::ViewController::create();
    player->setModalPresentationStyle(ui::ModalPresentationStyle::fullScreen);
    player->view()->setBackgroundColor(ui::Color::black());
    root->present(player, false);
    loop.runUntilIdle();
    auto covered = paint();
    EXPECT_TRUE(covered.targets.empty()) << "a click on the bar's place reaches the presented screen";
    EXPECT_EQ(image.pixel(200, 22).r, 0) << "no title drawn over it";

    // A clear view over the window (a popover's dimming) leaves the bar as it is.
    player->dismiss(false);
    loop.runUntilIdle();
    auto dimming = ui::View::create(Rect(0, 0, 400, 300));
    window->addSubview(dimming);
    EXPECT_EQ(paint().targets.size(), 1u);
}

TEST_F(ChromeTest, APushedScreenGetsABackButtonThatGoesBack) {
    auto second = ui::ViewController::create();
    second->setTitle("Movies");
    navigation->pushViewController(second, false);
    loop.runUntilIdle();
    auto result = paint();
    ASSERT_EQ(result.targets.size(), 1u);
    EXPECT_LT(result.targets[0].rect.origin.x, 20);
    ui::ScreenDriver driver(window);
    ASSERT_TRUE(driver.tap("#" + std::to_string(result.targets[0].handle)));
    EXPECT_EQ(navigation->topViewController(), root);
}

TEST_F(ChromeTest, AnAlertIsModalAndEachActionIsATarget) {
    std::string chosen;
    auto alert = ui::AlertController::create("Rename Failed", "There was an issue renaming this file.",
                                             ui::AlertControllerStyle::alert);
    alert->addAction(ui::AlertAction::create("OK", ui::AlertActionStyle::defaultStyle,
                                             [&](ui::AlertAction& action) { chosen = action.title(); }));
    root->present(alert, false);
    loop.advanceSeconds(1);
    auto result = paint();
    EXPECT_TRUE(result.modal);
    ASSERT_EQ(result.targets.size(), 1u);
    const auto& ok = result.targets[0];
    EXPECT_NEAR(ok.rect.origin.x + ok.rect.size.width / 2, 200, 1);  // centred
    EXPECT_LT(image.pixel(5, 5).r, 140);                             // the window dimmed behind it
    ui::ScreenDriver driver(window);
    ASSERT_TRUE(driver.tap("#" + std::to_string(ok.handle)));
    loop.advanceSeconds(1);
    EXPECT_EQ(chosen, "OK");
}

}  // namespace
}  // namespace display
