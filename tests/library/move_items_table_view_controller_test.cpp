#include "library/move_items_table_view_controller.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/documents_client.h"
#include "core/preferences.h"
#include "core/progress_client.h"
#include "platform/dispatch/run_loop.h"
#include "platform/foundation/container.h"
#include "platform/foundation/user_defaults.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/screen/screen_driver.h"
#include "platform/ui/views/window.h"
#include "support/temp_dir.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;

// Does what the folder screen does with the choice: finds each item in the manager's list by id
// just before moving (an item that is gone is skipped) and moves the rest into the folder.
class MovingScreen : public MoveItemsTableViewControllerDelegate {
public:
    explicit MovingScreen(std::shared_ptr<VideoManager> manager) : m_manager(std::move(manager)) {}

    void moveItems(const std::vector<LibraryItemPtr>& items, const FolderPtr& destination, bool toParent) override {
        chosen = destination->displayName();
        movedToParent = toParent;
        const auto library = m_manager->library();
        std::vector<int> positions;
        for (const auto& item : items) {
            for (std::size_t i = 0; i < library.size(); ++i)
                if (library[i]->id() == item->id()) positions.push_back(static_cast<int>(i));
        }
        moved = m_manager->move(positions, destination->url());
    }

    std::string chosen;
    bool movedToParent = false;
    bool moved = false;

private:
    std::shared_ptr<VideoManager> m_manager;
};

class MoveSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"A", "B", "Shows/Season 1", "Documents/Inner"})
            fs::create_directories(documents / folder);
        testing_support::writeFile(documents / "clip.mp4", "clip");
        testing_support::writeFile(documents / "movie.mkv", "movie");
        root->setView(ui::View::create(window->bounds()));
        window->setRootViewController(root);
        window->makeKeyAndVisible();
    }

    foundation::URL urlOf(const fs::path& path) const { return foundation::URL::fileURLWithPath(path.string()); }

    std::shared_ptr<VideoManager> rootManager() {
        auto manager = VideoManager::create(documentsClient, progressClient);
        manager->update(documentsClient->contents(documentsClient->documentsURL(), false));
        return manager;
    }
    std::shared_ptr<VideoManager> folderManager(const fs::path& relative) {
        auto manager = VideoManager::create(documentsClient, progressClient, ThumbnailCache::create(),
                                            urlOf(documents / relative));
        manager->videoManagerQueue()->sync([] {});  // its first listing
        return manager;
    }
    static LibraryItemPtr item(const VideoManager& manager, const std::string& name) {
        for (const auto& entry : manager.library())
            if (entry->displayName() == name) return entry;
        return nullptr;
    }

    // Opens the sheet as the folder screen does: in a navigation controller, as a form sheet.
    std::shared_ptr<MoveItemsTableViewController> open(const std::shared_ptr<VideoManager>& manager,
                                                       std::optional<std::vector<LibraryItemPtr>> items) {
        screen = std::make_shared<MovingScreen>(manager);
        auto sheet = MoveItemsTableViewController::create();
        sheet->setVideoManager(manager);
        sheet->setItemsToMove(std::move(items));
        sheet->setDelegate(screen);
        auto navigation = ui::NavigationController::create(sheet);
        navigation->setModalPresentationStyle(ui::ModalPresentationStyle::formSheet);
        root->present(navigation, true);
        driver.settle();
        return sheet;
    }
    std::vector<std::string> rows(MoveItemsTableViewController& sheet) {
        std::vector<std::string> texts;
        auto table = sheet.tableView();
        table->layoutIfNeeded();
        for (int row = 0; row < table->numberOfItems(0); ++row) {
            auto cell = table->cellForRow({0, row});
            texts.push_back(cell ? cell->textLabel()->text().value_or("") : "?");
        }
        return texts;
    }

    dispatch::ScopedMainRunLoop loop;
    testing_support::TempDir dir;
    foundation::ScopedContainer container{dir / "home"};
    fs::path documents = container.container().folder(foundation::SearchPathDirectory::documents);
    std::shared_ptr<DocumentsClient> documentsClient =
        DocumentsClient::create(Preferences::create(foundation::UserDefaults::create(dir / "defaults.json")));
    std::shared_ptr<ProgressClient> progressClient = ProgressClient::create();
    std::shared_ptr<ui::Window> window = ui::Window::create(ui::Rect(0, 0, 390, 844));
    std::shared_ptr<ui::ViewController> root = ui::ViewController::create();
    ui::ScreenDriver driver{window};
    std::shared_ptr<MovingScreen> screen;
};

TEST_F(MoveSheetTest, AtTheRootTheFoldersBeingMovedCannotBeChosen) {
    auto manager = rootManager();
    auto sheet = open(manager, std::vector{item(*manager, "A"), item(*manager, "clip"), item(*manager, "movie")});
    EXPECT_EQ(sheet->title(), "Move 3 Items");
    EXPECT_FALSE(sheet->hasParentFolder());
    EXPECT_EQ(rows(*sheet), (std::vector<std::string>{"A", "B", "Documents", "Shows"}));
    EXPECT_EQ(sheet->overlapIndices(), std::vector<int>{0});
    auto table = sheet->tableView();
    EXPECT_EQ(table->cellForRow({0, 0})->textLabel()->textColor(), ui::Color::darkGray());
    EXPECT_EQ(table->cellForRow({0, 1})->textLabel()->textColor(), ui::Color::white());
    EXPECT_EQ(table->cellForRow({0, 1})->imageView()->image()->symbolName(), "folder.fill");

    static_cast<void>(driver.tap("A"));  // greyed: the touch does not choose it
    EXPECT_FALSE(sheet->selectedItem().has_value());
    EXPECT_FALSE(sheet->confirmButton()->isEnabled());

    ASSERT_TRUE(driver.tap("Shows"));
    ASSERT_TRUE(driver.tap("B"));
    EXPECT_EQ(sheet->selectedItem(), 1);
    EXPECT_EQ(table->cellForRow({0, 1})->accessoryType(), ui::TableViewCellAccessoryType::checkmark);
    EXPECT_EQ(table->cellForRow({0, 3})->accessoryType(), ui::TableViewCellAccessoryType::none);
    EXPECT_TRUE(table->selectedIndexPaths().empty());  // deselected at once, the mark stays
    ASSERT_TRUE(driver.tap("Confirm"));

    EXPECT_EQ(screen->chosen, "B");
    EXPECT_FALSE(screen->movedToParent);
    EXPECT_TRUE(screen->moved);
    EXPECT_TRUE(fs::exists(documents / "B" / "A"));
    EXPECT_TRUE(fs::exists(documents / "B" / "clip.mp4"));
    EXPECT_TRUE(fs::exists(documents / "B" / "movie.mkv"));
    EXPECT_NE(root->presentedViewController(), nullptr);  // the screen, not the sheet, dismisses it
}

TEST_F(MoveSheetTest, BelowTheRootTheParentReadsLibraryAndTheCurrentFolderCannotBeChosen) {
    testing_support::writeFile(documents / "Shows" / "pilot.mp4", "pilot");
    auto manager = folderManager("Shows");
    auto sheet = open(manager, std::vector{item(*manager, "pilot")});
    EXPECT_EQ(sheet->title(), "Move 1 Item");
    EXPECT_TRUE(sheet->hasParentFolder());
    EXPECT_EQ(rows(*sheet), (std::vector<std::string>{"Library", "Shows", "Season 1"}));
    auto table = sheet->tableView();
    EXPECT_EQ(table->cellForRow({0, 1})->textLabel()->textColor(), ui::Color::darkGray());
    const auto folderImage = table->cellForRow({0, 2})->imageView()->image();
    EXPECT_EQ(folderImage->symbolName(), "folder.fill");
    EXPECT_EQ(folderImage->padding().left, 20);  // in line with the parent rows' images
    // The parent and the current folder show the open folder drawn for the program (28 x 22),
    // padded by the helper at the image's scale.
    for (int row : {0, 1}) {
        const auto opened = table->cellForRow({0, row})->imageView()->image();
        ASSERT_TRUE(opened) << row;
        ASSERT_TRUE(opened->cgImage());
        EXPECT_EQ(opened->size(), (ui::Size{28 + 3 * 10, 22 + 3 * 10}));
    }

    static_cast<void>(driver.tap("Shows"));
    EXPECT_FALSE(sheet->selectedItem().has_value());
    ASSERT_TRUE(driver.tap("Library"));
    ASSERT_TRUE(driver.tap("Confirm"));
    EXPECT_TRUE(screen->movedToParent);
    EXPECT_TRUE(fs::exists(documents / "pilot.mp4"));
    EXPECT_FALSE(fs::exists(documents / "Shows" / "pilot.mp4"));
}

TEST_F(MoveSheetTest, DeeperTheParentShowsItsNameEvenWhenAFolderIsCalledDocuments) {
    auto season = open(folderManager("Shows/Season 1"), std::nullopt);
    EXPECT_EQ(season->title(), "Move Items");
    EXPECT_EQ(rows(*season).front(), "Shows");
    ASSERT_TRUE(driver.tap("Cancel"));

    // The user's own "Documents" folder is not the library root.
    auto inner = open(folderManager("Documents/Inner"), std::nullopt);
    EXPECT_EQ(rows(*inner), (std::vector<std::string>{"Documents", "Inner"}));
}

TEST_F(MoveSheetTest, AnEmptyRootOffersNothingAndCancelClosesTheSheet) {
    for (const char* folder : {"A", "B", "Shows", "Documents"}) fs::remove_all(documents / folder);
    auto manager = rootManager();
    auto sheet = open(manager, std::vector{item(*manager, "clip")});
    EXPECT_TRUE(rows(*sheet).empty());
    EXPECT_FALSE(sheet->confirmButton()->isEnabled());
    EXPECT_FALSE(driver.tap("Confirm"));
    ASSERT_TRUE(driver.tap("Cancel"));
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_TRUE(screen->chosen.empty());
}

TEST_F(MoveSheetTest, ItemsAddedOrRemovedWhileTheSheetIsUpNeverShiftTheMove) {
    auto manager = rootManager();
    auto sheet = open(manager, std::vector{item(*manager, "clip"), item(*manager, "movie")});
    ASSERT_TRUE(driver.tap("B"));

    // An upload that sorts first and a deletion arrive while the user chooses.
    testing_support::writeFile(documents / "0 uploaded.mp4", "new");
    fs::remove(documents / "movie.mkv");
    manager->update(documentsClient->contents(documentsClient->documentsURL(), false));
    ASSERT_TRUE(driver.tap("Confirm"));

    EXPECT_TRUE(screen->moved);
    EXPECT_TRUE(fs::exists(documents / "B" / "clip.mp4"));
    EXPECT_TRUE(fs::exists(documents / "0 uploaded.mp4"));  // the neighbour stays
    EXPECT_TRUE(fs::exists(documents / "A"));
    EXPECT_FALSE(fs::exists(documents / "B" / "movie.mkv"));
}

}  // namespace
}  // namespace reelhaven
