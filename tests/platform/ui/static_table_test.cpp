#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/base/fatal.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/controllers/table_view_controller.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

// A static screen whose code hides one row, records its calls and may refuse highlights.
class StaticScreen : public TableViewController {
public:
    static std::shared_ptr<StaticScreen> create() { return make<StaticScreen>(); }

    int numberOfRows(TableView& table, int section) override {
        const int count = TableViewController::numberOfRows(table, section);
        return section == 1 && hideLastRow ? count - 1 : count;
    }
    std::optional<std::string> titleForFooter(TableView& table, int section) override {
        const auto footer = TableViewController::titleForFooter(table, section);
        return section == 1 ? std::optional<std::string>(footer.value_or("") + " (seen)") : footer;
    }
    bool shouldHighlightRow(TableView&, const IndexPath& indexPath) override {
        calls.push_back("highlight " + std::to_string(indexPath.item));
        return highlights;
    }
    void didSelectRow(TableView& table, const IndexPath& indexPath) override {
        table.deselectRow(indexPath);
        calls.push_back("select " + std::to_string(indexPath.section) + "." + std::to_string(indexPath.item));
    }
    void prepareForSegue(StoryboardSegue& segue, const std::shared_ptr<Object>& sender) override {
        calls.push_back("prepare " + segue.identifier);
        senders.push_back(sender);
    }

    bool hideLastRow = false;
    bool highlights = true;
    std::vector<std::string> calls;
    std::vector<std::shared_ptr<Object>> senders;

protected:
    StaticScreen() : TableViewController(TableViewStyle::insetGrouped) {}
};

StaticTableSection section(int rows, std::optional<std::string> header, std::optional<std::string> footer) {
    StaticTableSection made;
    for (int row = 0; row < rows; ++row) made.rows.push_back({TableViewCell::create(), std::nullopt, std::nullopt});
    made.headerTitle = std::move(header);
    made.footerTitle = std::move(footer);
    return made;
}

class StaticTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        Storyboard::registerController("Static", "screen", [] {
            auto screen = StaticScreen::create();
            auto first = section(1, "STORAGE", std::nullopt);
            first.rows[0].segue = "details";
            first.rows[0].height = 60;
            auto second = section(3, "PLAYBACK", "About playback");
            second.footerHeight = 40;
            screen->setStaticSections({first, second});
            return screen;
        });
        Storyboard::registerController("Static", "details", [] { return ViewController::create(); });
        Storyboard::registerSegue("Static", "details", "details", StoryboardSegue::Kind::show);
        screen = Storyboard::named("Static")->instantiate<StaticScreen>("screen");
        navigation = NavigationController::create(screen);
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        table = screen->tableView();
        table->reloadData();
        table->layoutIfNeeded();
    }
    void TearDown() override { Storyboard::unregisterStoryboard("Static"); }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<Window> window = Window::create(Rect(0, 0, 390, 844));
    std::shared_ptr<StaticScreen> screen;
    std::shared_ptr<NavigationController> navigation;
    std::shared_ptr<TableView> table;
};

TEST_F(StaticTableTest, TheTableShowsTheStaticSectionsWhereTheCodeDoesNotChangeThem) {
    ASSERT_EQ(table->numberOfSections(), 2);
    EXPECT_EQ(table->numberOfItems(0), 1);
    EXPECT_EQ(table->numberOfItems(1), 3);
    EXPECT_EQ(table->cellForRow({1, 2}), screen->staticSections()[1].rows[2].cell);
    EXPECT_EQ(table->headerTitle(0), "STORAGE");
    EXPECT_EQ(table->footerTitle(0), std::nullopt);
    EXPECT_EQ(table->footerTitle(1), "About playback (seen)");
    EXPECT_EQ(table->frameForItem({0, 0})->size.height, 60);
    EXPECT_EQ(table->frameForItem({1, 0})->size.height, table->rowHeight());

    screen->hideLastRow = true;
    table->reloadData();
    EXPECT_EQ(table->numberOfItems(1), 2);
}

TEST_F(StaticTableTest, ARowWithASeguePerformsItAfterTheSelectionWithItsCellAsSender) {
    ASSERT_TRUE(table->tapRow({0, 0}));
    EXPECT_EQ(screen->calls, (std::vector<std::string>{"highlight 0", "select 0.0", "prepare details"}));
    ASSERT_EQ(screen->senders.size(), 1u);
    EXPECT_EQ(screen->senders[0], table->cellForRow({0, 0}));
    EXPECT_EQ(navigation->viewControllers().size(), 2u);

    screen->calls.clear();
    navigation->popViewController(false);
    table->tapRow({1, 1});  // no segue: only the selection
    EXPECT_EQ(screen->calls, (std::vector<std::string>{"highlight 1", "select 1.1"}));
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
}

TEST_F(StaticTableTest, ARowThatMayNotHighlightIsNotSelected) {
    screen->highlights = false;
    EXPECT_FALSE(table->tapRow({0, 0}));
    EXPECT_EQ(screen->calls, (std::vector<std::string>{"highlight 0"}));
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
}

TEST_F(StaticTableTest, AskingForARowTheStaticTableLacksIsAProgrammingError) {
    base::ScopedFatalThrows throws;
    EXPECT_THROW(screen->cellForRow(*table, {1, 3}), base::FatalError);
    EXPECT_THROW(screen->cellForRow(*table, {2, 0}), base::FatalError);
}

TEST(StaticTableDefaultsTest, AControllerWithoutStaticSectionsKeepsAnEmptyTable) {
    auto plain = TableViewController::create();
    auto table = plain->tableView();
    table->reloadData();
    EXPECT_EQ(table->numberOfSections(), 1);
    EXPECT_EQ(table->numberOfItems(0), 0);
    EXPECT_EQ(table->headerTitle(0), std::nullopt);
}

TEST(PresentedNavigationTest, ItsRootDismissesTheWholeNavigationController) {
    dispatch::ScopedMainRunLoop loop;
    auto window = Window::create(Rect(0, 0, 390, 844));
    auto root = ViewController::create();
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    auto picker = ViewController::create();
    auto navigation = NavigationController::create(picker);
    root->present(navigation, false);
    ASSERT_EQ(root->presentedViewController(), navigation);
    bool completed = false;
    picker->dismiss(false, [&] { completed = true; });
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_TRUE(completed);
}

}  // namespace
}  // namespace ui
