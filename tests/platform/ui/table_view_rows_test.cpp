#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "platform/ui/controls/switch_control.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/lists/table_view_header_footer_view.h"
#include "platform/ui/text/font.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

// Four rows of 50 points; rows in `locked` may not be highlighted.
class Rows : public TableViewDataSource, public TableViewDelegate {
public:
    int numberOfRows(TableView&, int) override { return 4; }
    std::shared_ptr<TableViewCell> cellForRow(TableView& table, const IndexPath& p) override {
        auto cell = table.dequeueReusableCell("row", p);
        cell->setSeparatorInset(p.item == 3 ? hideLastSeparator : std::nullopt);
        return cell;
    }
    std::optional<double> heightForRow(TableView&, const IndexPath&) override { return 50; }
    bool shouldHighlightRow(TableView&, const IndexPath& p) override { return !locked.count(p.item); }
    void didSelectRow(TableView&, const IndexPath& p) override { selected.push_back(p.item); }

    std::set<int> locked;
    std::vector<int> selected;
    std::optional<EdgeInsets> hideLastSeparator;
};

class TableViewRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        table->registerCell("row", [] { return TableViewCell::create(); });
        table->setDataSource(rows);
        table->setDelegate(rows);
        window->addSubview(table);
        window->makeKeyAndVisible();
        table->reloadData();
        table->layoutIfNeeded();
    }

    std::shared_ptr<Window> window = Window::create(Rect(0, 0, 320, 480));
    std::shared_ptr<TableView> table = TableView::create(Rect(0, 0, 320, 480));
    std::shared_ptr<Rows> rows = std::make_shared<Rows>();
};

TEST_F(TableViewRowsTest, ARowThatMayNotHighlightIgnoresTapsAndTouches) {
    rows->locked = {1};
    EXPECT_FALSE(table->tapRow({0, 1}));
    window->tap(Point{100, 75});  // the middle of row 1
    EXPECT_TRUE(rows->selected.empty());
    EXPECT_TRUE(table->selectedIndexPaths().empty());
    EXPECT_FALSE(table->cellForRow({0, 1})->isHighlighted());

    window->tap(Point{100, 125});  // row 2 may
    EXPECT_EQ(rows->selected, std::vector<int>{2});
    table->selectRow({0, 1});  // code may still select it
    EXPECT_EQ(table->selectedIndexPaths(), (std::vector<IndexPath>{IndexPath{0, 1}}));
}

TEST_F(TableViewRowsTest, SeparatorsFollowTheInsetsOfTheTableAndTheCell) {
    table->setSeparatorInset({0, 20, 0, 10});
    rows->hideLastSeparator = EdgeInsets{0, 0, 0, std::numeric_limits<double>::max() / 2};
    table->reloadData();
    table->layoutIfNeeded();
    const auto first = table->separatorFrame({0, 0});
    ASSERT_TRUE(first.has_value());
    EXPECT_DOUBLE_EQ(first->origin.x, 20);
    EXPECT_DOUBLE_EQ(first->size.width, 290);
    EXPECT_NEAR(first->origin.y + first->size.height, 50, 1e-9);  // at the bottom of the row
    EXPECT_FALSE(table->separatorFrame({0, 3}).has_value());      // its cell's inset leaves no width
    EXPECT_FALSE(table->separatorFrame({0, 4}).has_value());      // no such row

    table->setSeparatorStyle(TableViewCellSeparatorStyle::none);
    EXPECT_FALSE(table->separatorFrame({0, 0}).has_value());
}

TEST_F(TableViewRowsTest, AFooterViewEndsTheFillerSeparatorsAndSitsBelowTheRows) {
    EXPECT_TRUE(table->drawsFillerSeparators());
    table->setTableFooterView(View::create());  // empty: no height
    EXPECT_FALSE(table->drawsFillerSeparators());
    table->layoutIfNeeded();
    EXPECT_DOUBLE_EQ(table->geometry().contentSize.height, 200);

    auto footer = View::create(Rect(0, 0, 10, 30));
    table->setTableFooterView(footer);
    table->layoutIfNeeded();
    EXPECT_DOUBLE_EQ(table->geometry().contentSize.height, 230);
    EXPECT_EQ(footer->frame(), Rect(0, 200, 320, 30));
}

TEST_F(TableViewRowsTest, TheBackgroundViewStaysBehindTheRowsAndFillsWhatShows) {
    auto blur = VisualEffectView::create(VisualEffectView::BlurStyle::dark);
    table->setBackgroundView(blur);
    table->setContentOffset({0, 20});
    table->layoutIfNeeded();
    EXPECT_EQ(blur->frame(), table->bounds());
    EXPECT_EQ(table->subviews().front(), blur);
}

TEST_F(TableViewRowsTest, AnAccessoryViewSitsAtTheTrailingEdgeWhereATouchReachesIt) {
    auto cell = table->cellForRow({0, 1});
    auto toggle = Switch::create();
    cell->setAccessoryView(toggle);
    table->setFrame(Rect(0, 0, 300, 480));  // a narrower row keeps it at the edge
    table->layoutIfNeeded();
    const auto frame = cell->convert(toggle->frame(), window.get());
    EXPECT_EQ(frame.size, Switch::size);
    EXPECT_EQ(frame.origin.x + frame.size.width, 300 - TableViewCell::kAccessoryTrailingInset);
    EXPECT_EQ(frame.origin.y + frame.size.height / 2, 75);  // the middle of row 1

    EXPECT_EQ(window->hitTest(Point{frame.origin.x + 10, 75}), toggle);
}

TEST(SystemLookTest, GrayFourIsNamedAndTheMonospacedFontHasEvenAdvances) {
    const auto gray4 = Color::named("systemGray4");
    ASSERT_TRUE(gray4.has_value());
    EXPECT_EQ(gray4->name, "systemGray4");
    EXPECT_GT(Color::systemGray3().red, gray4->red);  // each step darker, towards gray 6
    EXPECT_GT(gray4->red, Color::systemGray5().red);

    const auto mono = Font::monospacedSystemFont(14);
    EXPECT_DOUBLE_EQ(mono.widthOf("iiii"), mono.widthOf("WWWW"));
    EXPECT_GT(mono.widthOf("iiii"), 0);
    EXPECT_NE(Font::monospacedSystemFont(14, FontWeight::bold).fontName(), mono.fontName());
    const auto proportional = Font::systemFont(14);
    EXPECT_LT(proportional.widthOf("iiii"), proportional.widthOf("WWWW"));
}

// A grouped table whose sections carry a note under them, long or short.
class Notes : public TableViewDataSource {
public:
    int numberOfSections(TableView&) override { return 2; }
    int numberOfRows(TableView&, int) override { return 1; }
    std::shared_ptr<TableViewCell> cellForRow(TableView& table, const IndexPath& p) override {
        return table.dequeueReusableCell("row", p);
    }
    std::optional<std::string> titleForFooter(TableView&, int section) override {
        if (section == 0) return "Short note.";
        return "A video that has tracks in these languages starts with them, and a video without them starts with "
               "the tracks its file marks as the default ones.";
    }
};

TEST(TableViewNotesTest, AFooterTitleLongerThanALineWrapsAndItsFooterGrowsToHoldIt) {
    auto window = Window::create(Rect(0, 0, 320, 480));
    auto table = TableView::create(Rect(0, 0, 320, 480), TableViewStyle::insetGrouped);
    auto notes = std::make_shared<Notes>();
    table->registerCell("row", [] { return TableViewCell::create(); });
    table->setDataSource(notes);
    window->addSubview(table);
    window->makeKeyAndVisible();
    table->reloadData();
    table->layoutIfNeeded();
    auto shortNote = std::dynamic_pointer_cast<TableViewHeaderFooterView>(table->footerView(0));
    auto longNote = std::dynamic_pointer_cast<TableViewHeaderFooterView>(table->footerView(1));
    ASSERT_TRUE(shortNote && longNote);
    const double line = shortNote->frame().height();
    EXPECT_GT(longNote->frame().height(), line + 2 * std::floor(longNote->textLabel()->font().lineHeight()))
        << "three lines or more at 320 points";
    longNote->layoutIfNeeded();
    const auto label = longNote->textLabel();
    const auto frame = label->textFrame();
    EXPECT_GE(frame.lines().size(), 3u);
    EXPECT_LE(frame.size().height, label->bounds().height() + 0.5) << "every line inside the label";
    // The table scrolls far enough to show all of it.
    EXPECT_GE(table->contentSize().height, longNote->frame().maxY());
}

}  // namespace
}  // namespace ui
