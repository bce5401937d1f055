#include "platform/ui/controllers/table_view_controller.h"

#include <string>
#include <utility>

#include "platform/base/fatal.h"
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

void TableViewController::setStaticSections(std::vector<StaticTableSection> sections) {
    checkMainThread();
    m_staticSections = std::move(sections);
    m_isStatic = true;
}

const StaticTableSection* TableViewController::staticSection(int section) const {
    if (section < 0 || section >= static_cast<int>(m_staticSections.size())) return nullptr;
    return &m_staticSections[static_cast<size_t>(section)];
}

const StaticTableRow* TableViewController::staticRow(const IndexPath& indexPath) const {
    const auto* section = staticSection(indexPath.section);
    if (!section || indexPath.item < 0 || indexPath.item >= static_cast<int>(section->rows.size())) return nullptr;
    return &section->rows[static_cast<size_t>(indexPath.item)];
}

int TableViewController::numberOfSections(TableView&) {
    return m_isStatic ? static_cast<int>(m_staticSections.size()) : 1;
}

int TableViewController::numberOfRows(TableView&, int section) {
    const auto* found = staticSection(section);
    return found ? static_cast<int>(found->rows.size()) : 0;
}

std::shared_ptr<TableViewCell> TableViewController::cellForRow(TableView&, const IndexPath& indexPath) {
    checkMainThread();
    if (!m_isStatic) return TableViewCell::create();
    const auto* row = staticRow(indexPath);
    if (!row || !row->cell)
        base::fatal("the static table of " + description() + " has no cell at section " +
                    std::to_string(indexPath.section) + ", row " + std::to_string(indexPath.item));
    return row->cell;
}

std::optional<std::string> TableViewController::titleForHeader(TableView&, int section) {
    const auto* found = staticSection(section);
    return found ? found->headerTitle : std::nullopt;
}

std::optional<std::string> TableViewController::titleForFooter(TableView&, int section) {
    const auto* found = staticSection(section);
    return found ? found->footerTitle : std::nullopt;
}

std::optional<double> TableViewController::heightForRow(TableView&, const IndexPath& indexPath) {
    const auto* row = staticRow(indexPath);
    return row ? row->height : std::nullopt;
}

std::optional<double> TableViewController::heightForHeader(TableView&, int section) {
    const auto* found = staticSection(section);
    return found ? found->headerHeight : std::nullopt;
}

std::optional<double> TableViewController::heightForFooter(TableView&, int section) {
    const auto* found = staticSection(section);
    return found ? found->footerHeight : std::nullopt;
}

void TableViewController::rowSelectionDidEnd(TableView& table, const IndexPath& indexPath) {
    checkMainThread();
    const auto* row = staticRow(indexPath);
    if (!row || !row->segue) return;
    const auto segue = *row->segue;  // the row may go while the segue runs
    performSegue(segue, table.cellForRow(indexPath));
}

}  // namespace ui
