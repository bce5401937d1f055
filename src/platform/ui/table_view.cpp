#include "platform/ui/table_view.h"

#include "platform/base/fatal.h"
#include "platform/ui/method_registry.h"

namespace ui {

namespace {

void registerOwnMethods() {
    static const bool registered = [] {
        MethodRegistry::registerOwn("TableView", "reloadData",
                                    [](Object& receiver) { static_cast<TableView&>(receiver).performReloadData(); });
        MethodRegistry::registerOwn("TableView", "endUpdates",
                                    [](Object& receiver) { static_cast<TableView&>(receiver).performEndUpdates(); });
        return true;
    }();
    (void)registered;
}

}  // namespace

std::shared_ptr<TableView> TableView::create(const Rect& frame, TableViewStyle style) {
    registerOwnMethods();
    return make<TableView>(frame, style);
}

void TableView::setEditing(bool editing, bool) { m_editing = editing; }

void TableView::registerCell(const std::string& identifier, ReusePool::Factory factory) {
    reusePool().registerFactory(identifier, std::move(factory));
}

void TableView::registerNib(const std::shared_ptr<Nib>& nib, const std::string& identifier) {
    reusePool().registerNib(nib, identifier);
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCell(const std::string& identifier,
                                                              const IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<TableViewCell>(dequeueCell(identifier, indexPath));
    if (!cell) base::fatal("the cell registered for '" + identifier + "' is not a table cell");
    return cell;
}

std::shared_ptr<TableViewCell> TableView::cellForRow(const IndexPath& indexPath) const {
    return std::dynamic_pointer_cast<TableViewCell>(cellAt(indexPath));
}

std::optional<std::string> TableView::headerTitle(int section) {
    auto source = dataSource();
    return source ? source->titleForHeader(*this, section) : std::nullopt;
}

std::optional<std::string> TableView::footerTitle(int section) {
    auto source = dataSource();
    return source ? source->titleForFooter(*this, section) : std::nullopt;
}

std::shared_ptr<View> TableView::headerView(int section) const {
    const auto it = m_headers.find(section);
    return it == m_headers.end() ? nullptr : it->second;
}

std::shared_ptr<View> TableView::footerView(int section) const {
    const auto it = m_footers.find(section);
    return it == m_footers.end() ? nullptr : it->second;
}

void TableView::sectionsDidChange() {
    auto d = delegate();
    auto make = [&](bool header, int section) -> std::shared_ptr<View> {
        std::shared_ptr<View> view =
            d ? (header ? d->viewForHeader(*this, section) : d->viewForFooter(*this, section)) : nullptr;
        if (view) return view;
        const auto title = header ? headerTitle(section) : footerTitle(section);
        if (!title) return nullptr;
        auto titled = TableViewHeaderFooterView::create();
        titled->textLabel()->setText(*title);
        return titled;
    };
    for (auto& [section, view] : m_headers) view->removeFromSuperview();
    for (auto& [section, view] : m_footers) view->removeFromSuperview();
    m_headers.clear();
    m_footers.clear();
    for (int section = 0; section < numberOfSections(); ++section) {
        if (auto header = make(true, section)) {
            addSubview(header);
            m_headers[section] = header;
            if (d) d->willDisplayHeaderView(*this, *header, section);
        }
        if (auto footer = make(false, section)) {
            addSubview(footer);
            m_footers[section] = footer;
            if (d) d->willDisplayFooterView(*this, *footer, section);
        }
    }
}

void TableView::reloadData() {
    auto implementation = MethodRegistry::implementation("TableView", "reloadData");
    if (implementation) {
        implementation(*this);
    } else {
        performReloadData();
    }
}

void TableView::endUpdates() {
    auto implementation = MethodRegistry::implementation("TableView", "endUpdates");
    if (implementation) {
        implementation(*this);
    } else {
        performEndUpdates();
    }
}

void TableView::performEndUpdates() {
    if (m_updateDepth > 0) --m_updateDepth;
    if (m_updateDepth == 0) performUpdates([](const IndexPath& p) { return std::optional<IndexPath>(p); }, {});
}

void TableView::reloadRows(const std::vector<IndexPath>& rows) {
    performUpdates([](const IndexPath& p) { return std::optional<IndexPath>(p); }, {rows.begin(), rows.end()});
}

int TableView::dataSectionCount() {
    auto source = dataSource();
    return source ? source->numberOfSections(*this) : 0;
}

int TableView::dataItemCount(int section) {
    auto source = dataSource();
    return source ? source->numberOfRows(*this, section) : 0;
}

std::shared_ptr<CollectionViewCell> TableView::dataCell(const IndexPath& indexPath) {
    auto source = dataSource();
    if (!source) base::fatal("asked for a cell without a data source");
    return source->cellForRow(*this, indexPath);
}

bool TableView::shouldSelect(const IndexPath& p) {
    auto d = delegate();
    return !d || d->shouldSelectRow(*this, p);
}
void TableView::didSelect(const IndexPath& p) {
    if (auto d = delegate()) d->didSelectRow(*this, p);
}
void TableView::didDeselect(const IndexPath& p) {
    if (auto d = delegate()) d->didDeselectRow(*this, p);
}
void TableView::willDisplay(CollectionViewCell& cell, const IndexPath& p) {
    auto d = delegate();
    auto* row = dynamic_cast<TableViewCell*>(&cell);
    if (d && row) d->willDisplayCell(*this, *row, p);
}

}  // namespace ui
