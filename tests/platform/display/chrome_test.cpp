#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "pixel_checks.h"
#include "platform/dispatch/run_loop.h"
#include "platform/display/symbol_icons.h"
#include "platform/display/view_painter.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/popover_presentation_controller.h"
#include "platform/ui/controllers/search_controller.h"
#include "platform/ui/controls/bar_button_item.h"
#include "platform/ui/controls/menu.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/controls/search_bar.h"
#include "platform/ui/screen/screen_driver.h"
#include "platform/ui/screen/text_screen.h"
#include "platform/ui/views/window.h"

namespace display {
namespace {

using ui::Rect;

class ChromeTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = ui::Window::create(Rect(0, 0, 400, 300));
        root = ui::ViewController::create();
        root->setTitle("Library");
        navigation = ui::NavigationController::create(root);
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        loop.runUntilIdle();
    }
    ChromePainter::Result paint(double scale = 1, int highlighted = 0) {
        return paintWith(painter, scale, highlighted);
    }
    // The window and its chrome painted by `with` into a new target, as the display host paints them.
    ChromePainter::Result paintWith(ViewPainter& with, double scale, int highlighted = 0) {
        auto surface = createSurface(static_cast<int>(400 * scale), static_cast<int>(300 * scale));
        CairoPtr cr(cairo_create(surface.get()));
        with.paint(*window, cr.get(), scale);
        auto result = with.paintChrome(*window, cr.get(), scale, highlighted);
        cr.reset();
        image = imageFromSurface(surface.get());
        return result;
    }
    // Paints with `cached`, then with a painter that keeps nothing: the two agree but for rounding.
    ::testing::AssertionResult agreesWithAPaintThatKeepsNothing(ViewPainter& cached, double scale) {
        paintWith(cached, scale);
        const auto kept = image;
        ViewPainter everyTime{SymbolIcons::shared()};
        everyTime.setCaching(false);
        paintWith(everyTime, scale);
        return sameButForRounding(kept, image) << " at scale " << scale;
    }
    // The handle the printed screen gives the bar item, alert action or menu entry titled `title`.
    int handleOf(const std::string& title) {
        const auto screen = ui::TextScreen::capture(*window);
        for (size_t i = 0; i < screen.targets().size(); ++i) {
            const auto& target = screen.targets()[i];
            if (target.title == title || std::ranges::count(target.texts, title) > 0) return static_cast<int>(i) + 1;
        }
        ADD_FAILURE() << "nothing titled " << title << " on the screen";
        return 0;
    }
    // An alert with two actions side by side, Cancel first, shown once its presentation is done.
    void presentDeleteAlert() {
        auto alert = ui::AlertController::create("Delete Clip?", std::nullopt, ui::AlertControllerStyle::alert);
        alert->addAction(ui::AlertAction::create("Cancel", ui::AlertActionStyle::cancel, nullptr));
        alert->addAction(ui::AlertAction::create("Delete", ui::AlertActionStyle::destructive, nullptr));
        root->present(alert, false);
        loop.advanceSeconds(1);
    }
    // Whether a click at the centre of the target with `handle` reaches what the screen prints there.
    static const ChromeTarget* target(const ChromePainter::Result& result, int handle) {
        for (const auto& t : result.targets)
            if (t.handle == handle) return &t;
        return nullptr;
    }

    dispatch::ScopedMainRunLoop loop;
    ViewPainter painter{SymbolIcons::shared()};
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::ViewController> root;
    std::shared_ptr<ui::NavigationController> navigation;
    gfx::Image image;
};

TEST_F(ChromeTest, TheNavigationBarShowsTheTitleAndItsItemsWhereTheirHandlesAct) {
    int pressed = 0;
    auto edit = ui::BarButtonItem::create("Edit");
    edit->setTarget(nullptr, [&](ui::BarButtonItem&) { ++pressed; });
    root->navigationItem()->setRightBarButtonItem(edit);
    auto result = paint();
    ASSERT_EQ(result.targets.size(), 1u);
    const auto& item = result.targets[0];
    EXPECT_GT(item.rect.origin.x, 300);  // on the right of the bar
    EXPECT_LT(item.rect.origin.y + item.rect.size.height, ui::NavigationController::barHeight + 1);
    EXPECT_FALSE(result.modal);
    // Text is drawn in the middle of the bar (the title) and nowhere below it.
    auto inked = [&](int x0, int x1, int y0, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) count += image.pixel(x, y).r > 200 && image.pixel(x, y).g > 200;
        return count;
    };
    EXPECT_GT(inked(150, 250, 10, 34), 20);
    ui::ScreenDriver driver(window);
    ASSERT_TRUE(driver.tap("#" + std::to_string(item.handle)));
    EXPECT_EQ(pressed, 1);
}

TEST_F(ChromeTest, AScreenThatSearchesShowsItsFieldInTheBarAndAClickEditsIt) {
    auto search = ui::SearchController::create();
    search->searchBar()->setPlaceholder("Search");
    root->navigationItem()->setSearchController(search);
    auto bar = search->searchBar();
    // Pixels right of the magnifier that stand out from the field's plate (text, the caret).
    auto inked = [&](const Rect& r) {
        const auto plate = image.pixel(static_cast<int>(r.minX()) + 3, static_cast<int>(r.midY()));
        int count = 0;
        for (int y = static_cast<int>(r.minY()); y < static_cast<int>(r.maxY()); ++y)
            for (int x = static_cast<int>(r.minX()) + 30; x < static_cast<int>(r.maxX()); ++x)
                count += std::abs(image.pixel(x, y).g - plate.g) > 40;
        return count;
    };
    auto result = paint();
    ASSERT_EQ(result.targets.size(), 1u);
    const auto field = result.targets[0];
    EXPECT_EQ(field.handle, handleOf("Search")) << "the printed screen's search bar";
    EXPECT_LT(field.rect.maxY(), ui::NavigationController::barHeight);
    const int placeholder = inked(field.rect);
    EXPECT_GT(placeholder, 0) << "the placeholder shows";
    const auto plate = image.pixel(static_cast<int>(field.rect.minX()) + 3, static_cast<int>(field.rect.midY()));
    EXPECT_GT(plate.r, image.pixel(5, 40).r) << "the field's plate is lighter than the bar";

    ASSERT_TRUE(field.action);
    field.action();  // the click
    EXPECT_TRUE(bar->isEditing());
    bar->type("Holiday at the sea");
    result = paint();
    ASSERT_EQ(result.targets.size(), 2u) << "the field and its Cancel button";
    EXPECT_GT(inked(result.targets[0].rect), placeholder * 2) << "the typed text shows, brighter than the placeholder";
    result.targets[1].action();
    EXPECT_FALSE(bar->isEditing());
    EXPECT_EQ(bar->text().value_or(""), "");
}

TEST_F(ChromeTest, AScreenPresentedOverTheWholeWindowCoversTheBarAndItsItems) {
    root->navigationItem()->setRightBarButtonItem(ui::BarButtonItem::create("Edit"));
    auto player = ui::ViewController::create();
    player->setModalPresentationStyle(ui::ModalPresentationStyle::fullScreen);
    player->view()->setBackgroundColor(ui::Color::black());
    root->present(player, false);
    loop.runUntilIdle();
    auto covered = paint();
    EXPECT_TRUE(covered.targets.empty()) << "a click on the bar's place reaches the presented screen";
    EXPECT_EQ(image.pixel(200, 22).r, 0) << "no title drawn over it";

    // A clear view over the window (a popover's dimming) leaves the bar as it is.
    player->dismiss(false);
    loop.runUntilIdle();
    auto dimming = ui::View::create(Rect(0, 0, 400, 300));
    window->addSubview(dimming);
    EXPECT_EQ(paint().targets.size(), 1u);
}

// A popover that stays one in a compact window, as the library's menus do.
class StaysAPopover : public ui::PopoverPresentationControllerDelegate {
public:
    std::optional<ui::ModalPresentationStyle> adaptivePresentationStyle(ui::PopoverPresentationController&,
                                                                        const ui::TraitCollection&) override {
        return ui::ModalPresentationStyle::none;
    }
};

// A sheet leaves the top of the screen under it in view, but none of that screen's bar takes a
// click where the sheet lies (its own bar's segment there does), nor is it drawn over the sheet;
// under a popover the bar's items show but a click there goes to the touch path that dismisses it.
TEST_F(ChromeTest, OnlyTheTopmostPresentedScreenTakesClicksWhereItLies) {
    int pressed = 0;
    auto edit = ui::BarButtonItem::create("Edit");
    edit->setTarget(nullptr, [&](ui::BarButtonItem&) { ++pressed; });
    root->navigationItem()->setRightBarButtonItem(edit);
    root->navigationItem()->setLeftBarButtonItem(ui::BarButtonItem::create("Done"));
    auto sheet = ui::NavigationController::create(ui::ViewController::create());  // clear, as a page's is
    sheet->setModalPresentationStyle(ui::ModalPresentationStyle::formSheet);
    root->present(sheet, false);
    loop.runUntilIdle();
    const auto result = paint();
    EXPECT_TRUE(std::none_of(result.targets.begin(), result.targets.end(), [](const ChromeTarget& t) {
        return t.rect.intersects(Rect(0, 10, 400, 290));
    })) << "a bar item under the sheet takes a click";
    ui::ScreenDriver driver(window);
    EXPECT_FALSE(driver.tap("Edit")) << "the text host's finger does not reach it either";
    EXPECT_EQ(pressed, 0);
    sheet->dismiss(false);
    loop.runUntilIdle();

    auto menu = ui::ViewController::create();
    auto staysAPopover = std::make_shared<StaysAPopover>();
    menu->setModalPresentationStyle(ui::ModalPresentationStyle::popover);
    menu->setPreferredContentSize({200, 100});
    menu->popoverPresentationController()->setDelegate(staysAPopover);
    menu->popoverPresentationController()->setBarButtonItem(edit);
    menu->popoverPresentationController()->setSourceRect(Rect(300, 0, 80, 44));
    root->present(menu, false);
    loop.runUntilIdle();
    const auto under = paint();
    const auto shown = std::find_if(under.targets.begin(), under.targets.end(),
                                    [&](const ChromeTarget& t) { return t.handle == handleOf("Done"); });
    ASSERT_NE(shown, under.targets.end()) << "the item away from the popover is drawn";
    EXPECT_FALSE(shown->takesClicks);
    EXPECT_FALSE(driver.tap("Edit")) << "the touch only dismisses the popover";
    EXPECT_EQ(pressed, 0);
    EXPECT_EQ(root->presentedViewController(), nullptr);
}

// A background that draws nothing and puts the content right under its anchor, as the library's
// import menu has.
class ClearPopoverBackground : public ui::PopoverBackgroundView {
public:
    ClearPopoverBackground() : ui::PopoverBackgroundView(Rect()) {}
    double arrowHeight() const override { return 7; }
    ui::EdgeInsets contentViewInsets() const override { return {0, 0, 0, 0}; }
};

// A popover hung from an item at the window's edge keeps a margin from it, and its content shows
// inside rounded corners even where its background draws none.
TEST_F(ChromeTest, APopoverKeepsClearOfTheWindowsEdgeAndRoundsItsCorners) {
    window->setBackgroundColor(ui::Color::redColor());
    root->view()->setBackgroundColor(ui::Color::redColor());
    auto edit = ui::BarButtonItem::create("Edit");
    root->navigationItem()->setRightBarButtonItem(edit);
    auto menu = ui::ViewController::create();
    menu->view()->setBackgroundColor(ui::Color::white());
    auto staysAPopover = std::make_shared<StaysAPopover>();
    menu->setModalPresentationStyle(ui::ModalPresentationStyle::popover);
    menu->setPreferredContentSize({300, 120});
    auto popover = menu->popoverPresentationController();
    popover->setDelegate(staysAPopover);
    popover->setPopoverBackgroundViewClass("ClearPopoverBackground",
                                           [] { return std::make_shared<ClearPopoverBackground>(); });
    popover->setBarButtonItem(edit);
    root->present(menu, false);
    loop.runUntilIdle();
    paint();
    // The white content's extent along a row through its middle.
    auto isWhite = [&](int x, int y) {
        const auto p = image.pixel(x, y);
        return p.r > 230 && p.g > 230 && p.b > 230;
    };
    int right = -1, top = 110;
    for (int x = 0; x < 400; ++x)
        if (isWhite(x, 110)) right = x;
    ASSERT_GT(right, 0) << "the popover shows";
    while (top > 0 && isWhite(right - 40, top - 1)) --top;
    EXPECT_LE(right, 400 - 8) << "its content stops short of the window's right edge";
    // Its top right corner is rounded: the corner pixel shows what lies under it, a pixel well
    // inside does not.
    EXPECT_FALSE(isWhite(right, top)) << "square corner at " << right << "," << top;
    EXPECT_TRUE(isWhite(right - 12, top + 12));
}

TEST_F(ChromeTest, APushedScreenGetsABackButtonThatGoesBack) {
    auto second = ui::ViewController::create();
    second->setTitle("Movies");
    navigation->pushViewController(second, false);
    loop.runUntilIdle();
    auto result = paint();
    ASSERT_EQ(result.targets.size(), 1u);
    EXPECT_LT(result.targets[0].rect.origin.x, 20);
    ui::ScreenDriver driver(window);
    ASSERT_TRUE(driver.tap("#" + std::to_string(result.targets[0].handle)));
    EXPECT_EQ(navigation->topViewController(), root);
}

TEST_F(ChromeTest, AnAlertIsModalAndEachActionIsATarget) {
    std::string chosen;
    auto alert = ui::AlertController::create("Rename Failed", "There was an issue renaming this file.",
                                             ui::AlertControllerStyle::alert);
    alert->addAction(ui::AlertAction::create("OK", ui::AlertActionStyle::defaultStyle,
                                             [&](ui::AlertAction& action) { chosen = action.title(); }));
    root->present(alert, false);
    loop.advanceSeconds(1);
    auto result = paint();
    EXPECT_TRUE(result.modal);
    ASSERT_EQ(result.targets.size(), 1u);
    const auto& ok = result.targets[0];
    EXPECT_NEAR(ok.rect.origin.x + ok.rect.size.width / 2, 200, 1);  // centred
    EXPECT_LT(image.pixel(5, 5).r, 140);                             // the window dimmed behind it
    ui::ScreenDriver driver(window);
    ASSERT_TRUE(driver.tap("#" + std::to_string(ok.handle)));
    loop.advanceSeconds(1);
    EXPECT_EQ(chosen, "OK");
}

// The dimming lies over the bar as over the rest: its title and items show, darker, and only the
// alert's actions take clicks.
TEST_F(ChromeTest, AnAlertDimsTheBarUnderItWithItsTitleAndItems) {
    root->navigationItem()->setRightBarButtonItem(ui::BarButtonItem::create("Edit"));
    // What under the window's top stands out from the bar's plate at (5, 5): the title, the item.
    auto inked = [&](const Rect& r) {
        const auto plate = image.pixel(5, 5);
        int count = 0;
        for (int y = static_cast<int>(r.minY()); y < static_cast<int>(r.maxY()); ++y)
            for (int x = static_cast<int>(r.minX()); x < static_cast<int>(r.maxX()); ++x) {
                const auto p = image.pixel(x, y);
                count += std::abs(p.r - plate.r) + std::abs(p.g - plate.g) + std::abs(p.b - plate.b) > 45;
            }
        return count;
    };
    const Rect title(150, 8, 100, 28), item(330, 8, 70, 28);
    paint();
    const auto plain = image.pixel(5, 5);
    const int titleInk = inked(title), itemInk = inked(item);
    ASSERT_GT(titleInk, 20);
    ASSERT_GT(itemInk, 10);
    presentDeleteAlert();
    const auto result = paint();
    EXPECT_LT(image.pixel(5, 5).g, plain.g) << "the bar is dimmed";
    EXPECT_GT(image.pixel(5, 5).g, 0) << "and drawn";
    EXPECT_GT(inked(title), titleInk / 2) << "the title shows under the dimming";
    EXPECT_GT(inked(item), itemInk / 2) << "the item shows under the dimming";
    EXPECT_EQ(result.targets.size(), 2u) << "only the alert's actions take clicks";
}

TEST_F(ChromeTest, AnAlertsLongMessageWrapsAndTheAlertGrowsToHoldIt) {
    const std::string message =
        "The file could not be moved because a file with the same name already exists in the folder you chose.";
    auto alert = ui::AlertController::create("Move Failed", message, ui::AlertControllerStyle::alert);
    alert->addAction(ui::AlertAction::create("OK", ui::AlertActionStyle::defaultStyle, nullptr));
    root->present(alert, false);
    loop.advanceSeconds(1);
    const auto result = paint();
    ASSERT_EQ(result.targets.size(), 1u);
    const auto ok = result.targets[0].rect;
    // The rows of text between the alert's title and its button: the message's lines.
    int textRows = 0, bands = 0;
    bool inBand = false;
    for (int y = 0; y < int(ok.origin.y) - 2; ++y) {
        bool inked = false;
        for (int x = 80; x < 320 && !inked; ++x) inked = image.pixel(x, y).r > 200;
        textRows += inked;
        if (inked && !inBand) ++bands;
        inBand = inked;
    }
    EXPECT_GE(bands, 4) << "the title and at least three lines of the message, not one line ending in an ellipsis";
    EXPECT_GT(textRows, 40);
}

TEST_F(ChromeTest, ASheetsBarCoversNothingAboveTheSheet) {
    navigation->setNavigationBarHidden(true);
    root->view()->setBackgroundColor(ui::Color::redColor());
    auto settings = ui::ViewController::create();
    settings->setTitle("Settings");
    settings->view()->setBackgroundColor(ui::Color::blueColor());
    auto sheet = ui::NavigationController::create(settings);
    sheet->setModalPresentationStyle(ui::ModalPresentationStyle::pageSheet);
    root->present(sheet, false);
    loop.runUntilIdle();
    const auto top = sheet->view()->frame().origin.y;
    ASSERT_GT(top, 4);
    paint();
    const auto above = image.pixel(200, 2), bar = image.pixel(200, int(top) + 2);
    EXPECT_TRUE(isColor(above, 255, 0, 0)) << "the screen behind the sheet shows above it";
    // The bar's colour over the sheet's blue.
    const auto c = ui::Color::secondarySystemBackground();
    const auto over = [](double bar, double under) { return int(std::lround((bar * 0.94 + under * 0.06) * 255)); };
    EXPECT_TRUE(isColor(bar, over(c.red, 0), over(c.green, 0), over(c.blue, 1)))
        << "the sheet's bar starts at the sheet's top";
}

// A menu with a title, a checked row, and a second group with a destructive row and an image.
std::shared_ptr<ui::Menu> sortMenu() {
    auto date = ui::Action::create("Date");
    date->setState(ui::Action::State::on);
    auto remove = ui::Action::create("Delete", ui::Image::systemImage("trash"), {}, ui::Action::destructive,
                                     ui::Action::State::off);
    return ui::Menu::create(
        "Sort By", nullptr, {}, ui::Menu::none,
        {ui::Menu::create("", nullptr, {}, ui::Menu::displayInline, {ui::Action::create("Name"), date}),
         ui::Menu::create("", nullptr, {}, ui::Menu::displayInline, {remove})});
}

// How many pixels of `region` (points at `scale`) differ between two images.
int pixelsThatDiffer(const gfx::Image& a, const gfx::Image& b, Rect region, double scale = 1) {
    int count = 0;
    for (int y = int(region.origin.y * scale); y < int(region.maxY() * scale); ++y)
        for (int x = int(region.origin.x * scale); x < int(region.maxX() * scale); ++x) {
            const auto p = a.pixel(x, y), q = b.pixel(x, y);
            count += p.r != q.r || p.g != q.g || p.b != q.b || p.a != q.a;
        }
    return count;
}

TEST_F(ChromeTest, ASecondPaintCompositesTheBarTheMenuAndTheAlertWithoutDrawingThemAndKeepsTheirTargets) {
    auto edit = ui::BarButtonItem::create("Edit");
    root->navigationItem()->setRightBarButtonItem(edit);
    window->presentMenu(sortMenu(), nullptr, edit);
    const auto first = paint();
    const auto firstImage = image;
    EXPECT_EQ(painter.chromeDraws(), 2u) << "the bar and the menu";
    const auto second = paint();
    EXPECT_EQ(painter.chromeDraws(), 2u);
    EXPECT_EQ(difference(firstImage, image).largest, 0);
    ASSERT_EQ(second.targets.size(), first.targets.size());
    EXPECT_EQ(second.targets.size(), 4u) << "Edit and the menu's three rows";
    for (size_t i = 0; i < first.targets.size(); ++i) {
        EXPECT_EQ(second.targets[i].rect, first.targets[i].rect);
        EXPECT_EQ(second.targets[i].handle, first.targets[i].handle);
    }
    EXPECT_EQ(second.menuRects, first.menuRects);

    // Once the menu closes and an alert shows, the alert is drawn once and the bar not again.
    window->presentedMenu()->close();
    presentDeleteAlert();
    EXPECT_TRUE(paint().modal);
    EXPECT_EQ(painter.chromeDraws(), 3u);
    const auto withAlert = image;
    EXPECT_EQ(paint().targets.size(), 2u) << "under the alert only its actions take touches";
    EXPECT_EQ(painter.chromeDraws(), 3u);
    EXPECT_EQ(difference(withAlert, image).largest, 0);
}

TEST_F(ChromeTest, ReadRightToLeftAMenuHangsFromItsItemsLeftEdgeAndAnAlertsFirstButtonIsAtTheRight) {
    auto traits = window->windowTraitCollection();
    traits.layoutDirection = ui::TraitEnvironmentLayoutDirection::rightToLeft;
    window->setTraitCollection(traits);
    // A right item sits at the bar's left; its menu hangs from there, its check mark at the right.
    auto edit = ui::BarButtonItem::create("Edit");
    root->navigationItem()->setRightBarButtonItem(edit);
    window->presentMenu(sortMenu(), nullptr, edit);
    auto result = paint();
    const auto* item = target(result, handleOf("Edit"));
    ASSERT_TRUE(item);
    EXPECT_LT(item->rect.maxX(), 100);
    ASSERT_EQ(result.menuRects.size(), 1u);
    EXPECT_EQ(result.menuRects[0].minX(), 8) << "from the item's left edge, kept inside the window";
    const auto* date = target(result, handleOf("Date"));
    ASSERT_TRUE(date);
    const auto checked = [&](double fromX, double toX) {
        int ink = 0;
        for (int y = static_cast<int>(date->rect.minY()) + 12; y < static_cast<int>(date->rect.maxY()) - 12; ++y)
            for (int x = static_cast<int>(fromX); x < static_cast<int>(toX); ++x) ink += image.pixel(x, y).r > 160;
        return ink;
    };
    EXPECT_GT(checked(date->rect.maxX() - 30, date->rect.maxX() - 8), 5) << "the check mark at the row's right";
    EXPECT_EQ(checked(date->rect.minX() + 4, date->rect.minX() + 30), 0);

    window->presentedMenu()->close();
    presentDeleteAlert();
    result = paint();
    const auto* cancel = target(result, handleOf("Cancel"));
    const auto* remove = target(result, handleOf("Delete"));
    ASSERT_TRUE(cancel && remove);
    EXPECT_GT(cancel->rect.minX(), remove->rect.maxX() - 1) << "the first action at the right";
}

TEST_F(ChromeTest, AChangedTitleOrAHeldMenuRowDrawsThatPieceAloneOnce) {
    auto edit = ui::BarButtonItem::create("Edit");
    root->navigationItem()->setRightBarButtonItem(edit);
    window->presentMenu(sortMenu(), nullptr, edit);
    const auto result = paint();
    ASSERT_EQ(result.menuRects.size(), 1u);
    const Rect menu = result.menuRects[0];
    const Rect bar(0, 0, 400, ui::NavigationController::barHeight);
    const auto before = image;
    const auto draws = painter.chromeDraws();

    root->navigationItem()->setTitle("Movies");
    paint();
    EXPECT_EQ(painter.chromeDraws(), draws + 1);
    EXPECT_GT(pixelsThatDiffer(before, image, bar), 50) << "the new title shows";
    EXPECT_EQ(pixelsThatDiffer(before, image, menu), 0) << "the menu is copied";
    paint();
    EXPECT_EQ(painter.chromeDraws(), draws + 1);
    const auto retitled = image;

    // A held row shows pressed; the bar is copied.
    const int name = handleOf("Name");
    const auto held = paint(1, name);
    EXPECT_EQ(painter.chromeDraws(), draws + 2);
    EXPECT_EQ(pixelsThatDiffer(retitled, image, bar), 0);
    const ChromeTarget* row = target(held, name);
    ASSERT_NE(row, nullptr);
    const int x = int(row->rect.origin.x + 4), y = int(row->rect.origin.y + row->rect.size.height / 2);
    EXPECT_GE(std::abs(image.pixel(x, y).r - retitled.pixel(x, y).r), 10) << "the held row shows pressed";
    const int below = int(row->rect.maxY() + 20);
    EXPECT_EQ(image.pixel(x, below), retitled.pixel(x, below)) << "the next row is not";
    paint(1, name);
    EXPECT_EQ(painter.chromeDraws(), draws + 2);
    paint();
    EXPECT_EQ(painter.chromeDraws(), draws + 3);
    EXPECT_EQ(difference(retitled, image).largest, 0) << "released, the menu is as it was";
}

TEST_F(ChromeTest, AHeldBarItemFadesAndAHeldAlertActionShowsPressed) {
    root->navigationItem()->setRightBarButtonItem(ui::BarButtonItem::create("Edit"));
    const auto result = paint();
    const auto edit = result.targets.at(0).rect;
    // How far the pixels of `r` stand out from the bar's colour at its corner.
    const auto contrastIn = [&](Rect r) {
        const auto background = image.pixel(int(r.origin.x) + 1, int(r.origin.y) + 1);
        int contrast = 0;
        for (int y = int(r.origin.y); y < int(r.maxY()); ++y)
            for (int x = int(r.origin.x); x < int(r.maxX()); ++x) {
                const auto p = image.pixel(x, y);
                contrast += std::abs(p.r - background.r) + std::abs(p.g - background.g) + std::abs(p.b - background.b);
            }
        return contrast;
    };
    const int normal = contrastIn(edit);
    EXPECT_GT(normal, 5000);
    paint(1, result.targets[0].handle);
    EXPECT_LT(contrastIn(edit) * 2, normal) << "the held item fades";

    auto alert = ui::AlertController::create("Rename Failed", std::nullopt, ui::AlertControllerStyle::alert);
    alert->addAction(ui::AlertAction::create("OK", ui::AlertActionStyle::defaultStyle, nullptr));
    root->present(alert, false);
    loop.advanceSeconds(1);
    const auto shown = paint();
    ASSERT_EQ(shown.targets.size(), 1u);
    const auto ok = shown.targets[0];
    const auto idle = image;
    paint(1, ok.handle);
    // Beside the title the row's colour changes; its rounded bottom corner stays outside the alert.
    const int x = int(ok.rect.origin.x + 20), y = int(ok.rect.origin.y + ok.rect.size.height / 2);
    EXPECT_GE(std::abs(image.pixel(x, y).r - idle.pixel(x, y).r), 5);
    const int left = int(ok.rect.origin.x), bottom = int(ok.rect.maxY()) - 1;
    EXPECT_EQ(image.pixel(left, bottom), idle.pixel(left, bottom));
}

TEST_F(ChromeTest, KeptChromeMatchesChromeDrawnEveryTimeAtScalesOneAndTwo) {
    auto second = ui::ViewController::create();
    second->setTitle("Holiday Clips");
    second->view()->setBackgroundColor(ui::Color::systemBackground());
    second->navigationItem()->setRightBarButtonItems(
        {ui::BarButtonItem::create(ui::BarButtonItem::SystemItem::add), ui::BarButtonItem::create("Select")});
    navigation->pushViewController(second, false);
    // An anchor off the pixel grid: at scale 1 the menu lies half a pixel off it.
    auto anchor = ui::View::create(Rect(300.5, 60.25, 80, 30));
    second->view()->addSubview(anchor);
    loop.runUntilIdle();
    window->presentMenu(sortMenu(), anchor);
    for (double scale : {1.0, 2.0}) {
        ViewPainter cached{SymbolIcons::shared()};
        paintWith(cached, scale);
        const auto draws = cached.chromeDraws();
        EXPECT_TRUE(agreesWithAPaintThatKeepsNothing(cached, scale));
        EXPECT_EQ(cached.chromeDraws(), draws) << "scale " << scale;
        // Moved by whole points the menu is copied to its new place; by half a point at scale 1
        // it is drawn again there.
        anchor->setFrame(Rect(290.5, 70.25, 80, 30));
        EXPECT_TRUE(agreesWithAPaintThatKeepsNothing(cached, scale));
        EXPECT_EQ(cached.chromeDraws(), draws) << "scale " << scale;
        anchor->setFrame(Rect(290, 70.25, 80, 30));
        EXPECT_TRUE(agreesWithAPaintThatKeepsNothing(cached, scale));
        EXPECT_EQ(cached.chromeDraws(), draws + (scale == 1 ? 1 : 0)) << "scale " << scale;
        anchor->setFrame(Rect(300.5, 60.25, 80, 30));
    }

    // An alert with a text field and two actions side by side: the same at both scales.
    window->presentedMenu()->close();
    auto alert = ui::AlertController::create("New Folder", "Name the folder", ui::AlertControllerStyle::alert);
    alert->addTextField([](ui::TextField& field) { field.setPlaceholder("Folder name"); });
    alert->addAction(ui::AlertAction::create("Cancel", ui::AlertActionStyle::cancel, nullptr));
    alert->addAction(ui::AlertAction::create("Create", ui::AlertActionStyle::defaultStyle, nullptr));
    second->present(alert, false);
    loop.advanceSeconds(1);
    for (double scale : {1.0, 2.0}) {
        ViewPainter cached{SymbolIcons::shared()};
        paintWith(cached, scale);
        EXPECT_TRUE(agreesWithAPaintThatKeepsNothing(cached, scale));
        EXPECT_EQ(cached.chromeDraws(), 2u) << "the bar and the alert, once each";
    }
}

TEST_F(ChromeTest, ATitleViewIsDrawnInTheBarInPlaceOfTheTitle) {
    auto titleView = ui::View::create(Rect(0, 0, 100, 30));
    titleView->setBackgroundColor(ui::Color(1, 0, 0, 1));
    root->navigationItem()->setTitleView(titleView);
    window->layoutIfNeeded();
    ASSERT_EQ(titleView->frame(), Rect(150, 7, 100, 30));
    paint(2);
    EXPECT_TRUE(isColor(image.pixel(400, 44), 255, 0, 0)) << "the bar is drawn under it, not over it";
    EXPECT_TRUE(isColor(image.pixel(304, 60), 255, 0, 0));
    EXPECT_FALSE(isColor(image.pixel(280, 44), 255, 0, 0)) << "beside it the bar shows";
    // A screen presented over the whole window covers it.
    auto player = ui::ViewController::create();
    player->setModalPresentationStyle(ui::ModalPresentationStyle::fullScreen);
    player->view()->setBackgroundColor(ui::Color::black());
    root->present(player, false);
    loop.runUntilIdle();
    paint(2);
    EXPECT_TRUE(isColor(image.pixel(400, 44), 0, 0, 0));
}

}  // namespace
}  // namespace display
