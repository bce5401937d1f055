#pragma once

#include <memory>
#include <string>
#include <vector>

#include "library/file_collection_view_controller.h"
#include "library/video_collection_view_cell.h"
#include "library_test_fixture.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/search_controller.h"
#include "platform/ui/controls/menu.h"
#include "platform/ui/views/window.h"

namespace reelhaven::library_testing {

// A folder screen at the root of a navigation controller in a real window, over the fixture's
// container.
class LibraryScreenTest : public LibraryTest {
protected:
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<FileCollectionViewController> screen;
    std::shared_ptr<ui::NavigationController> navigation;

    void TearDown() override {
        if (screen) settle();
    }

    // Lists Documents into the manager and shows the screen for it in a window of `size`.
    void show(ui::Size size = {390, 844}, ui::UserInterfaceIdiom idiom = ui::UserInterfaceIdiom::phone) {
        listDocuments();
        screen = FileCollectionViewController::create(nullptr, manager, progressClient, nullptr, nullptr);
        navigation = ui::NavigationController::create(screen);
        window = ui::Window::create(ui::Rect(0, 0, size.width, size.height));
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        auto traits = window->windowTraitCollection();
        traits.userInterfaceIdiom = idiom;
        window->setTraitCollection(traits);
        settle();
        window->layoutIfNeeded();
    }

    std::shared_ptr<ui::CollectionView> grid() { return screen->collectionView(); }
    std::vector<std::string> gridNames() {
        std::vector<std::string> names;
        for (const auto& item : screen->dataSource()->snapshot().itemIdentifiers())
            names.push_back(item->displayName());
        return names;
    }
    std::optional<ui::IndexPath> pathOf(const std::string& name) {
        for (const auto& item : screen->dataSource()->snapshot().itemIdentifiers())
            if (item->displayName() == name) return screen->dataSource()->indexPath(item);
        return std::nullopt;
    }
    std::shared_ptr<ui::CollectionViewCell> cellOf(const std::string& name) {
        grid()->layoutIfNeeded();
        const auto path = pathOf(name);
        return path ? grid()->cellAt(*path) : nullptr;
    }
    bool tap(const std::string& name) {
        const auto path = pathOf(name);
        return path && grid()->tapItem(*path);
    }
    std::shared_ptr<ui::AlertController> alert() {
        return std::dynamic_pointer_cast<ui::AlertController>(screen->topPresentedViewController());
    }
    std::shared_ptr<ui::Menu> menuOf(const std::string& name) {
        const auto path = pathOf(name);
        if (!path) return nullptr;
        auto configuration = grid()->contextMenu(*path);
        return configuration ? configuration->makeMenu() : nullptr;
    }
    static std::vector<std::string> titles(const std::vector<std::shared_ptr<ui::MenuElement>>& elements) {
        std::vector<std::string> result;
        for (const auto& element : elements) result.push_back(element->title());
        return result;
    }
    std::vector<std::string> barTitles(const std::vector<std::shared_ptr<ui::BarButtonItem>>& items) {
        std::vector<std::string> result;
        for (const auto& item : items)
            result.push_back(item->image() && item->title().empty() ? item->image()->symbolName() : item->title());
        return result;
    }
    std::shared_ptr<ui::SearchBar> searchBar() { return screen->navigationItem()->searchController()->searchBar(); }
};

}  // namespace reelhaven::library_testing
