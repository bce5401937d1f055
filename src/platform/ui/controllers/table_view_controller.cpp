#include "platform/ui/controllers/table_view_controller.h"

#include <utility>

#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/screen.h"

namespace ui {

std::shared_ptr<TableViewController> TableViewController::create(TableViewStyle style) {
    return make<TableViewController>(style);
}

std::shared_ptr<TableView> TableViewController::tableView() {
    checkMainThread();
    return std::dynamic_pointer_cast<TableView>(view());
}

void TableViewController::loadView() {
    checkMainThread();
    auto table = TableView::create(Screen::main()->bounds(), m_style);
    auto self = sharedAs<TableViewController>();
    table->setDataSource(self);
    table->setDelegate(self);
    setView(table);
}

void TableViewController::viewWillAppear(bool animated) {
    checkMainThread();
    ViewController::viewWillAppear(animated);
    auto table = tableView();
    if (!std::exchange(m_hasAppeared, true) && table->numberOfSections() == 0) table->reloadData();
    if (!m_clearsSelection) return;
    for (const auto& indexPath : table->selectedIndexPaths()) table->deselectRow(indexPath);
}

std::shared_ptr<TableViewCell> TableViewController::cellForRow(TableView&, const IndexPath&) {
    checkMainThread();
    return TableViewCell::create();
}

}  // namespace ui
