// Frames of grids, lists and tables computed from the list's real size, as the layout pass places
// them.
#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/lists/collection_view_diffable_data_source.h"
#include "platform/ui/lists/flow_layout.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

using Snapshot = DiffableDataSourceSnapshot<int, int>;
using DataSource = CollectionViewDiffableDataSource<int, int>;

Snapshot snapshotOf(const std::vector<int>& counts) {
    Snapshot snapshot;
    int next = 0;
    for (size_t s = 0; s < counts.size(); ++s) {
        snapshot.appendSections({static_cast<int>(s)});
        std::vector<int> items;
        for (int i = 0; i < counts[s]; ++i) items.push_back(next++);
        snapshot.appendItems(items, static_cast<int>(s));
    }
    return snapshot;
}

// A cell as tall as it says it is, as a cell laid out by its content would measure itself.
class TallCell : public CollectionViewCell {
public:
    static std::shared_ptr<TallCell> create() { return make<TallCell>(Rect()); }
    Size intrinsicContentSize() const override { return {noIntrinsicMetric, height}; }
    double height = noIntrinsicMetric;

protected:
    using CollectionViewCell::CollectionViewCell;
};

class ListLayoutTest : public ::testing::Test {
protected:
    void makeView(double width, std::shared_ptr<CollectionViewLayout> layout) {
        view = CollectionView::create(Rect(0, 0, width, 800), std::move(layout));
        view->registerCell("cell", [] { return TallCell::create(); });
        view->registerSupplementary(CollectionView::elementKindSectionHeader, "header",
                                    [] { return CollectionReusableView::create(); });
        source = DataSource::create(view, [this](CollectionView& v, const IndexPath& p, const int& item) {
            auto cell = std::static_pointer_cast<TallCell>(v.dequeueCell("cell", p));
            cell->height = tallItems.count(item) ? 80 : View::noIntrinsicMetric;
            return cell;
        });
        source->supplementaryViewProvider = [](CollectionView& v, const std::string& kind, const IndexPath& p) {
            return v.dequeueSupplementary(kind, "header", p);
        };
    }

    std::vector<Rect> frames(int section = 0) {
        std::vector<Rect> result;
        for (int i = 0; i < view->numberOfItems(section); ++i) result.push_back(*view->frameForItem({section, i}));
        return result;
    }

    // Columns and spacing follow the width the provider is given, as a library grid's rule does.
    std::shared_ptr<CompositionalLayout> gridLayout() {
        return CompositionalLayout::create([this](int, const CollectionLayoutEnvironment& environment) {
            asked.push_back(environment.effectiveContentSize);
            const int columns = environment.effectiveContentSize.width > 600 ? 3 : 2;
            const double spacing = environment.traits.userInterfaceIdiom == UserInterfaceIdiom::pad ? 20 : 10;
            CollectionLayoutSection section;
            section.itemSize = {LayoutDimension::fractionalWidth(1), LayoutDimension::fractionalHeight(1)};
            section.groupSize = {LayoutDimension::fractionalWidth(1), LayoutDimension::absolute(100)};
            section.itemsPerGroup = columns;
            section.interItemSpacing = spacing;
            section.interGroupSpacing = spacing;
            section.contentInsets = {spacing, spacing, 10, spacing};
            return std::optional<CollectionLayoutSection>(section);
        });
    }

    std::shared_ptr<CollectionView> view;
    std::shared_ptr<DataSource> source;
    std::set<int> tallItems;
    std::vector<Size> asked;
};

TEST_F(ListLayoutTest, GridColumnsAndFramesFollowTheWidth) {
    makeView(390, gridLayout());
    source->apply(snapshotOf({7}), false);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back(), (Size{390, 800}));
    // Two columns: (390 - 10 - 10 - 10) / 2 = 180 wide, rows 100 + 10 apart.
    auto placed = frames();
    EXPECT_EQ(placed[0], Rect(10, 10, 180, 100));
    EXPECT_EQ(placed[1], Rect(200, 10, 180, 100));
    EXPECT_EQ(placed[2], Rect(10, 120, 180, 100));
    EXPECT_EQ(placed[6], Rect(10, 340, 180, 100));
    EXPECT_EQ(view->contentSize(), (Size{390, 10 + 4 * 100 + 3 * 10 + 10}));
    EXPECT_EQ(view->cellAt({0, 1})->frame(), placed[1]);

    view->setFrame(Rect(0, 0, 700, 800));
    view->layoutIfNeeded();
    EXPECT_EQ(asked.back(), (Size{700, 800}));
    // Three columns: (700 - 20 - 20) / 3 = 220.
    placed = frames();
    EXPECT_EQ(placed[2], Rect(470, 10, 220, 100));
    EXPECT_EQ(placed[3], Rect(10, 120, 220, 100));
    EXPECT_EQ(view->contentSize(), (Size{700, 10 + 3 * 100 + 2 * 10 + 10}));
    EXPECT_EQ(view->cellAt({0, 2})->frame(), placed[2]);
}

TEST_F(ListLayoutTest, ContentInsetAndTraitsReachTheProvider) {
    dispatch::ScopedMainRunLoop loop;
    auto window = Window::create(Rect(0, 0, 1024, 800));
    window->makeKeyAndVisible();
    makeView(1024, gridLayout());
    window->addSubview(view);
    view->setContentInset({0, 12, 0, 12});
    source->apply(snapshotOf({3}), false);
    EXPECT_EQ(asked.back(), (Size{1000, 800}));
    EXPECT_EQ(frames()[0], Rect(10, 10, (1000 - 40) / 3.0, 100));
    TraitCollection pad = window->windowTraitCollection();
    pad.userInterfaceIdiom = UserInterfaceIdiom::pad;
    window->setTraitCollection(pad);
    loop.runUntilIdle();                                           // the layout pass the change asked for
    EXPECT_EQ(frames()[0], Rect(20, 20, (1000 - 80) / 3.0, 100));  // the pad's spacing
    EXPECT_EQ(view->cellAt({0, 0})->frame(), frames()[0]);
}

TEST_F(ListLayoutTest, AViewWithoutASizeShowsNothingUntilItGetsOne) {
    makeView(0, gridLayout());
    source->apply(snapshotOf({4}), false);
    EXPECT_TRUE(view->visibleCells().empty());
    EXPECT_EQ(asked.back(), (Size{0, 800}));
    view->setFrame(Rect(0, 0, 390, 800));
    view->layoutIfNeeded();
    EXPECT_EQ(view->visibleCells().size(), 4u);
    EXPECT_EQ(view->cellAt({0, 3})->frame(), Rect(200, 120, 180, 100));
}

TEST_F(ListLayoutTest, ItemsFillAGroupBySizeWhenItHasNoCount) {
    makeView(400, CompositionalLayout::create([](int, const CollectionLayoutEnvironment&) {
                 CollectionLayoutSection section;
                 section.itemSize = {LayoutDimension::absolute(120), LayoutDimension::fractionalWidth(0.25)};
                 section.groupSize = {LayoutDimension::fractionalWidth(1), LayoutDimension::absolute(100)};
                 section.itemsPerGroup = 0;
                 section.interItemSpacing = 10;
                 section.itemContentInsets = {5, 5, 5, 5};
                 return std::optional<CollectionLayoutSection>(section);
             }));
    source->apply(snapshotOf({4}), false);
    // (400 + 10) / (120 + 10) = 3 per group; items a quarter of the group's width tall, inset by 5.
    EXPECT_EQ(frames()[2], Rect(265, 5, 110, 90));
    EXPECT_EQ(frames()[3], Rect(5, 105, 110, 90));
}

TEST_F(ListLayoutTest, InsetGroupedListWithHeadersAndSelfSizingRows) {
    ListLayoutConfiguration configuration;
    configuration.appearance = CollectionLayoutSection::ListAppearance::insetGrouped;
    configuration.headerMode = ListLayoutConfiguration::HeaderMode::supplementary;
    makeView(390, CompositionalLayout::createList(configuration));
    tallItems = {1};
    source->apply(snapshotOf({2, 1}), false);
    // Section 0: header 38, row 44, row measured at 80, bottom spacing 18; section 1 follows.
    EXPECT_EQ(frames(0), (std::vector<Rect>{Rect(20, 38, 350, 44), Rect(20, 82, 350, 80)}));
    auto header = view->visibleSupplementaryView(CollectionView::elementKindSectionHeader, 1);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->frame(), Rect(20, 180, 350, 38));
    EXPECT_EQ(frames(1), (std::vector<Rect>{Rect(20, 218, 350, 44)}));
    EXPECT_EQ(view->contentSize(), (Size{390, 218 + 44 + 18}));
    const auto section = view->layoutSection(0);
    ASSERT_TRUE(section);
    const auto* boundary = section->boundaryItem(CollectionView::elementKindSectionHeader);
    ASSERT_NE(boundary, nullptr);
    EXPECT_FALSE(boundary->pinToVisibleBounds);  // only plain lists pin their headers
}

TEST_F(ListLayoutTest, AReloadedRowMeasuresItselfAgain) {
    makeView(390, CompositionalLayout::createList(CollectionLayoutSection::ListAppearance::plain));
    source->apply(snapshotOf({3}), false);
    EXPECT_EQ(frames()[2], Rect(0, 88, 390, 44));
    tallItems = {0};
    auto snapshot = source->snapshot();
    snapshot.reloadItems({0});
    source->apply(snapshot);
    EXPECT_EQ(frames()[0], Rect(0, 0, 390, 80));
    EXPECT_EQ(view->cellAt({0, 2})->frame(), Rect(0, 124, 390, 44));
    EXPECT_EQ(view->contentSize().height, 80 + 88);
}

TEST_F(ListLayoutTest, FlowLinesFillTheWidthAndCentreALoneItem) {
    auto flow = FlowLayout::create();
    flow->itemSize = {100, 100};
    flow->sectionInset = {10, 10, 10, 10};
    flow->headerReferenceHeight = 30;
    makeView(390, flow);
    source->apply(snapshotOf({7}), false);
    // 370 points hold three items; the 70 left over spread them 35 apart. The last one is centred.
    auto placed = frames();
    EXPECT_EQ(placed[0], Rect(10, 40, 100, 100));
    EXPECT_EQ(placed[2], Rect(280, 40, 100, 100));
    EXPECT_EQ(placed[3], Rect(10, 150, 100, 100));
    EXPECT_EQ(placed[6], Rect(145, 260, 100, 100));
    EXPECT_EQ(view->visibleSupplementaryView(CollectionView::elementKindSectionHeader, 0)->frame(),
              Rect(0, 0, 390, 30));
    EXPECT_EQ(view->contentSize(), (Size{390, 30 + 10 + 3 * 100 + 2 * 10 + 10}));

    view->setFrame(Rect(0, 0, 540, 800));
    view->layoutIfNeeded();
    placed = frames();
    EXPECT_EQ(placed[3], Rect(430, 40, 100, 100));  // four to a line now, 40 apart
    EXPECT_EQ(placed[5], Rect(220, 150, 100, 100));
    EXPECT_EQ(view->contentSize().height, 30 + 10 + 2 * 100 + 10 + 10);

    flow->sizeForItem = [](const IndexPath& p) {
        return Size{p.item == 0 ? 480.0 : 100.0, p.item == 1 ? 60.0 : 100.0};
    };
    flow->invalidateLayout();
    view->layoutIfNeeded();
    placed = frames();
    EXPECT_EQ(placed[0], Rect(30, 40, 480, 100));  // a wide item is a line of its own, centred
    EXPECT_EQ(placed[1], Rect(10, 170, 100, 60));  // centred in its line's height
}

// Rows of the heights the test gives, titled headers and a footer.
class Heights : public TableViewDataSource, public TableViewDelegate {
public:
    int numberOfSections(TableView&) override { return 2; }
    int numberOfRows(TableView&, int section) override { return section == 0 ? 3 : 2; }
    std::shared_ptr<TableViewCell> cellForRow(TableView& table, const IndexPath& p) override {
        return table.dequeueReusableCell("row", p);
    }
    std::optional<std::string> titleForHeader(TableView&, int section) override {
        return section == 0 ? std::optional<std::string>("FIRST") : std::nullopt;
    }
    std::optional<std::string> titleForFooter(TableView&, int section) override {
        return section == 1 ? std::optional<std::string>("The end") : std::nullopt;
    }
    std::optional<double> heightForRow(TableView&, const IndexPath& p) override {
        return p == IndexPath{0, 1} ? std::optional<double>(80) : std::nullopt;
    }
    std::optional<double> heightForHeader(TableView&, int section) override {
        return section == 1 ? std::optional<double>(50) : std::nullopt;
    }
};

TEST(TableLayoutTest, RowsHeadersAndFootersStackByHeight) {
    auto table = TableView::create(Rect(0, 0, 320, 600), TableViewStyle::plain);
    table->registerCell("row", [] { return TableViewCell::create(); });
    auto heights = std::make_shared<Heights>();
    table->setDataSource(heights);
    table->setDelegate(heights);
    table->reloadData();
    EXPECT_EQ(table->headerView(0)->frame(), Rect(0, 0, 320, 28));
    EXPECT_EQ(table->cellForRow({0, 0})->frame(), Rect(0, 28, 320, 44));
    EXPECT_EQ(table->cellForRow({0, 1})->frame(), Rect(0, 72, 320, 80));
    EXPECT_EQ(table->cellForRow({0, 2})->frame(), Rect(0, 152, 320, 44));
    // Section 1 has no header view but asks for 50 points above its rows.
    EXPECT_EQ(table->cellForRow({1, 0})->frame(), Rect(0, 246, 320, 44));
    EXPECT_EQ(table->footerView(1)->frame(), Rect(0, 334, 320, 28));
    EXPECT_EQ(table->contentSize(), (Size{320, 362}));

    table->setRowHeight(60);
    table->layoutIfNeeded();
    EXPECT_EQ(table->cellForRow({0, 2})->frame(), Rect(0, 168, 320, 60));
}

TEST(TableLayoutTest, InsetGroupedRowsKeepTheirMargins) {
    auto table = TableView::create(Rect(0, 0, 390, 600), TableViewStyle::insetGrouped);
    table->registerCell("row", [] { return TableViewCell::create(); });
    auto heights = std::make_shared<Heights>();
    table->setDataSource(heights);
    table->reloadData();
    // The header spans the rows' width, so its title lines up with theirs.
    EXPECT_EQ(table->headerView(0)->frame(), Rect(20, 0, 350, 38));
    EXPECT_EQ(table->cellForRow({0, 0})->frame(), Rect(20, 38, 350, 44));
    // No delegate: every row 44; grouped sections without a header or footer keep 18 points.
    EXPECT_EQ(table->cellForRow({1, 0})->frame(), Rect(20, 38 + 3 * 44 + 18 + 18, 350, 44));

    // A screen on a wide window widens the table's margins (a settings screen's rule): the rows
    // keep inside them, and come back to the style's own inset when they narrow again.
    table->setFrame(Rect(0, 0, 1024, 600));
    table->setLayoutMargins({0, 200, 0, 150});
    table->layoutIfNeeded();
    EXPECT_EQ(table->cellForRow({0, 0})->frame(), Rect(200, 38, 674, 44));
    EXPECT_EQ(table->headerView(0)->frame(), Rect(200, 0, 674, 38));
    table->setLayoutMargins({0, 0, 0, 0});
    table->layoutIfNeeded();
    EXPECT_EQ(table->cellForRow({0, 0})->frame(), Rect(20, 38, 984, 44));
}

TEST_F(ListLayoutTest, InsetGroupedListRowsKeepInsideTheListsLayoutMargins) {
    ListLayoutConfiguration configuration;
    configuration.appearance = CollectionLayoutSection::ListAppearance::insetGrouped;
    makeView(1000, CompositionalLayout::createList(configuration));
    source->apply(snapshotOf({2}), false);
    EXPECT_EQ(frames()[1], Rect(20, 18 + 44, 960, 44));
    view->setLayoutMargins({0, 100, 0, 100});
    view->layoutIfNeeded();
    EXPECT_EQ(frames()[1], Rect(100, 18 + 44, 800, 44));
    EXPECT_EQ(view->cellAt({0, 1})->frame(), Rect(100, 18 + 44, 800, 44));
}

}  // namespace
}  // namespace ui
