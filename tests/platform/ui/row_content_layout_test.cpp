#include <gtest/gtest.h>

#include "platform/ui/lists/list_content_view.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/lists/table_view_header_footer_view.h"
#include "platform/ui/screen/text_screen.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

// A painted row shows only what has a frame: the labels, image and accessory mark of a row must
// be placed in it, clear of each other and of the accessory.
class RowContentLayoutTest : public ::testing::Test {
protected:
    std::shared_ptr<TableViewCell> row(TableViewCellStyle style) {
        auto cell = TableViewCell::create(style);
        cell->setFrame(Rect(0, 0, 320, 44));
        window->addSubview(cell);
        window->makeKeyAndVisible();
        return cell;
    }
    Rect inRow(const std::shared_ptr<View>& view, const std::shared_ptr<View>& cell) {
        return view->superview()->convert(view->frame(), cell.get());
    }

    std::shared_ptr<Window> window = Window::create(Rect(0, 0, 320, 480));
};

TEST_F(RowContentLayoutTest, TheLabelsAndImageOfEachStyleTakeTheirPlacesInTheRow) {
    auto plain = row(TableViewCellStyle::defaultStyle);
    plain->textLabel()->setText("Storage");
    plain->imageView()->setImage(Image::systemImage("gear"));
    window->layoutIfNeeded();
    const auto image = inRow(plain->imageView(), plain);
    const auto text = inRow(plain->textLabel(), plain);
    EXPECT_EQ(image.minX(), ListContentView::kHorizontalInset);
    EXPECT_DOUBLE_EQ(image.midY(), 22);
    EXPECT_EQ(text.minX(), image.maxX() + ListContentView::kImageTextSpacing);
    EXPECT_EQ(text.maxX(), 320 - ListContentView::kHorizontalInset);
    EXPECT_EQ(text.height(), 44);

    auto subtitle = row(TableViewCellStyle::subtitle);
    subtitle->textLabel()->setText("Title");
    subtitle->detailTextLabel()->setText("Detail");
    window->layoutIfNeeded();
    const auto top = inRow(subtitle->textLabel(), subtitle);
    const auto bottom = inRow(subtitle->detailTextLabel(), subtitle);
    EXPECT_GT(top.height(), 0);
    EXPECT_DOUBLE_EQ(bottom.minY(), top.maxY());
    EXPECT_EQ(bottom.minX(), top.minX());
    EXPECT_NEAR(top.minY() - 0, 44 - bottom.maxY(), 0.001);  // the pair is centred

    auto value = row(TableViewCellStyle::value1);
    value->textLabel()->setText("Version");
    value->detailTextLabel()->setText("1.0");
    window->layoutIfNeeded();
    const auto name = inRow(value->textLabel(), value);
    const auto detail = inRow(value->detailTextLabel(), value);
    EXPECT_EQ(detail.maxX(), 320 - ListContentView::kHorizontalInset);
    EXPECT_LT(name.maxX(), detail.minX());
    EXPECT_GT(detail.width(), 0);

    // A longer detail text moves the trailing label's edge on the next pass.
    const double before = detail.width();
    value->detailTextLabel()->setText("1.0 (build 12345)");
    window->layoutIfNeeded();
    EXPECT_GT(inRow(value->detailTextLabel(), value).width(), before);
}

TEST_F(RowContentLayoutTest, AnAccessoryMarkSitsAtTheTrailingEdgeAndTheTextStopsBeforeIt) {
    auto cell = row(TableViewCellStyle::defaultStyle);
    cell->textLabel()->setText("English");
    cell->setAccessoryType(TableViewCellAccessoryType::checkmark);
    window->layoutIfNeeded();
    auto marks = cell->subviews();
    std::shared_ptr<View> mark;
    for (const auto& view : marks)
        if (std::dynamic_pointer_cast<CellAccessoryIndicatorView>(view)) mark = view;
    ASSERT_TRUE(mark);
    auto image = std::static_pointer_cast<ImageView>(mark)->image();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->symbolName(), "checkmark");
    EXPECT_EQ(mark->frame().maxX(), 320 - TableViewCell::kAccessoryTrailingInset);
    EXPECT_LE(inRow(cell->textLabel(), cell).maxX(), mark->frame().minX() - ListContentView::kHorizontalInset);
    // A tap on the mark still selects the row.
    EXPECT_EQ(window->hitTest(mark->frame().center()), cell->contentView());

    cell->setAccessoryType(TableViewCellAccessoryType::none);
    window->layoutIfNeeded();
    EXPECT_FALSE(mark->superview());
    EXPECT_EQ(inRow(cell->textLabel(), cell).maxX(), 320 - ListContentView::kHorizontalInset);
}

TEST_F(RowContentLayoutTest, AListRowsCheckMarkAndChevronAreShownAtTheTrailingEdgeAndItsTextStopsBeforeThem) {
    // The language picker's rows: the chosen one has a check mark, the others a chevron.
    auto cell = row(TableViewCellStyle::defaultStyle);
    auto content = ListContentConfiguration::cell();
    content.text = "English";
    cell->setContentConfiguration(content);
    auto indicators = [&] {
        std::vector<std::shared_ptr<ImageView>> found;
        for (const auto& view : cell->subviews())
            if (auto mark = std::dynamic_pointer_cast<CellAccessoryIndicatorView>(view)) found.push_back(mark);
        return found;
    };
    auto listContent = [&] {
        for (const auto& view : cell->contentView()->subviews())
            if (auto list = std::dynamic_pointer_cast<ListContentView>(view)) return list;
        return std::shared_ptr<ListContentView>();
    };
    for (auto [accessory, symbol] : {std::pair{CellAccessory::checkmark(), "checkmark"},
                                     std::pair{CellAccessory::disclosureIndicator(), "chevron.right"}}) {
        cell->setAccessories({accessory});
        window->layoutIfNeeded();
        const auto marks = indicators();
        ASSERT_EQ(marks.size(), 1u) << symbol << ": the one before it is gone";
        ASSERT_TRUE(marks[0]->image());
        EXPECT_EQ(marks[0]->image()->symbolName(), symbol);
        EXPECT_FALSE(marks[0]->isHidden());
        EXPECT_GT(marks[0]->frame().width(), 0);
        EXPECT_DOUBLE_EQ(marks[0]->frame().maxX(), 320 - TableViewCell::kAccessoryTrailingInset);
        ASSERT_TRUE(listContent());
        EXPECT_LE(inRow(listContent()->textLabel(), cell).maxX(), marks[0]->frame().minX()) << symbol;
        EXPECT_EQ(window->hitTest(marks[0]->frame().center()), cell->contentView()) << "a tap on it selects the row";
    }
    cell->setAccessories({});
    window->layoutIfNeeded();
    EXPECT_TRUE(indicators().empty());
}

TEST_F(RowContentLayoutTest, AContentConfigurationIsShownAsViewsButPrintedOnTheRowsOwnLine) {
    auto table = TableView::create(Rect(0, 0, 320, 480));
    class Source : public TableViewDataSource {
    public:
        int numberOfRows(TableView&, int) override { return 1; }
        std::shared_ptr<TableViewCell> cellForRow(TableView& table, const IndexPath& p) override {
            auto cell = table.dequeueReusableCell("row", p);
            auto content = ListContentConfiguration::valueCell();
            content.text = "Gestures";
            content.secondaryText = "On";
            content.image = Image::systemImage("hand.draw");
            cell->setContentConfiguration(content);
            return cell;
        }
    };
    auto source = std::make_shared<Source>();
    table->registerCell("row", [] { return TableViewCell::create(); });
    table->setDataSource(source);
    window->addSubview(table);
    window->makeKeyAndVisible();
    table->reloadData();
    table->layoutIfNeeded();

    auto cell = table->cellForRow({0, 0});
    ASSERT_TRUE(cell);
    std::shared_ptr<ListContentView> content;
    for (const auto& view : cell->contentView()->subviews())
        if (auto list = std::dynamic_pointer_cast<ListContentView>(view)) content = list;
    ASSERT_TRUE(content);
    EXPECT_EQ(content->frame().size, cell->contentView()->bounds().size);
    EXPECT_EQ(content->textLabel()->text(), "Gestures");
    EXPECT_EQ(content->secondaryTextLabel()->text(), "On");
    EXPECT_GT(content->textLabel()->frame().width(), 0);
    EXPECT_EQ(content->secondaryTextLabel()->frame().maxX(), 320 - ListContentView::kHorizontalInset);
    EXPECT_GT(content->imageView()->frame().width(), 0);
    // Touches go to the row, not to its content.
    EXPECT_EQ(window->hitTest(cell->convert(content->textLabel()->frame().center(), window.get())),
              cell->contentView());

    const auto screen = TextScreen::capture(*window).text();
    EXPECT_NE(screen.find("\"Gestures\" \"On\""), std::string::npos) << screen;
    EXPECT_EQ(screen.find("ListContentView"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("Label"), std::string::npos) << screen;

    // Dropping the configuration removes what showed it.
    cell->setContentConfiguration(std::nullopt);
    EXPECT_FALSE(content->superview());
}

TEST_F(RowContentLayoutTest, ARowsContentKeepsInsideTheLayoutMarginsItsScreenSets) {
    // A menu row whose screen sets a left margin of 30 and none on the right.
    auto plain = row(TableViewCellStyle::subtitle);
    plain->textLabel()->setText("Import from Files");
    plain->imageView()->setImage(Image::systemImage("folder.circle"));
    window->layoutIfNeeded();
    ASSERT_EQ(inRow(plain->imageView(), plain).minX(), ListContentView::kHorizontalInset);
    plain->setLayoutMargins({0, 30, 0, 0});
    window->layoutIfNeeded();
    const auto image = inRow(plain->imageView(), plain);
    EXPECT_EQ(image.minX(), 30);
    EXPECT_EQ(inRow(plain->textLabel(), plain).minX(), image.maxX() + ListContentView::kImageTextSpacing);
    EXPECT_EQ(inRow(plain->textLabel(), plain).maxX(), 320);

    // A list cell's configured content keeps inside the cell's margins too, as they change.
    auto cell = row(TableViewCellStyle::defaultStyle);
    auto configuration = ListContentConfiguration::valueCell();
    configuration.text = "Speed";
    configuration.secondaryText = "1.0";
    cell->setContentConfiguration(configuration);
    cell->setLayoutMargins({0, 40, 0, 24});
    window->layoutIfNeeded();
    std::shared_ptr<ListContentView> content;
    for (const auto& view : cell->contentView()->subviews())
        if (auto list = std::dynamic_pointer_cast<ListContentView>(view)) content = list;
    ASSERT_TRUE(content);
    EXPECT_EQ(inRow(content->textLabel(), cell).minX(), 40);
    EXPECT_EQ(inRow(content->secondaryTextLabel(), cell).maxX(), 320 - 24);
}

TEST_F(RowContentLayoutTest, AHeaderTitleIsInsetFromBothEdgesAndFollowsTheHeadersWidth) {
    auto header = TableViewHeaderFooterView::create();
    header->setFrame(Rect(0, 0, 320, 28));
    window->addSubview(header);
    header->textLabel()->setText("PLAYBACK");
    window->layoutIfNeeded();
    EXPECT_EQ(header->textLabel()->frame(), Rect(16, 0, 288, 28));
    header->setFrame(Rect(0, 0, 600, 40));
    window->layoutIfNeeded();
    EXPECT_EQ(header->textLabel()->frame(), Rect(16, 0, 568, 40));
}

}  // namespace
}  // namespace ui
