// A list driven through its printed screen: cells by their text, scrolling by swipes, the
// context menu by a long press, drag and drop between cells.
#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/controls/context_menu_configuration.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/lists/collection_view_diffable_data_source.h"
#include "platform/ui/screen/screen_driver.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

using Snapshot = DiffableDataSourceSnapshot<int, int>;
using DataSource = CollectionViewDiffableDataSource<int, int>;

// Offers "Delete" on a long press and moves dropped videos, logging what the user did.
class Library : public CollectionViewDelegate, public CollectionViewDragDelegate, public CollectionViewDropDelegate {
public:
    std::shared_ptr<ContextMenuConfiguration> contextMenuConfiguration(CollectionView&,
                                                                       const std::vector<IndexPath>& items,
                                                                       Point) override {
        const int item = items.front().item;
        return ContextMenuConfiguration::create(item, nullptr, [this, item](const auto&) {
            const std::vector<std::shared_ptr<MenuElement>> actions{
                Action::create("Delete", [this, item](Action&) { log.push_back("delete " + std::to_string(item)); })};
            return Menu::create(actions);
        });
    }
    std::vector<DragItem> itemsForBeginning(CollectionView&, DragSession&, const IndexPath& indexPath) override {
        return {DragItem{indexPath.item, {"public.movie"}}};
    }
    DropProposal dropSessionDidUpdate(CollectionView&, DragSession&, const std::optional<IndexPath>&) override {
        return {DropProposal::Operation::move, DropProposal::Intent::insertIntoDestinationIndexPath};
    }
    std::shared_ptr<TargetedPreview> previewForHighlightingContextMenu(
        CollectionView& view, const ContextMenuConfiguration& configuration) override {
        return preview(view, configuration, "lift ");
    }
    std::shared_ptr<TargetedPreview> previewForDismissingContextMenu(
        CollectionView& view, const ContextMenuConfiguration& configuration) override {
        return preview(view, configuration, "set down ");
    }
    std::shared_ptr<TargetedPreview> preview(CollectionView& view, const ContextMenuConfiguration& configuration,
                                             const std::string& what) {
        const int item = std::any_cast<int>(configuration.identifier());
        previews.push_back(what + std::to_string(item));
        return TargetedPreview::create(view.cellAt({0, item}), {Color::clear(), std::nullopt});
    }
    std::optional<PreviewParameters> dragPreviewParameters(CollectionView&, const IndexPath&) override {
        return PreviewParameters{Color::clear(), BezierPath::roundedRect(Rect(0, 0, 100, 60), 15)};
    }
    void performDrop(CollectionView&, const DropCoordinator& coordinator) override {
        if (const auto& lifted = coordinator.session->previewParameters; lifted && lifted->visiblePath)
            previews.push_back("lifted " + std::to_string(lifted->visiblePath->bounds().size.width));
        log.push_back("drop " + std::to_string(std::any_cast<int>(coordinator.session->items().front().localObject)) +
                      " on " + std::to_string(coordinator.destinationIndexPath->item));
    }
    std::vector<std::string> log;
    std::vector<std::string> previews;
};

class ScreenDriverListTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto root = ViewController::create();
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        list = CollectionView::create(Rect(0, 0, 390, 844),
                                      CompositionalLayout::createList(CollectionLayoutSection::ListAppearance::plain));
        list->registerCell("cell", [] { return CollectionViewCell::create(); });
        source = DataSource::create(list, [](CollectionView& v, const IndexPath& p, const int& item) {
            auto cell = v.dequeueCell("cell", p);
            ListContentConfiguration content;
            content.text = "Video " + std::to_string(item);
            cell->setContentConfiguration(content);
            return cell;
        });
        list->setDelegate(library);
        list->setDragDelegate(library);
        list->setDropDelegate(library);
        root->view()->addSubview(list);
        Snapshot snapshot;
        snapshot.appendSections({0});
        std::vector<int> items;
        for (int i = 0; i < 100; ++i) items.push_back(i);
        snapshot.appendItems(items, 0);
        source->apply(snapshot, false);
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<Window> window = Window::create(Rect(0, 0, 390, 844));
    std::shared_ptr<CollectionView> list;
    std::shared_ptr<DataSource> source;
    std::shared_ptr<Library> library = std::make_shared<Library>();
    ScreenDriver driver{window};
};

TEST_F(ScreenDriverListTest, CellsAreNamedByTheirTextSelectedByATouchAndScrolledBySwipes) {
    std::string screen = driver.screen();
    ASSERT_NE(screen.find("CollectionView #1 0,0 390x844 offset 0,0 content 390x"), std::string::npos) << screen;
    ASSERT_NE(screen.find("CollectionViewCell #2 0,0 390x"), std::string::npos) << screen;
    EXPECT_NE(screen.find("[0,0] \"Video 0\""), std::string::npos) << screen;
    EXPECT_EQ(screen.find("\"Video 60\""), std::string::npos) << screen;  // far below: no cell

    ASSERT_TRUE(driver.tap("Video 3"));
    EXPECT_NE(driver.screen().find("[0,3] selected \"Video 3\""), std::string::npos) << driver.screen();
    EXPECT_EQ(list->selectedIndexPaths(), std::vector<IndexPath>{IndexPath({0, 3})});

    ASSERT_TRUE(driver.swipe("#1", ScreenDriver::Direction::up));
    ASSERT_TRUE(driver.swipe("#1", ScreenDriver::Direction::up));
    screen = driver.screen();
    EXPECT_GT(list->contentOffset().y, 500);
    EXPECT_EQ(screen.find("\"Video 0\""), std::string::npos) << screen;  // scrolled away
    EXPECT_NE(screen.find("offset 0," + formatNumber(list->contentOffset().y) + " "), std::string::npos) << screen;
}

TEST_F(ScreenDriverListTest, ALongPressOpensTheContextMenuAndDragAndDropReachesTheDropDelegate) {
    ASSERT_TRUE(driver.longPress("Video 2"));
    const std::string screen = driver.screen();
    EXPECT_NE(screen.find("  Menu anchor #4\n    MenuAction #"), std::string::npos) << screen;
    ASSERT_TRUE(driver.choose("Delete"));
    EXPECT_EQ(window->presentedMenu(), nullptr);
    ASSERT_TRUE(driver.dragAndDrop("Video 5", "Video 1"));
    EXPECT_EQ(library->log, (std::vector<std::string>{"delete 2", "drop 5 on 1"}));
}

TEST_F(ScreenDriverListTest, TheListRecordsThePreviewsItsDelegateGives) {
    ASSERT_TRUE(driver.longPress("Video 2"));
    auto lifted = list->contextMenuHighlightPreview();
    ASSERT_NE(lifted, nullptr);
    EXPECT_EQ(lifted->view(), list->cellAt({0, 2}));
    EXPECT_EQ(lifted->parameters().backgroundColor, Color::clear());
    EXPECT_EQ(list->contextMenuDismissPreview(), nullptr);  // still open
    ASSERT_TRUE(driver.choose("Delete"));
    ASSERT_NE(list->contextMenuDismissPreview(), nullptr);
    ASSERT_TRUE(driver.dragAndDrop("Video 5", "Video 1"));
    EXPECT_EQ(library->previews, (std::vector<std::string>{"lift 2", "set down 2", "lifted 100.000000"}));
}

}  // namespace
}  // namespace ui
