#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/popover_presentation_controller.h"
#include "platform/ui/controllers/search_controller.h"
#include "platform/ui/controls/bar_button_item.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/controls/progress_view.h"
#include "platform/ui/controls/search_bar.h"
#include "platform/ui/controls/segmented_control.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/controls/switch_control.h"
#include "platform/ui/gestures/tap_gesture_recognizer.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/lists/table_view_cell.h"
#include "platform/ui/lists/table_view_diffable_data_source.h"
#include "platform/ui/screen/text_screen.h"
#include "platform/ui/text/label.h"
#include "platform/ui/text/text_field.h"
#include "platform/ui/views/image_view.h"
#include "platform/ui/views/window.h"
#include "support/keep_popover_delegate.h"

namespace ui {
namespace {

template <typename T>
std::shared_ptr<T> placed(std::shared_ptr<T> view, const Rect& frame, const std::shared_ptr<View>& in) {
    view->setFrame(frame);
    in->addSubview(view);
    return view;
}

class TextScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = Window::create(Rect(0, 0, 390, 844));
        navigation = NavigationController::create(settings);
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        settings->setTitle("Settings");
        auto search = SearchController::create();
        search->searchBar()->setPlaceholder("Search");
        settings->navigationItem()->setSearchController(search);
        settings->navigationItem()->setRightBarButtonItem(BarButtonItem::create(BarButtonItem::SystemItem::done));
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<ViewController> settings = ViewController::create();
    std::shared_ptr<NavigationController> navigation;
    std::shared_ptr<Window> window;
};

TEST_F(TextScreenTest, PrintsWhatAPersonSeesWithHandlesInPrintOrder) {
    auto root = settings->view();
    auto title = placed(Label::create(), Rect(16, 100, 200, 21), root);
    title->setText("Subtitles \"large\"");
    auto play = placed(Button::create(), Rect(16, 130, 80, 44), root);
    play->setTitle("Play", ControlState::normal);
    auto stop = placed(Button::create(), Rect(100, 130, 44, 44), root);
    stop->setImage(Image::systemImage("stop.fill"), ControlState::normal);
    stop->setEnabled(false);
    auto loopSwitch = placed(Switch::create(), Rect(16, 180, 51, 31), root);
    loopSwitch->setOn(true);
    auto speed = placed(Slider::create(), Rect(16, 220, 200, 30), root);
    speed->setMinimumValue(0.5);
    speed->setMaximumValue(2);
    speed->setValue(1.25);
    auto quality = placed(SegmentedControl::create({"Low", "High"}), Rect(16, 260, 200, 32), root);
    quality->setSelectedSegmentIndex(1);
    auto name = placed(TextField::create(), Rect(16, 300, 300, 34), root);
    name->setPlaceholder("Name");
    placed(ImageView::create(Image::systemImage("film")), Rect(16, 340, 24, 24), root);
    placed(ProgressView::create(), Rect(16, 370, 300, 4), root)->setProgress(0.4f);
    auto card = placed(View::create(), Rect(0, 400, 390, 100), root);
    card->addGestureRecognizer(TapGestureRecognizer::create());
    placed(Label::create(), Rect(16, 10, 100, 20), card)->setText("Card");
    auto hidden = placed(View::create(), Rect(0, 520, 390, 100), root);
    hidden->setHidden(true);
    placed(Button::create(), Rect(0, 0, 10, 10), hidden);
    placed(Label::create(), Rect(0, 900, 100, 20), root)->setText("Below");

    const TextScreen screen = TextScreen::capture(*window);
    EXPECT_EQ(screen.text(),
              "Window 390x844\n"
              "  View 0,0 390x844 <NavigationController>\n"
              "    NavigationBar \"Settings\"\n"
              "      BarButtonItem #1 right done\n"
              "      SearchBar #2 text \"\" placeholder \"Search\"\n"
              "    View 0,0 390x844 <ViewController>\n"
              "      Label 16,100 200x21 \"Subtitles \\\"large\\\"\"\n"
              "      Button #3 16,130 80x44 \"Play\"\n"
              "      Button #4 100,130 44x44 sym:stop.fill disabled\n"
              "      Switch #5 16,180 51x31 on\n"
              "      Slider #6 16,220 200x30 value 1.25 of 0.5..2\n"
              "      SegmentedControl #7 16,260 200x32 segments \"Low\" [\"High\"]\n"
              "      TextField #8 16,300 300x34 text \"\" placeholder \"Name\"\n"
              "      ImageView 16,340 24x24 sym:film\n"
              "      ProgressView 16,370 300x4 progress 0.4\n"
              "      View #9 0,400 390x100\n"
              "        Label 16,410 100x20 \"Card\"\n"
              "      View 0,520 390x100 hidden\n"
              "      Label 0,900 100x20 offscreen\n");
    ASSERT_EQ(screen.targets().size(), 9u);
    EXPECT_EQ(screen.targets()[2].view, play);
    EXPECT_EQ(screen.targets()[8].view, card);
    EXPECT_EQ(screen.targets()[8].innerTexts, std::vector<std::string>{"Card"});
    EXPECT_EQ(TextScreen::capture(*window).text(), screen.text());  // the same screen prints the same
}

TEST_F(TextScreenTest, AlertsMenusAndPopoversPrintAboveTheScreenWithTheirAnchors) {
    auto more = placed(Button::create(), Rect(300, 100, 44, 44), settings->view());
    more->setImage(Image::systemImage("ellipsis"), ControlState::normal);
    const std::vector<std::shared_ptr<MenuElement>> orders{Action::create("Name"), Action::create("Date")};
    auto sort = Menu::create("Sort By", nullptr, {}, Menu::none, orders);
    const std::vector<std::shared_ptr<MenuElement>> dangerous{
        Action::create("Delete", nullptr, {}, Action::destructive),
        Action::create("Secret", nullptr, {}, Action::hidden)};
    const std::vector<std::shared_ptr<MenuElement>> entries{
        Action::create("Rename"), Menu::create({}, nullptr, {}, Menu::displayInline, dangerous), sort};
    more->setMenu(Menu::create(entries));
    more->setShowsMenuAsPrimaryAction(true);

    auto options = ViewController::create();
    options->setModalPresentationStyle(ModalPresentationStyle::popover);
    options->popoverPresentationController()->setSourceView(more);
    using Keep = testing_support::KeepPopoverDelegate;
    auto keep = std::make_shared<Keep>();
    options->popoverPresentationController()->setDelegate(keep);
    options->setPreferredContentSize(Size{200, 100});
    navigation->present(options, false);
    ASSERT_TRUE(more->tap());

    auto alert = AlertController::create("Rename", "Enter a new name.", AlertControllerStyle::alert);
    alert->addTextField([](TextField& field) { field.setText("Clip"); });
    alert->addAction(AlertAction::create("Cancel", AlertActionStyle::cancel));
    alert->addAction(AlertAction::create("Rename", AlertActionStyle::defaultStyle));
    alert->setPreferredAction(alert->actions()[1]);
    options->present(alert, false);

    const std::string text = TextScreen::capture(*window).text();
    const auto popover = text.find("<ViewController> popover anchor #3 at 300,100 44x44\n");
    const auto alertLine = text.find(
        "  Alert \"Rename\" \"Enter a new name.\"\n"
        "    TextField #4 text \"Clip\"\n"
        "    AlertAction #5 \"Cancel\" cancel\n"
        "    AlertAction #6 \"Rename\" preferred\n");
    const auto menu = text.find(
        "  Menu anchor #3\n"
        "    MenuAction #7 \"Rename\"\n"
        "    ---\n"
        "    MenuAction #8 \"Delete\" destructive\n"
        "    ---\n"
        "    Submenu #9 \"Sort By\"\n");
    EXPECT_NE(popover, std::string::npos) << text;
    EXPECT_NE(alertLine, std::string::npos) << text;
    EXPECT_NE(menu, std::string::npos) << text;
    EXPECT_LT(popover, alertLine);
    EXPECT_LT(alertLine, menu);
    EXPECT_EQ(text.find("Secret"), std::string::npos);
}

TEST(TextScreenTableTest, RowsPrintWithTheirIndexPathsSelectionAndAccessoriesUnderTheirHeaders) {
    dispatch::ScopedMainRunLoop loop;
    auto window = Window::create(Rect(0, 0, 390, 300));
    auto root = ViewController::create();
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    auto table = TableView::create(Rect(0, 0, 390, 300), TableViewStyle::plain);
    table->registerCell("row", [] { return TableViewCell::create(TableViewCellStyle::defaultStyle); });
    auto source = TableViewDiffableDataSource<int, std::string>::create(
        table, [](TableView& t, const IndexPath& p, const std::string& item) {
            auto cell = t.dequeueReusableCell("row", p);
            cell->textLabel()->setText(item);
            cell->setAccessoryType(item == "English" ? TableViewCellAccessoryType::checkmark
                                                     : TableViewCellAccessoryType::none);
            return cell;
        });
    source->headerTitleProvider = [](TableView&, int section) {
        return std::optional<std::string>(section ? "Subtitles" : "Audio");
    };
    DiffableDataSourceSnapshot<int, std::string> snapshot;
    snapshot.appendSections({0, 1});
    snapshot.appendItems({"English", "French"}, 0);
    snapshot.appendItems({"Off"}, 1);
    source->apply(snapshot, false);
    root->view()->addSubview(table);
    table->selectRow({0, 1});

    const std::string text = TextScreen::capture(*window).text();
    EXPECT_NE(text.find("    TableView #1 0,0 390x300 offset 0,0 content 390x188\n"
                        "      TableViewCell #2 0,28 390x44 [0,0] checkmark\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("      TableViewCell #3 0,72 390x44 [0,1] selected\n"), std::string::npos) << text;
    EXPECT_NE(text.find("      TableViewCell #4 0,144 390x44 [1,0]\n"), std::string::npos) << text;
    const auto header = text.find("      TableViewHeaderFooterView 0,116 390x28\n");
    ASSERT_NE(header, std::string::npos) << text;
    EXPECT_NE(text.find("\"Subtitles\"", header), std::string::npos) << text;
}

}  // namespace
}  // namespace ui
