#include <gtest/gtest.h>

#include "platform/base/fatal.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/controllers/table_view_controller.h"
#include "platform/ui/scenes/photo_library.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

// Two sections with titled headers; the last footer is styled as it appears.
class Settings : public TableViewController {
public:
    static std::shared_ptr<Settings> create() { return make<Settings>(); }
    int numberOfSections(TableView&) override { return 2; }
    int numberOfRows(TableView&, int section) override { return section == 0 ? 2 : 1; }
    std::optional<std::string> titleForHeader(TableView&, int section) override {
        return section == 0 ? std::optional<std::string>("PLAYBACK") : std::nullopt;
    }
    std::optional<std::string> titleForFooter(TableView&, int section) override {
        return section == 1 ? std::optional<std::string>("Version 1.0") : std::nullopt;
    }
    void willDisplayFooterView(TableView&, View& view, int) override {
        if (auto* footer = dynamic_cast<TableViewHeaderFooterView*>(&view))
            footer->textLabel()->setTextAlignment(TextAlignment::center);
    }
    void prepareForSegue(StoryboardSegue& segue, const std::shared_ptr<Object>&) override {
        prepared = segue.identifier;
        segue.destination->setTitle("Storage");
    }
    std::string prepared;

protected:
    Settings() : TableViewController(TableViewStyle::insetGrouped) {}
};

TEST(TableViewControllerTest, TheControllerFeedsItsTableWithHeadersAndFooters) {
    auto settings = Settings::create();
    auto table = settings->tableView();
    table->reloadData();
    EXPECT_EQ(table->style(), TableViewStyle::insetGrouped);
    EXPECT_EQ(table->numberOfItems(0), 2);
    auto header = std::dynamic_pointer_cast<TableViewHeaderFooterView>(table->headerView(0));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->textLabel()->text(), "PLAYBACK");
    EXPECT_EQ(table->headerView(1), nullptr);
    auto footer = std::dynamic_pointer_cast<TableViewHeaderFooterView>(table->footerView(1));
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->textLabel()->textAlignment(), TextAlignment::center);
    table->tapRow({0, 1});
    settings->beginAppearance(true, false);
    EXPECT_TRUE(table->selectedIndexPaths().empty());  // cleared as the screen appears
}

TEST(TableViewControllerTest, SeguesPrepareThenPushTheirDestination) {
    dispatch::ScopedMainRunLoop loop;
    Storyboard::registerController("Settings", "settings", [] { return Settings::create(); });
    Storyboard::registerController("Settings", "storage", [] { return ViewController::create(); });
    Storyboard::registerSegue("Settings", "storageSettings", "storage", StoryboardSegue::Kind::show);
    auto settings = Storyboard::named("Settings")->instantiate<Settings>("settings");
    ASSERT_NE(settings, nullptr);
    auto navigation = NavigationController::create(settings);
    auto window = Window::create();
    window->setRootViewController(navigation);
    window->makeKeyAndVisible();
    settings->performSegue("storageSettings");
    EXPECT_EQ(settings->prepared, "storageSettings");
    ASSERT_EQ(navigation->viewControllers().size(), 2u);
    EXPECT_EQ(navigation->topViewController()->title(), "Storage");
    base::ScopedFatalThrows throws;
    EXPECT_THROW(settings->performSegue("missing"), base::FatalError);
    Storyboard::unregisterStoryboard("Settings");
}

TEST(PhotoLibraryTest, SavesOrFailsAndAnswersOnTheMainQueue) {
    dispatch::ScopedMainRunLoop loop;
    auto& library = PhotoLibrary::shared();
    library.reset();
    auto image = Image::create(gfx::Image(2, 2));
    std::vector<bool> results;
    library.saveImage(image, [&](const std::shared_ptr<Image>& saved, std::optional<foundation::Error> error) {
        EXPECT_EQ(saved, image);
        results.push_back(!error);
    });
    EXPECT_TRUE(results.empty());
    loop.runUntilIdle();
    library.setAccessAllowed(false);
    library.saveImage(image, [&](const std::shared_ptr<Image>&, std::optional<foundation::Error> error) {
        results.push_back(!error);
    });
    loop.runUntilIdle();
    EXPECT_EQ(results, (std::vector<bool>{true, false}));
    EXPECT_EQ(library.savedImages().size(), 1u);
    library.reset();
}

}  // namespace
}  // namespace ui
