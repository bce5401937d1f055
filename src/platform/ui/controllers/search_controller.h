#pragma once

#include <memory>

#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/controls/search_bar.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

class SearchController;

class SearchResultsUpdating {
public:
    virtual ~SearchResultsUpdating() = default;
    virtual void updateSearchResults(SearchController& controller) = 0;
};

// A search bar with its results: it becomes active when editing begins, tells its updater of
// every change and goes inactive on cancel.
class SearchController : public ViewController {
public:
    static std::shared_ptr<SearchController> create(std::shared_ptr<ViewController> resultsController = nullptr);
    std::string className() const override { return "SearchController"; }

    std::shared_ptr<SearchBar> searchBar() const { return m_searchBar; }
    std::shared_ptr<ViewController> searchResultsController() const { return m_results; }
    bool isActive() const { return m_active; }
    void setActive(bool active);
    std::shared_ptr<SearchResultsUpdating> searchResultsUpdater() const { return m_updater.lock(); }
    void setSearchResultsUpdater(const std::shared_ptr<SearchResultsUpdating>& updater) {
        checkMainThread();
        m_updater = updater;
    }
    bool obscuresBackgroundDuringPresentation() const { return m_obscures; }
    void setObscuresBackgroundDuringPresentation(bool obscures) {
        checkMainThread();
        m_obscures = obscures;
    }
    bool hidesNavigationBarDuringPresentation() const { return m_hidesNavigationBar; }
    void setHidesNavigationBarDuringPresentation(bool hides) {
        checkMainThread();
        m_hidesNavigationBar = hides;
    }

protected:
    SearchController() = default;

private:
    void update();

    std::shared_ptr<SearchBar> m_searchBar;
    std::shared_ptr<ViewController> m_results;
    bool m_active = false;
    std::weak_ptr<SearchResultsUpdating> m_updater;
    bool m_obscures = true;
    bool m_hidesNavigationBar = true;
};

}  // namespace ui
