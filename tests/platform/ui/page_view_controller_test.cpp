// Pages shown by a page view controller, and a navigation item's title view in its bar.
#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/page_view_controller.h"
#include "platform/ui/controllers/transitions_in_flight.h"
#include "platform/ui/controls/segmented_control.h"
#include "platform/ui/screen/screen_driver.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

// Logs its appearance callbacks as "<name> <callback>".
class Page : public ViewController {
public:
    static std::shared_ptr<Page> create(std::string name, std::vector<std::string>& log) {
        auto page = make<Page>();
        page->m_name = std::move(name);
        page->m_log = &log;
        return page;
    }
    void viewWillAppear(bool) override { m_log->push_back(m_name + " willAppear"); }
    void viewDidAppear(bool) override { m_log->push_back(m_name + " didAppear"); }
    void viewWillDisappear(bool) override { m_log->push_back(m_name + " willDisappear"); }
    void viewDidDisappear(bool) override { m_log->push_back(m_name + " didDisappear"); }

private:
    std::string m_name;
    std::vector<std::string>* m_log = nullptr;  // the test's, which outlives its pages
};

class PageViewControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        log.clear();
    }
    // Whether `view` is in the window, under the pages' view.
    bool shows(const std::shared_ptr<ViewController>& page) const {
        return page->isViewLoaded() && page->view()->superview() == pages->view() && page->view()->window();
    }

    dispatch::ScopedMainRunLoop loop;
    std::vector<std::string> log;
    std::shared_ptr<Page> files = Page::create("files", log);
    std::shared_ptr<Page> address = Page::create("address", log);
    std::shared_ptr<PageViewController> pages = [this] {
        auto made = PageViewController::create();
        made->setViewControllers({files}, PageViewController::NavigationDirection::forward, false);
        return made;
    }();
    std::shared_ptr<NavigationController> navigation = NavigationController::create(pages);
    std::shared_ptr<Window> window = Window::create(Rect(0, 0, 390, 844));
};

TEST_F(PageViewControllerTest, ThePageSetBeforeTheViewLoadsFillsIt) {
    ASSERT_TRUE(shows(files));
    EXPECT_EQ(files->view()->frame(), pages->view()->bounds());
    EXPECT_EQ(files->appearanceState(), ViewController::AppearanceState::appeared);
    EXPECT_EQ(files->parent(), pages);
}

TEST_F(PageViewControllerTest, AnAnimatedChangeShowsTheNewPageAndLetsTheOldOneGoWhenItEnds) {
    bool completed = false;
    pages->setViewControllers({address}, PageViewController::NavigationDirection::forward, true,
                              [&](bool finished) { completed = finished; });
    EXPECT_TRUE(shows(address));
    EXPECT_EQ(TransitionsInFlight::count(), 1);
    EXPECT_FALSE(completed);
    loop.advanceSeconds(ViewController::transitionDuration);
    EXPECT_TRUE(completed);
    EXPECT_FALSE(shows(files));
    EXPECT_EQ(files->parent(), nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"files willDisappear", "address willAppear", "files didDisappear",
                                             "address didAppear"}));
    // And back at once.
    log.clear();
    pages->setViewControllers({files}, PageViewController::NavigationDirection::reverse, false);
    EXPECT_TRUE(shows(files));
    EXPECT_FALSE(shows(address));
    EXPECT_EQ(log, (std::vector<std::string>{"address willDisappear", "files willAppear", "address didDisappear",
                                             "files didAppear"}));
}

TEST_F(PageViewControllerTest, TheTitleViewSitsCentredInTheBarAboveThePageAndTakesTouches) {
    auto segments = SegmentedControl::create({"Play External File", "Play URL"});
    segments->setSelectedSegmentIndex(0);
    int changes = 0;
    segments->addTarget(
        nullptr, [&](Control&) { ++changes; }, valueChanged);
    pages->navigationItem()->setTitleView(segments);
    window->layoutIfNeeded();
    ASSERT_EQ(segments->superview(), navigation->view());
    EXPECT_EQ(navigation->view()->subviews().back(), segments);
    const Size size = segments->intrinsicContentSize();
    EXPECT_EQ(segments->frame(), Rect((390 - size.width) / 2, (NavigationController::barHeight - size.height) / 2,
                                      size.width, size.height));
    // Printed with the screen, and a touch on a segment reaches it.
    ScreenDriver driver(window);
    EXPECT_NE(driver.screen().find("SegmentedControl #"), std::string::npos);
    ASSERT_TRUE(driver.chooseSegment("Play External File", "Play URL").ok()) << driver.screen();
    EXPECT_EQ(segments->selectedSegmentIndex(), 1);
    EXPECT_EQ(changes, 1);

    // Another screen on top has no title view: it leaves the bar; it comes back with its screen.
    auto next = Page::create("next", log);
    navigation->pushViewController(next, false);
    EXPECT_EQ(segments->superview(), nullptr);
    navigation->popViewController(false);
    EXPECT_EQ(segments->superview(), navigation->view());
    // A hidden bar shows none; a title view set while shown replaces the one in the bar.
    navigation->setNavigationBarHidden(true);
    EXPECT_EQ(segments->superview(), nullptr);
    navigation->setNavigationBarHidden(false);
    auto other = SegmentedControl::create({"A", "B"});
    pages->navigationItem()->setTitleView(other);
    EXPECT_EQ(segments->superview(), nullptr);
    EXPECT_EQ(other->superview(), navigation->view());
}

}  // namespace
}  // namespace ui
