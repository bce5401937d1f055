#include "toolkit/empty_data_set.h"

#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/lists/collection_view.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/views/window.h"

namespace reelhaven {
namespace {

// A collection data source whose counts the test sets; it notes whether the placeholder showed
// each time the view asked for its sections.
class Items : public ui::CollectionViewDataSource {
public:
    int numberOfSections(ui::CollectionView& view) override {
        visibleWhenAsked.push_back(EmptyDataSet::isEmptyDataSetVisible(view));
        return static_cast<int>(counts.size());
    }
    int numberOfItems(ui::CollectionView&, int section) override { return counts[static_cast<size_t>(section)]; }
    std::shared_ptr<ui::CollectionViewCell> cellForItem(ui::CollectionView& view, const ui::IndexPath& p) override {
        return view.dequeueCell("cell", p);
    }
    std::vector<int> counts;
    std::vector<bool> visibleWhenAsked;
};

class Source : public EmptyDataSetSource {
public:
    std::shared_ptr<ui::AttributedString> titleForEmptyDataSet(ui::ScrollView&) override { return title; }
    std::shared_ptr<ui::AttributedString> descriptionForEmptyDataSet(ui::ScrollView&) override { return detail; }
    std::shared_ptr<ui::AttributedString> buttonTitleForEmptyDataSet(ui::ScrollView&, std::uint32_t) override {
        return buttonTitle;
    }
    double spaceHeightForEmptyDataSet(ui::ScrollView&) override { return space; }
    double verticalOffsetForEmptyDataSet(ui::ScrollView&) override { return offset; }
    std::shared_ptr<ui::AttributedString> title;
    std::shared_ptr<ui::AttributedString> detail;
    std::shared_ptr<ui::AttributedString> buttonTitle;
    double space = 0;
    double offset = 0;
};

class Delegate : public EmptyDataSetDelegate {
public:
    bool emptyDataSetDidTapViewWith(ui::ScrollView&, ui::GestureRecognizer&) override {
        events.push_back("tap view");
        return true;
    }
    void emptyDataSetDidTapButton(ui::ScrollView&) override { events.push_back("tap button"); }
    void emptyDataSetWillAppear(ui::ScrollView&) override { events.push_back("will appear"); }
    void emptyDataSetDidDisappear(ui::ScrollView&) override { events.push_back("did disappear"); }
    std::vector<std::string> events;
};

class EmptyDataSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = ui::Window::create(ui::Rect(0, 0, 375, 800));
        window->makeKeyAndVisible();
        view = makeCollection();
        window->addSubview(view);
        source = std::make_shared<Source>();
        source->title = ui::AttributedString::create("No Videos");
        source->detail = ui::AttributedString::create("Import files to get started.");
    }
    std::shared_ptr<ui::CollectionView> makeCollection() {
        auto collection = ui::CollectionView::create(ui::Rect(0, 0, 375, 800), nullptr);
        collection->registerCell("cell", [] { return ui::CollectionViewCell::create(ui::Rect(0, 0, 100, 100)); });
        collection->setDataSource(items);
        return collection;
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<Items> items = std::make_shared<Items>();
    std::shared_ptr<ui::CollectionView> view;
    std::shared_ptr<Source> source;
};

TEST_F(EmptyDataSetTest, ItemsHideThePlaceholderAndItShowsBeforeTheViewReloads) {
    items->counts = {0, 2, 0};
    EmptyDataSet::setEmptyDataSetSource(*view, source);
    view->reloadData();
    EXPECT_EQ(EmptyDataSet::itemsCount(*view), 2);
    EXPECT_FALSE(EmptyDataSet::isEmptyDataSetVisible(*view));
    items->counts = {0, 0, 0};
    items->visibleWhenAsked.clear();
    view->reloadData();
    EXPECT_TRUE(EmptyDataSet::isEmptyDataSetVisible(*view));
    ASSERT_GE(items->visibleWhenAsked.size(), 2u);
    EXPECT_FALSE(items->visibleWhenAsked.front());  // the placeholder's own count
    EXPECT_TRUE(items->visibleWhenAsked.back());    // the view's reload came after it
}

TEST_F(EmptyDataSetTest, DefaultsFadeInAcceptTouchesAndStopScrollingWhileShown) {
    items->counts = {0};
    EmptyDataSet::setEmptyDataSetSource(*view, source);
    EmptyDataSet::setEmptyDataSetDelegate(*view, std::make_shared<EmptyDataSetDelegate>());
    EmptyDataSet::reloadEmptyDataSet(*view);
    auto placeholder = EmptyDataSet::emptyDataSetView(*view, false);
    ASSERT_NE(placeholder, nullptr);
    EXPECT_TRUE(placeholder->fadeInOnDisplay);
    auto fade = placeholder->contentView()->layer().animation("opacity");
    ASSERT_NE(fade, nullptr);
    EXPECT_DOUBLE_EQ(fade->duration, 0.25);
    EXPECT_EQ(placeholder->contentView()->alpha(), 1.0);
    EXPECT_TRUE(placeholder->isUserInteractionEnabled());
    EXPECT_FALSE(view->isScrollEnabled());
    EXPECT_EQ(placeholder->frame(), ui::Rect(0, 0, 375, 800));
    items->counts = {1};
    view->reloadData();
    EXPECT_FALSE(EmptyDataSet::isEmptyDataSetVisible(*view));
    EXPECT_EQ(EmptyDataSet::emptyDataSetView(*view, false), nullptr);  // a new one next time
    EXPECT_TRUE(view->isScrollEnabled());
}

TEST_F(EmptyDataSetTest, LayoutChainGapsOffsetAndPadding) {
    items->counts = {0};
    source->space = 5;
    source->offset = -80;
    EmptyDataSet::setEmptyDataSetSource(*view, source);
    EmptyDataSet::reloadEmptyDataSet(*view);
    auto placeholder = EmptyDataSet::emptyDataSetView(*view, false);
    EXPECT_EQ(placeholder->layoutFormats(),
              (std::vector<std::string>{"H:|[contentView]|", "H:|-(padding@750)-[titleLabel(>=0)]-(padding@750)-|",
                                        "H:|-(padding@750)-[detailLabel(>=0)]-(padding@750)-|",
                                        "V:|[titleLabel]-(5@750)-[detailLabel]|"}));
    bool offsetFound = false;
    for (const auto& c : placeholder->constraints()) {
        if (c->firstAttribute() == ui::LayoutAttribute::centerY) {
            EXPECT_EQ(c->constant(), -80);
            EXPECT_EQ(c->firstItem(), std::shared_ptr<ui::LayoutItem>(placeholder->contentView()));
            offsetFound = true;
        }
    }
    EXPECT_TRUE(offsetFound);
    int paddings = 0;
    for (const auto& c : placeholder->contentView()->constraints()) {
        if (c->firstAttribute() == ui::LayoutAttribute::leading) {
            EXPECT_EQ(c->constant(), 23);  // 375 / 16 = 23.4375
            EXPECT_EQ(c->priority(), 750);
            ++paddings;
        }
    }
    EXPECT_EQ(paddings, 2);
    source->space = 0;
    EmptyDataSet::reloadEmptyDataSet(*view);
    EXPECT_EQ(placeholder->layoutFormats().back(), "V:|[titleLabel]-(11@750)-[detailLabel]|");
    source->space = 7.6;
    EmptyDataSet::reloadEmptyDataSet(*view);
    EXPECT_EQ(placeholder->layoutFormats().back(), "V:|[titleLabel]-(8@750)-[detailLabel]|");
}

TEST_F(EmptyDataSetTest, PaddingFollowsTheWidth) {
    view->setFrame(ui::Rect(0, 0, 1024, 700));
    items->counts = {0};
    EmptyDataSet::setEmptyDataSetSource(*view, source);
    EmptyDataSet::reloadEmptyDataSet(*view);
    auto placeholder = EmptyDataSet::emptyDataSetView(*view, false);
    int paddings = 0;
    for (const auto& c : placeholder->contentView()->constraints()) {
        if (c->firstAttribute() == ui::LayoutAttribute::leading) {
            EXPECT_EQ(c->constant(), 64);
            ++paddings;
        }
    }
    EXPECT_EQ(paddings, 2);
}

TEST_F(EmptyDataSetTest, EmptyElementsLeaveTheLayout) {
    items->counts = {0};
    source->title = ui::AttributedString::create("");
    source->buttonTitle = nullptr;
    EmptyDataSet::setEmptyDataSetSource(*view, source);
    EmptyDataSet::reloadEmptyDataSet(*view);
    auto placeholder = EmptyDataSet::emptyDataSetView(*view, false);
    EXPECT_FALSE(placeholder->hasTitleLabel());
    EXPECT_FALSE(placeholder->hasButton());
    EXPECT_EQ(placeholder->layoutFormats().back(), "V:|[detailLabel]|");
}

TEST_F(EmptyDataSetTest, EachListViewIsFollowedOnItsOwnUntilItsSourceGoes) {
    items->counts = {0};
    auto second = makeCollection();
    window->addSubview(second);
    EmptyDataSet::setEmptyDataSetSource(*view, source);
    EXPECT_TRUE(EmptyDataSet::isObservingReloads(*view));
    EXPECT_FALSE(EmptyDataSet::isObservingReloads(*second));
    second->reloadData();  // a view without a source of its own is left alone
    EXPECT_EQ(EmptyDataSet::emptyDataSetView(*second, false), nullptr);
    view->reloadData();
    EXPECT_TRUE(EmptyDataSet::isEmptyDataSetVisible(*view));

    EmptyDataSet::setEmptyDataSetSource(*view, source);  // setting it again subscribes once
    int appearances = 0;
    class Counter : public EmptyDataSetDelegate {
    public:
        explicit Counter(int& count) : m_count(count) {}
        void emptyDataSetWillAppear(ui::ScrollView&) override { ++m_count; }

    private:
        int& m_count;
    };
    auto counter = std::make_shared<Counter>(appearances);
    EmptyDataSet::setEmptyDataSetDelegate(*view, counter);
    view->reloadData();
    EXPECT_EQ(appearances, 1);

    EmptyDataSet::setEmptyDataSetSource(*view, nullptr);
    EXPECT_FALSE(EmptyDataSet::isObservingReloads(*view));
    EXPECT_FALSE(EmptyDataSet::isEmptyDataSetVisible(*view));
    view->reloadData();
    EXPECT_EQ(appearances, 1);
    EXPECT_EQ(EmptyDataSet::emptyDataSetView(*view, false), nullptr);

    auto plain = ui::ScrollView::create();
    EmptyDataSet::setEmptyDataSetSource(*plain, source);
    EXPECT_FALSE(EmptyDataSet::isObservingReloads(*plain));  // a plain scroll view has no reloads
}

// Rows the test sets; a table view with one section.
class Rows : public ui::TableViewDataSource {
public:
    int numberOfRows(ui::TableView&, int) override { return rows; }
    std::shared_ptr<ui::TableViewCell> cellForRow(ui::TableView&, const ui::IndexPath&) override {
        return ui::TableViewCell::create();
    }
    int rows = 0;
};

TEST_F(EmptyDataSetTest, TableUpdatesRefreshThePlaceholderAndStillRun) {
    auto table = ui::TableView::create(ui::Rect(0, 0, 375, 800));
    window->addSubview(table);
    auto rows = std::make_shared<Rows>();
    rows->rows = 1;
    table->setDataSource(rows);
    table->reloadData();
    EmptyDataSet::setEmptyDataSetSource(*table, source);
    EXPECT_FALSE(EmptyDataSet::isEmptyDataSetVisible(*table));
    rows->rows = 0;
    table->beginUpdates();
    table->endUpdates();
    EXPECT_TRUE(EmptyDataSet::isEmptyDataSetVisible(*table));
    EXPECT_EQ(table->numberOfItems(0), 0);  // the table's own update ran as well
    rows->rows = 2;
    table->beginUpdates();
    table->endUpdates();
    EXPECT_FALSE(EmptyDataSet::isEmptyDataSetVisible(*table));
    EXPECT_EQ(table->numberOfItems(0), 2);
    EXPECT_EQ(table->visibleCells().size(), 2u);
}

TEST_F(EmptyDataSetTest, TapsReachTheDelegateAndTouchesElsewhereFallThrough) {
    items->counts = {0};
    auto delegate = std::make_shared<Delegate>();
    source->buttonTitle = ui::AttributedString::create("Import");
    EmptyDataSet::setEmptyDataSetSource(*view, source);
    EmptyDataSet::setEmptyDataSetDelegate(*view, delegate);
    EmptyDataSet::reloadEmptyDataSet(*view);
    auto placeholder = EmptyDataSet::emptyDataSetView(*view, false);
    ASSERT_TRUE(placeholder->hasButton());
    // Frames as a solved layout would give them: content in the middle, a cell behind at the top.
    placeholder->contentView()->setFrame(ui::Rect(40, 300, 295, 200));
    auto cell = ui::CollectionViewCell::create(ui::Rect(0, 0, 100, 100));
    view->insertSubview(cell, 0);
    EXPECT_EQ(window->tap({50, 50}), cell);
    EXPECT_EQ(window->tap({100, 350}), placeholder->contentView());
    EXPECT_EQ(delegate->events.back(), "tap view");
    placeholder->button()->tap();
    EXPECT_NE(delegate->events.back(), "tap button");  // delivered on a later turn
    loop.runUntilIdle();
    EXPECT_EQ(delegate->events.back(), "tap button");
}

TEST_F(EmptyDataSetTest, ClearingTheDelegateHidesAndReenablesScrolling) {
    items->counts = {0};
    auto delegate = std::make_shared<Delegate>();
    EmptyDataSet::setEmptyDataSetSource(*view, source);
    EmptyDataSet::setEmptyDataSetDelegate(*view, delegate);
    EmptyDataSet::reloadEmptyDataSet(*view);
    EXPECT_TRUE(EmptyDataSet::isEmptyDataSetVisible(*view));
    EXPECT_FALSE(view->isScrollEnabled());
    EmptyDataSet::setEmptyDataSetDelegate(*view, nullptr);
    EXPECT_FALSE(EmptyDataSet::isEmptyDataSetVisible(*view));
    EXPECT_TRUE(view->isScrollEnabled());
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"will appear", "did disappear"}));
}

TEST_F(EmptyDataSetTest, ReleasedSourceReadsAsNone) {
    auto temporary = std::make_shared<Source>();
    EmptyDataSet::setEmptyDataSetSource(*view, temporary);
    EXPECT_TRUE(EmptyDataSet::canDisplay(*view));
    temporary.reset();
    EXPECT_EQ(EmptyDataSet::emptyDataSetSource(*view), nullptr);
    items->counts = {0};
    EmptyDataSet::reloadEmptyDataSet(*view);
    EXPECT_FALSE(EmptyDataSet::isEmptyDataSetVisible(*view));
}

}  // namespace
}  // namespace reelhaven
