// Which cells a list keeps: only those in view (plus a margin), following the content offset,
// reused as they leave; taps reach the cell under the finger; pinned headers stay in view.
#include <gtest/gtest.h>

#include <set>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/lists/collection_view_diffable_data_source.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

using Snapshot = DiffableDataSourceSnapshot<int, int>;
using DataSource = CollectionViewDiffableDataSource<int, int>;

class Counter : public CollectionViewDelegate {
public:
    void willDisplayCell(CollectionView&, CollectionViewCell&, const IndexPath& p) override {
        ++displayed;
        told.insert(p);
    }
    void didEndDisplayingCell(CollectionView&, CollectionViewCell&, const IndexPath& p) override {
        ++ended;
        told.erase(p);
    }
    void didSelectItem(CollectionView&, const IndexPath& p) override { selected.push_back(p); }
    int displayed = 0;
    int ended = 0;
    std::set<IndexPath> told;  // what the delegate believes is on screen
    std::vector<IndexPath> selected;
};

class ListDisplayTest : public ::testing::Test {
protected:
    void makeList(const Rect& frame, std::shared_ptr<CollectionViewLayout> layout) {
        view = CollectionView::create(frame, std::move(layout));
        view->registerCell("cell", [this] {
            ++cellsMade;
            return CollectionViewCell::create();
        });
        view->registerSupplementary(CollectionView::elementKindSectionHeader, "header",
                                    [] { return CollectionReusableView::create(); });
        source = DataSource::create(view, [](CollectionView& v, const IndexPath& p, const int& item) {
            auto cell = v.dequeueCell("cell", p);
            cell->setTag(item);
            return cell;
        });
        source->supplementaryViewProvider = [](CollectionView& v, const std::string& kind, const IndexPath& p) {
            auto header = v.dequeueSupplementary(kind, "header", p);
            header->setTag(p.section);
            return header;
        };
        counter = std::make_shared<Counter>();
        view->setDelegate(counter);
    }

    static Snapshot items(int sections, int perSection) {
        Snapshot snapshot;
        for (int s = 0; s < sections; ++s) {
            snapshot.appendSections({s});
            std::vector<int> ids;
            for (int i = 0; i < perSection; ++i) ids.push_back(s * perSection + i);
            snapshot.appendItems(ids, s);
        }
        return snapshot;
    }

    std::vector<int> visibleTags() const {
        std::vector<int> tags;
        for (const auto& cell : view->visibleCells()) tags.push_back(cell->tag());
        return tags;
    }

    static std::vector<int> range(int first, int last) {
        std::vector<int> values;
        for (int i = first; i <= last; ++i) values.push_back(i);
        return values;
    }

    std::shared_ptr<CollectionView> view;
    std::shared_ptr<DataSource> source;
    std::shared_ptr<Counter> counter;
    int cellsMade = 0;
};

TEST_F(ListDisplayTest, TenThousandItemsKeepOnlyTheCellsInView) {
    makeList(Rect(0, 0, 390, 844), CompositionalLayout::createList(CollectionLayoutSection::ListAppearance::plain));
    source->apply(items(1, 10000), false);
    EXPECT_EQ(view->contentSize(), (Size{390, 440000}));
    // Rows of 44: rows 0 to 19 meet the 844 points shown and the 32-point margin below.
    EXPECT_EQ(visibleTags(), range(0, 19));
    EXPECT_EQ(cellsMade, 20);
    EXPECT_EQ(counter->displayed, 20);
    EXPECT_EQ(view->subviews().size(), 20u);

    EXPECT_TRUE(view->drag(Point{0, 5000}));
    // Shown: 5000 to 5844 is rows 113 to 132; kept ready: 4968 to 5876 adds rows 112 and 133.
    EXPECT_EQ(visibleTags(), range(113, 132));
    EXPECT_EQ(view->indexPathsForVisibleItems().front(), (IndexPath{0, 113}));
    EXPECT_NE(view->cellAt({0, 112}), nullptr);
    EXPECT_NE(view->cellAt({0, 133}), nullptr);
    EXPECT_EQ(view->cellAt({0, 0}), nullptr);
    // The two kept ready in the margin are not seen, so nobody was told of them.
    EXPECT_EQ(counter->ended, 20);
    EXPECT_EQ(counter->displayed, 20 + 20);
    const auto visible = view->indexPathsForVisibleItems();
    EXPECT_EQ(counter->told, std::set<IndexPath>(visible.begin(), visible.end()));
    // A small scroll brings the ready row 133 into view and row 113 out of it.
    view->setContentOffset({0, 5000 + 30});
    EXPECT_EQ(counter->told.count({0, 133}), 1u);
    EXPECT_EQ(counter->told.count({0, 113}), 0u);
    const auto after = view->indexPathsForVisibleItems();
    EXPECT_EQ(counter->told, std::set<IndexPath>(after.begin(), after.end()));
    view->setContentOffset({0, 5000});
    EXPECT_EQ(cellsMade, 22);  // the twenty that left were reused
    EXPECT_EQ(view->subviews().size(), 22u);
    EXPECT_EQ(view->cellAt({0, 120})->frame(), Rect(0, 120 * 44, 390, 44));
}

TEST_F(ListDisplayTest, ADragComesToRestInsideTheContent) {
    makeList(Rect(0, 0, 350, 400), CompositionalLayout::createList(CollectionLayoutSection::ListAppearance::plain));
    view->setContentInset({10, 0, 5, 0});
    source->apply(items(1, 15), false);  // 660 points of rows
    ASSERT_EQ(view->contentSize().height, 660);
    EXPECT_TRUE(view->drag(Point{0, 941}));
    EXPECT_EQ(view->contentOffset(), (Point{0, 660 + 5 - 400})) << "the last row rests at the bottom";
    EXPECT_TRUE(view->drag(Point{-30, -200}));
    EXPECT_EQ(view->contentOffset(), (Point{0, -10})) << "the first row rests under the top inset";
    source->apply(items(1, 3), false);  // shorter than the bounds
    EXPECT_TRUE(view->drag(Point{0, 100}));
    EXPECT_EQ(view->contentOffset(), (Point{0, -10}));
}

TEST_F(ListDisplayTest, ScrollingToAnItemMovesTheLeastThatShowsIt) {
    makeList(Rect(0, 0, 390, 844), CompositionalLayout::createList(CollectionLayoutSection::ListAppearance::plain));
    source->apply(items(1, 10000), false);
    view->scrollToItem({0, 500});  // below: it comes in at the bottom
    EXPECT_EQ(view->contentOffset(), (Point{0, 501 * 44 - 844}));
    EXPECT_EQ(view->indexPathsForVisibleItems().back(), (IndexPath{0, 500}));
    view->scrollToItem({0, 490});  // already in view: nothing moves
    EXPECT_EQ(view->contentOffset(), (Point{0, 501 * 44 - 844}));
    view->scrollToItem({0, 10});  // above: it comes in at the top
    EXPECT_EQ(view->contentOffset(), (Point{0, 440}));
    EXPECT_EQ(view->indexPathsForVisibleItems().front(), (IndexPath{0, 10}));
    view->scrollToItem({0, 20000});  // no such item
    EXPECT_EQ(view->contentOffset(), (Point{0, 440}));
}

TEST_F(ListDisplayTest, ScrollingBackAndForthReusesCells) {
    makeList(Rect(0, 0, 390, 440), CompositionalLayout::createList(CollectionLayoutSection::ListAppearance::plain));
    source->apply(items(1, 1000), false);
    auto first = view->cellAt({0, 0});
    for (int step = 1; step <= 20; ++step) view->setContentOffset({0, step * 22.0});
    for (int step = 19; step >= 0; --step) view->setContentOffset({0, step * 22.0});
    EXPECT_EQ(visibleTags(), range(0, 9));
    EXPECT_LE(cellsMade, 12 + 2);  // what a screen and its margins hold, not what was passed
    EXPECT_EQ(counter->displayed - counter->ended, static_cast<int>(view->indexPathsForVisibleItems().size()));
    int reused = 0;
    for (const auto& cell : view->visibleCells()) reused += cell->reuseCount();
    EXPECT_GT(reused, 0);
    EXPECT_FALSE(first->isSelected());
}

TEST_F(ListDisplayTest, SelectionSurvivesACellLeavingAndComingBack) {
    makeList(Rect(0, 0, 390, 440), CompositionalLayout::createList(CollectionLayoutSection::ListAppearance::plain));
    source->apply(items(1, 1000), false);
    view->selectItem({0, 1});
    view->setContentOffset({0, 4400});
    for (const auto& cell : view->visibleCells()) EXPECT_FALSE(cell->isSelected());  // reused, not selected
    view->setContentOffset({0, 0});
    EXPECT_TRUE(view->cellAt({0, 1})->isSelected());
    EXPECT_FALSE(view->cellAt({0, 2})->isSelected());
}

TEST_F(ListDisplayTest, ATapReachesTheCellUnderThePointAndSelectsItsItem) {
    dispatch::ScopedMainRunLoop loop;
    auto window = Window::create(Rect(0, 0, 390, 844));
    window->makeKeyAndVisible();
    auto grid = CompositionalLayout::create([](int, const CollectionLayoutEnvironment&) {
        CollectionLayoutSection section;
        section.itemSize = {LayoutDimension::fractionalWidth(1), LayoutDimension::fractionalHeight(1)};
        section.groupSize = {LayoutDimension::fractionalWidth(1), LayoutDimension::absolute(100)};
        section.itemsPerGroup = 2;
        section.interItemSpacing = 10;
        return std::optional<CollectionLayoutSection>(section);
    });
    makeList(Rect(0, 100, 390, 700), grid);
    window->addSubview(view);
    source->apply(items(1, 100), false);
    auto hit = window->tap({300, 350});  // 250 into the list: the third row, right column
    EXPECT_EQ(hit, view->cellAt({0, 5}));
    EXPECT_EQ(counter->selected, (std::vector<IndexPath>{{0, 5}}));
    EXPECT_EQ(window->tap({195, 150}), view);  // the gap between the columns is no item
    EXPECT_EQ(counter->selected.size(), 1u);

    view->drag(Point{0, 1000});
    hit = window->tap({50, 150});  // 1050 into the content: row 10, left column
    EXPECT_EQ(hit, view->cellAt({0, 20}));
    EXPECT_EQ(counter->selected.back(), (IndexPath{0, 20}));
    EXPECT_EQ(view->selectedIndexPaths(), (std::vector<IndexPath>{{0, 20}}));
    // A tap on the cell's content view is the cell's too.
    auto content = view->cellAt({0, 21})->contentView();
    EXPECT_EQ(window->tap({300, 150}), content);
    EXPECT_EQ(counter->selected.back(), (IndexPath{0, 21}));
}

TEST_F(ListDisplayTest, AListPinnedInAControllersViewLaysItsCellsOutInTheSolvedFrame) {
    dispatch::ScopedMainRunLoop loop;
    auto window = Window::create(Rect(0, 0, 390, 844));
    window->setSafeAreaInsets(EdgeInsets{47, 0, 34, 0});
    auto controller = ViewController::create();
    window->setRootViewController(controller);
    window->makeKeyAndVisible();
    std::vector<Size> asked;
    auto grid = CompositionalLayout::create([&](int, const CollectionLayoutEnvironment& environment) {
        asked.push_back(environment.effectiveContentSize);
        CollectionLayoutSection section;
        section.itemSize = {LayoutDimension::fractionalWidth(1), LayoutDimension::fractionalHeight(1)};
        section.groupSize = {LayoutDimension::fractionalWidth(1), LayoutDimension::absolute(100)};
        section.itemsPerGroup = environment.effectiveContentSize.width > 600 ? 3 : 2;
        section.interItemSpacing = 10;
        section.interGroupSpacing = 10;
        section.contentInsets = {10, 10, 10, 10};
        return std::optional<CollectionLayoutSection>(section);
    });
    makeList(Rect(), grid);
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    controller->view()->addSubview(view);
    auto root = controller->view();
    LayoutConstraint::activate({view->leadingAnchor().constraint(root->leadingAnchor()),
                                view->trailingAnchor().constraint(root->trailingAnchor()),
                                view->topAnchor().constraint(root->safeAreaLayoutGuide()->topAnchor()),
                                view->bottomAnchor().constraint(root->bottomAnchor())});
    source->apply(items(1, 50), false);
    EXPECT_TRUE(view->visibleCells().empty());  // no size yet
    loop.runUntilIdle();
    EXPECT_EQ(view->frame(), Rect(0, 47, 390, 797));
    EXPECT_EQ(asked.back(), (Size{390, 763}));  // less the home indicator's safe area
    EXPECT_EQ(view->cellAt({0, 1})->frame(), Rect(200, 10, 180, 100));
    EXPECT_EQ(window->tap({300, 47 + 60}), view->cellAt({0, 1}));
    EXPECT_EQ(counter->selected, (std::vector<IndexPath>{{0, 1}}));

    // Landscape: the safe area moves to the sides; the content rests inside it.
    window->setSafeAreaInsets(EdgeInsets{0, 47, 21, 47});
    window->transitionToSize({844, 390}, 0);
    loop.runUntilIdle();
    EXPECT_EQ(view->frame(), Rect(0, 0, 844, 390));
    EXPECT_EQ(asked.back(), (Size{750, 369}));
    EXPECT_EQ(view->contentOffset(), (Point{-47, 0}));
    EXPECT_EQ(view->cellAt({0, 2})->frame().minY(), 10);  // three columns now
    EXPECT_EQ(window->tap({47 + 20, 60}), view->cellAt({0, 0}));
}

TEST_F(ListDisplayTest, PinnedHeadersStayOnTopOfTheirSectionWhileItScrolls) {
    ListLayoutConfiguration configuration;
    configuration.headerMode = ListLayoutConfiguration::HeaderMode::supplementary;
    makeList(Rect(0, 0, 390, 400), CompositionalLayout::createList(configuration));
    source->apply(items(3, 30), false);  // sections of 28 + 30 * 44 = 1348 points
    const auto section = view->layoutSection(0);
    ASSERT_TRUE(section);
    const auto* boundary = section->boundaryItem(CollectionView::elementKindSectionHeader);
    ASSERT_NE(boundary, nullptr);
    EXPECT_TRUE(boundary->pinToVisibleBounds);
    EXPECT_EQ(boundary->zIndex, 1);
    EXPECT_EQ(boundary->layoutSize.height, LayoutDimension::estimated(28));

    auto header = [this](int section) {
        return view->visibleSupplementaryView(CollectionView::elementKindSectionHeader, section);
    };
    ASSERT_NE(header(0), nullptr);
    EXPECT_EQ(header(0)->frame(), Rect(0, 0, 390, 28));

    view->setContentOffset({0, 1348 + 500});  // inside section 1
    EXPECT_EQ(header(0), nullptr);
    ASSERT_NE(header(1), nullptr);
    EXPECT_EQ(header(1)->tag(), 1);
    EXPECT_EQ(header(1)->frame(), Rect(0, 1848, 390, 28));
    EXPECT_EQ(view->subviews().back(), header(1));  // above the rows under it
    EXPECT_EQ(header(1)->layer().zPosition(), 1);

    view->setContentOffset({0, 2 * 1348 - 10});  // the end of section 1 pushes its header up
    EXPECT_EQ(header(1)->frame(), Rect(0, 2 * 1348 - 28, 390, 28));
    ASSERT_NE(header(2), nullptr);
    EXPECT_EQ(header(2)->frame(), Rect(0, 2 * 1348, 390, 28));
}

}  // namespace
}  // namespace ui
