#include <gtest/gtest.h>

#include "platform/base/fatal.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/lists/collection_view_diffable_data_source.h"
#include "platform/ui/lists/table_view_diffable_data_source.h"

namespace ui {
namespace {

using Snapshot = DiffableDataSourceSnapshot<std::string, int>;
using DataSource = CollectionViewDiffableDataSource<std::string, int>;

// Records what the collection view tells its delegate.
class Recorder : public CollectionViewDelegate {
public:
    bool shouldSelectItem(CollectionView&, const IndexPath& p) override { return p.item != refused; }
    void didSelectItem(CollectionView&, const IndexPath& p) override { events.push_back("select " + text(p)); }
    void didDeselectItem(CollectionView&, const IndexPath& p) override { events.push_back("deselect " + text(p)); }
    void willDisplayCell(CollectionView&, CollectionViewCell&, const IndexPath&) override { ++displayed; }
    void didEndDisplayingCell(CollectionView&, CollectionViewCell&, const IndexPath&) override { ++ended; }
    static std::string text(const IndexPath& p) { return std::to_string(p.section) + "." + std::to_string(p.item); }

    std::vector<std::string> events;
    int displayed = 0;
    int ended = 0;
    int refused = -1;
};

class CollectionViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        view = CollectionView::create(Rect(0, 0, 390, 800),
                                      CompositionalLayout::createList(CollectionLayoutSection::ListAppearance::plain));
        view->registerCell("cell", [] { return CollectionViewCell::create(); });
        source = DataSource::create(view, [this](CollectionView& v, const IndexPath& p, const int& item) {
            ++cellsMade;
            auto cell = v.dequeueCell("cell", p);
            cell->setAccessibilityIdentifier(std::to_string(item));
            return cell;
        });
        delegate = std::make_shared<Recorder>();
        view->setDelegate(delegate);
    }

    static Snapshot make(const std::vector<std::pair<std::string, std::vector<int>>>& sections) {
        Snapshot snapshot;
        for (const auto& [id, items] : sections) {
            snapshot.appendSections({id});
            snapshot.appendItems(items, id);
        }
        return snapshot;
    }

    std::vector<std::string> shown() const {
        std::vector<std::string> ids;
        for (const auto& cell : view->visibleCells()) ids.push_back(cell->accessibilityIdentifier());
        return ids;
    }

    std::shared_ptr<CollectionView> view;
    std::shared_ptr<DataSource> source;
    std::shared_ptr<Recorder> delegate;
    int cellsMade = 0;
};

TEST_F(CollectionViewTest, SnapshotKeepsSectionsAndItemsInOrder) {
    auto snapshot = make({{"a", {1, 2}}, {"b", {3}}});
    snapshot.insertItemsBefore({9}, 2);
    snapshot.moveItemAfter(1, 3);
    EXPECT_EQ(snapshot.itemIdentifiers(), (std::vector<int>{9, 2, 3, 1}));
    EXPECT_EQ(snapshot.itemIdentifiers("b"), (std::vector<int>{3, 1}));
    EXPECT_EQ(snapshot.indexOfItem(1), 3);
    EXPECT_EQ(snapshot.sectionIdentifier(1), "b");
    snapshot.deleteSections({"a"});
    EXPECT_EQ(snapshot.itemIdentifiers(), (std::vector<int>{3, 1}));
    EXPECT_FALSE(snapshot.contains(9));
}

TEST_F(CollectionViewTest, DuplicateItemsAndItemsWithoutSectionsAreFatal) {
    base::ScopedFatalThrows throws;
    Snapshot snapshot;
    EXPECT_THROW(snapshot.appendItems({1}), base::FatalError);
    snapshot.appendSections({"a"});
    snapshot.appendItems({1});
    EXPECT_THROW(snapshot.appendItems({1}), base::FatalError);
    EXPECT_THROW(snapshot.appendSections({"a"}), base::FatalError);
}

TEST_F(CollectionViewTest, ApplyingKeepsCellsOfItemsThatStayAndAsksForNewOnes) {
    source->apply(make({{"main", {1, 2, 3}}}), false);
    EXPECT_EQ(shown(), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(cellsMade, 3);
    auto cellOf2 = view->cellAt({0, 1});
    source->apply(make({{"main", {2, 4, 3}}}));
    EXPECT_EQ(shown(), (std::vector<std::string>{"2", "4", "3"}));
    EXPECT_EQ(cellsMade, 4);  // only 4 is new
    EXPECT_EQ(view->cellAt({0, 0}), cellOf2);
    const auto& difference = source->lastDifference();
    EXPECT_EQ(difference.deleted, (std::vector<IndexPath>{{0, 0}}));
    EXPECT_EQ(difference.inserted, (std::vector<IndexPath>{{0, 1}}));
    EXPECT_TRUE(difference.moved.empty());
    EXPECT_EQ(delegate->ended, 1);
}

TEST_F(CollectionViewTest, DifferenceFindsTheFewestMoves) {
    source->apply(make({{"main", {1, 2, 3, 4, 5}}}), false);
    source->apply(make({{"main", {5, 1, 2, 3, 4}}}));
    const auto& difference = source->lastDifference();
    ASSERT_EQ(difference.moved.size(), 1u);
    EXPECT_EQ(difference.moved[0], (std::pair<IndexPath, IndexPath>{{0, 4}, {0, 0}}));
    EXPECT_TRUE(difference.deleted.empty());
    EXPECT_TRUE(difference.inserted.empty());
}

TEST_F(CollectionViewTest, ReloadedItemsGetNewCellsAndMarksDoNotStick) {
    source->apply(make({{"main", {1, 2}}}), false);
    auto snapshot = source->snapshot();
    snapshot.reloadItems({2});
    source->apply(snapshot);
    EXPECT_EQ(cellsMade, 3);
    EXPECT_EQ(source->lastDifference().reloaded, (std::vector<IndexPath>{{0, 1}}));
    source->apply(source->snapshot());
    EXPECT_EQ(cellsMade, 3);
    EXPECT_TRUE(source->lastDifference().empty());
}

TEST_F(CollectionViewTest, DeletingAMarkedItemOrSectionDropsItsMark) {
    source->apply(make({{"main", {1, 2, 3}}, {"more", {4}}}), false);
    auto snapshot = source->snapshot();
    snapshot.reloadItems({2, 3});
    snapshot.reconfigureItems({2});
    snapshot.deleteItems({2});
    snapshot.moveItemBefore(3, 1);  // a moved item keeps its mark
    EXPECT_EQ(snapshot.reloadedItemIdentifiers(), (std::vector<int>{3}));
    EXPECT_TRUE(snapshot.reconfiguredItemIdentifiers().empty());
    source->apply(snapshot);
    EXPECT_EQ(source->lastDifference().reloaded, (std::vector<IndexPath>{{0, 0}}));

    snapshot = source->snapshot();
    snapshot.reloadSections({"more"});
    snapshot.deleteSections({"more"});
    EXPECT_TRUE(snapshot.reloadedItemIdentifiers().empty());
    source->apply(snapshot);
    EXPECT_TRUE(source->lastDifference().reloaded.empty());
    EXPECT_EQ(view->numberOfSections(), 1);
}

TEST_F(CollectionViewTest, ItemsAreToldApartByHashAndEquality) {
    struct Entry {
        int id;
        std::string name;
    };
    struct ById {
        size_t operator()(const Entry& e) const { return std::hash<int>()(e.id); }
    };
    struct Same {
        bool operator()(const Entry& a, const Entry& b) const { return a.id == b.id && a.name == b.name; }
    };
    DiffableDataSourceSnapshot<int, Entry, ById, Same> before, after;
    before.appendSections({0});
    before.appendItems({{1, "a"}, {2, "b"}});
    after.appendSections({0});
    after.appendItems({{1, "renamed"}, {2, "b"}});
    EXPECT_FALSE(after.contains({1, "a"}));  // same hash, not equal: another item
    EXPECT_TRUE(after.contains({2, "b"}));
}

TEST_F(CollectionViewTest, SelectionFollowsItemsAcrossSnapshots) {
    source->apply(make({{"main", {1, 2, 3}}}), false);
    view->setAllowsMultipleSelection(true);
    EXPECT_TRUE(view->tapItem({0, 0}));
    EXPECT_TRUE(view->tapItem({0, 2}));
    EXPECT_TRUE(view->cellAt({0, 2})->isSelected());
    source->apply(make({{"main", {3, 2}}}));  // 1 goes, 3 moves to the front
    EXPECT_EQ(view->selectedIndexPaths(), (std::vector<IndexPath>{{0, 0}}));
    EXPECT_TRUE(view->cellAt({0, 0})->isSelected());
    EXPECT_FALSE(view->cellAt({0, 1})->isSelected());
}

TEST_F(CollectionViewTest, SingleAndMultipleSelectionAsTheUserSeesThem) {
    source->apply(make({{"main", {1, 2, 3}}}), false);
    view->tapItem({0, 0});
    view->tapItem({0, 1});
    EXPECT_EQ(view->selectedIndexPaths(), (std::vector<IndexPath>{{0, 1}}));
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"select 0.0", "deselect 0.0", "select 0.1"}));
    delegate->events.clear();
    view->setAllowsMultipleSelection(true);
    view->tapItem({0, 2});
    view->tapItem({0, 1});  // a second tap deselects
    EXPECT_EQ(view->selectedIndexPaths(), (std::vector<IndexPath>{{0, 2}}));
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"select 0.2", "deselect 0.1"}));
    delegate->refused = 0;
    EXPECT_FALSE(view->tapItem({0, 0}));
    view->selectItem({0, 0});  // programmatic: no delegate call
    EXPECT_EQ(delegate->events.size(), 2u);
    view->selectItem({0, -1});  // index paths outside the list select nothing
    view->selectItem({-1, 0});
    view->selectItem({0, 3});
    EXPECT_EQ(view->selectedIndexPaths(), (std::vector<IndexPath>{{0, 0}, {0, 2}}));
    view->setAllowsSelection(false);
    EXPECT_TRUE(view->selectedIndexPaths().empty());
}

TEST_F(CollectionViewTest, CellsAreReusedAfterReload) {
    source->apply(make({{"main", {1, 2}}}), false);
    auto first = view->cellAt({0, 0});
    source->applySnapshotUsingReloadData(make({{"main", {7, 8}}}));
    EXPECT_EQ(shown(), (std::vector<std::string>{"7", "8"}));
    EXPECT_GE(first->reuseCount(), 1);
    EXPECT_EQ(view->numberOfItems(0), 2);
}

TEST_F(CollectionViewTest, UnregisteredIdentifierIsFatal) {
    base::ScopedFatalThrows throws;
    EXPECT_THROW(view->dequeueCell("missing", {0, 0}), base::FatalError);
}

TEST_F(CollectionViewTest, SectionSnapshotShowsChildrenOfExpandedItems) {
    SectionSnapshot<int> tree;
    tree.append({1, 2});
    tree.append({10, 11}, 1);
    tree.append({100}, 10);
    EXPECT_EQ(tree.visibleItems(), (std::vector<int>{1, 2}));
    tree.expand({1});
    EXPECT_EQ(tree.visibleItems(), (std::vector<int>{1, 10, 11, 2}));
    EXPECT_EQ(tree.level(100), 2);
    source->apply(tree, "main", false);
    EXPECT_EQ(shown(), (std::vector<std::string>{"1", "10", "11", "2"}));
    source->toggleExpansion(10, "main");
    EXPECT_EQ(shown(), (std::vector<std::string>{"1", "10", "100", "11", "2"}));
    source->toggleExpansion(1, "main");
    EXPECT_EQ(shown(), (std::vector<std::string>{"1", "2"}));
    tree.deleteItems({1});
    EXPECT_EQ(tree.items(), (std::vector<int>{2}));
}

// Notes what it hears, with the counts the view knew at that moment.
class ReloadListener : public ItemListViewObserver {
public:
    void listViewWillReload(ItemListView& view) override { heard.push_back("reload " + counts(view)); }
    void listViewDidEndUpdates(ItemListView& view) override { heard.push_back("updates " + counts(view)); }
    static std::string counts(ItemListView& view) {
        return std::to_string(view.numberOfSections() ? view.numberOfItems(0) : -1);
    }
    std::vector<std::string> heard;
};

TEST_F(CollectionViewTest, ObserversHearReloadsBeforeTheyRunUntilTheyGo) {
    source->apply(make({{"main", {1}}}), false);
    auto listener = std::make_shared<ReloadListener>();
    auto other = std::make_shared<ReloadListener>();
    view->addObserver(listener);
    view->addObserver(listener);  // once only
    view->addObserver(other);
    source->applySnapshotUsingReloadData(make({{"main", {1, 2}}}));
    EXPECT_EQ(listener->heard, (std::vector<std::string>{"reload 1"}));
    source->apply(make({{"main", {2}}}));  // updates are not reloads
    EXPECT_EQ(listener->heard.size(), 1u);
    view->removeObserver(*listener);
    other.reset();  // held weakly: gone without unsubscribing
    view->reloadData();
    EXPECT_EQ(listener->heard.size(), 1u);

    auto table = TableView::create(Rect(0, 0, 320, 480));
    table->addObserver(listener);
    table->reloadData();
    table->beginUpdates();
    table->beginUpdates();
    table->endUpdates();
    EXPECT_EQ(listener->heard.size(), 2u);  // only the outermost end counts
    table->endUpdates();
    EXPECT_EQ(listener->heard, (std::vector<std::string>{"reload 1", "reload -1", "updates -1"}));
}

class Dragging : public CollectionViewDragDelegate, public CollectionViewDropDelegate {
public:
    std::vector<DragItem> itemsForBeginning(CollectionView&, DragSession&, const IndexPath& p) override {
        return {{std::any(p.item), {"public.movie"}}};
    }
    DropProposal dropSessionDidUpdate(CollectionView&, DragSession& session,
                                      const std::optional<IndexPath>& to) override {
        if (!to || !session.isLocal) return {DropProposal::Operation::forbidden, DropProposal::Intent::unspecified};
        return {DropProposal::Operation::move, DropProposal::Intent::insertIntoDestinationIndexPath};
    }
    void performDrop(CollectionView&, const DropCoordinator& coordinator) override { drops.push_back(coordinator); }
    std::vector<DropCoordinator> drops;
};

TEST_F(CollectionViewTest, DragAndDropAskTheDelegates) {
    source->apply(make({{"main", {1, 2}}}), false);
    auto dragging = std::make_shared<Dragging>();
    view->setDragDelegate(dragging);
    view->setDropDelegate(dragging);
    auto session = view->drag(IndexPath{0, 0});
    ASSERT_NE(session, nullptr);
    EXPECT_TRUE(session->hasItemsConforming("public.movie"));
    EXPECT_FALSE(view->drop(session, std::nullopt));
    EXPECT_TRUE(view->drop(session, IndexPath{0, 1}));
    ASSERT_EQ(dragging->drops.size(), 1u);
    EXPECT_EQ(dragging->drops[0].proposal.intent, DropProposal::Intent::insertIntoDestinationIndexPath);
}

TEST(TableViewTest, DiffableRowsTitlesAndSelection) {
    auto table = TableView::create(Rect(0, 0, 390, 600), TableViewStyle::insetGrouped);
    table->registerCell("row", [] { return TableViewCell::create(TableViewCellStyle::value1); });
    auto source = TableViewDiffableDataSource<int, std::string>::create(
        table, [](TableView& t, const IndexPath& p, const std::string& item) {
            auto cell = t.dequeueReusableCell("row", p);
            cell->textLabel()->setText(item);
            return cell;
        });
    source->headerTitleProvider = [](TableView&, int section) {
        return std::optional<std::string>(section ? "B" : "A");
    };
    DiffableDataSourceSnapshot<int, std::string> snapshot;
    snapshot.appendSections({0, 1});
    snapshot.appendItems({"English", "French"}, 0);
    snapshot.appendItems({"Clear"}, 1);
    source->apply(snapshot, false);
    EXPECT_EQ(table->numberOfSections(), 2);
    EXPECT_EQ(table->cellForRow({1, 0})->textLabel()->text(), "Clear");
    EXPECT_EQ(table->headerTitle(1), "B");
    EXPECT_TRUE(table->tapRow({0, 1}));
    EXPECT_EQ(table->selectedIndexPaths(), (std::vector<IndexPath>{{0, 1}}));
    EXPECT_EQ(table->cellForRow({0, 0})->detailTextLabel() != nullptr, true);
}

}  // namespace
}  // namespace ui
