#include "platform/ui/controllers/search_controller.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<SearchController> SearchController::create(std::shared_ptr<ViewController> resultsController) {
    auto controller = make<SearchController>();
    controller->m_results = std::move(resultsController);
    controller->m_searchBar = SearchBar::create();
    std::weak_ptr<SearchController> weak = controller;
    controller->m_searchBar->onBegin = [weak](SearchBar&) {
        if (auto self = weak.lock()) self->setActive(true);
    };
    controller->m_searchBar->onTextChange = [weak](SearchBar&) {
        if (auto self = weak.lock()) self->update();
    };
    controller->m_searchBar->onCancel = [weak](SearchBar&) {
        if (auto self = weak.lock()) self->setActive(false);
    };
    return controller;
}

void SearchController::setActive(bool active) {
    checkMainThread();
    if (active == m_active) return;
    m_active = active;
    update();
}

void SearchController::update() {
    if (auto updater = searchResultsUpdater()) updater->updateSearchResults(*this);
}

}  // namespace ui
