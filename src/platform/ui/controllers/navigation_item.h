#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controls/bar_button_item.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/object.h"

namespace ui {

class SearchController;
class View;

// What a controller shows in the navigation bar while it is on top of the stack.
class NavigationItem : public Object {
public:
    enum class LargeTitleDisplayMode { automatic, always, never };
    enum class SearchBarPlacement { automatic, inline_, stacked };

    static std::shared_ptr<NavigationItem> create(std::string title = {});
    std::string className() const override { return "NavigationItem"; }

    const std::string& title() const { return m_title; }
    void setTitle(std::string title) {
        checkMainThread();
        m_title = std::move(title);
    }
    const std::string& prompt() const { return m_prompt; }
    void setPrompt(std::string prompt) {
        checkMainThread();
        m_prompt = std::move(prompt);
    }
    // Shown in the bar in place of the title, centred at the size it asks for.
    std::shared_ptr<View> titleView() const { return m_titleView; }
    void setTitleView(std::shared_ptr<View> view) {
        checkMainThread();
        if (view == m_titleView) return;
        m_titleView = std::move(view);
        if (titleViewDidChange) titleViewDidChange();
    }
    // The navigation controller showing this item places the new title view.
    std::function<void()> titleViewDidChange;
    const std::vector<std::shared_ptr<BarButtonItem>>& leftBarButtonItems() const { return m_left; }
    void setLeftBarButtonItems(std::vector<std::shared_ptr<BarButtonItem>> items, bool animated = false);
    const std::vector<std::shared_ptr<BarButtonItem>>& rightBarButtonItems() const { return m_right; }
    void setRightBarButtonItems(std::vector<std::shared_ptr<BarButtonItem>> items, bool animated = false);
    std::shared_ptr<BarButtonItem> leftBarButtonItem() const { return m_left.empty() ? nullptr : m_left.front(); }
    void setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item);
    std::shared_ptr<BarButtonItem> rightBarButtonItem() const { return m_right.empty() ? nullptr : m_right.front(); }
    void setRightBarButtonItem(std::shared_ptr<BarButtonItem> item);
    std::shared_ptr<BarButtonItem> backBarButtonItem() const { return m_back; }
    void setBackBarButtonItem(std::shared_ptr<BarButtonItem> item) {
        checkMainThread();
        m_back = std::move(item);
    }
    const std::string& backButtonTitle() const { return m_backButtonTitle; }
    void setBackButtonTitle(std::string title) {
        checkMainThread();
        m_backButtonTitle = std::move(title);
    }
    bool hidesBackButton() const { return m_hidesBackButton; }
    void setHidesBackButton(bool hides) {
        checkMainThread();
        m_hidesBackButton = hides;
    }
    std::shared_ptr<SearchController> searchController() const { return m_searchController; }
    void setSearchController(std::shared_ptr<SearchController> controller) {
        m_searchController = std::move(controller);
    }
    bool hidesSearchBarWhenScrolling() const { return m_hidesSearchBarWhenScrolling; }
    void setHidesSearchBarWhenScrolling(bool hides) {
        checkMainThread();
        m_hidesSearchBarWhenScrolling = hides;
    }
    LargeTitleDisplayMode largeTitleDisplayMode() const { return m_largeTitleDisplayMode; }
    void setLargeTitleDisplayMode(LargeTitleDisplayMode mode) {
        checkMainThread();
        m_largeTitleDisplayMode = mode;
    }
    SearchBarPlacement preferredSearchBarPlacement() const { return m_searchBarPlacement; }
    void setPreferredSearchBarPlacement(SearchBarPlacement placement) {
        checkMainThread();
        m_searchBarPlacement = placement;
    }

protected:
    explicit NavigationItem(std::string title) : m_title(std::move(title)) {}

private:
    std::string m_title;
    std::string m_prompt;
    std::shared_ptr<View> m_titleView;
    std::vector<std::shared_ptr<BarButtonItem>> m_left;
    std::vector<std::shared_ptr<BarButtonItem>> m_right;
    std::shared_ptr<BarButtonItem> m_back;
    std::string m_backButtonTitle;
    bool m_hidesBackButton = false;
    std::shared_ptr<SearchController> m_searchController;
    bool m_hidesSearchBarWhenScrolling = true;
    LargeTitleDisplayMode m_largeTitleDisplayMode = LargeTitleDisplayMode::automatic;
    SearchBarPlacement m_searchBarPlacement = SearchBarPlacement::automatic;
};

}  // namespace ui
