#include "platform/ui/item_list_view.h"

#include "platform/base/fatal.h"

namespace ui {

int ItemListView::numberOfItems(int section) const {
    if (section < 0 || section >= numberOfSections()) return 0;
    return m_counts[static_cast<size_t>(section)];
}

void ItemListView::readCounts() {
    m_counts.clear();
    const int sections = dataSectionCount();
    for (int s = 0; s < sections; ++s) m_counts.push_back(dataItemCount(s));
}

void ItemListView::retire(const std::shared_ptr<CollectionViewCell>& cell, const IndexPath& indexPath) {
    didEndDisplaying(*cell, indexPath);
    cell->setSelected(false);
    m_pool.enqueue(cell);
}

void ItemListView::show(const IndexPath& indexPath) {
    auto cell = dataCell(indexPath);
    if (!cell) base::fatal("the data source returned no cell");
    if (cell->superview().get() != this) addSubview(cell);
    cell->setSelected(m_selected.count(indexPath) > 0);
    m_cells[indexPath] = cell;
    willDisplay(*cell, indexPath);
}

void ItemListView::performReloadData() {
    auto old = std::move(m_cells);
    m_cells.clear();
    for (const auto& [indexPath, cell] : old) retire(cell, indexPath);
    m_selected.clear();
    readCounts();
    for (int s = 0; s < numberOfSections(); ++s)
        for (int i = 0; i < numberOfItems(s); ++i) show({s, i});
    sectionsDidChange();
}

void ItemListView::performUpdates(const std::function<std::optional<IndexPath>(const IndexPath&)>& oldToNew,
                                  const std::set<IndexPath>& reloaded) {
    auto old = std::move(m_cells);
    m_cells.clear();
    std::set<IndexPath> selected;
    for (const auto& indexPath : m_selected) {
        if (auto moved = oldToNew(indexPath)) selected.insert(*moved);
    }
    m_selected = selected;
    std::map<IndexPath, std::shared_ptr<CollectionViewCell>> kept;
    for (const auto& [indexPath, cell] : old) {
        auto moved = oldToNew(indexPath);
        if (moved && reloaded.count(*moved) == 0) {
            kept[*moved] = cell;
        } else {
            retire(cell, indexPath);
        }
    }
    readCounts();
    for (int s = 0; s < numberOfSections(); ++s) {
        for (int i = 0; i < numberOfItems(s); ++i) {
            const IndexPath indexPath{s, i};
            if (auto it = kept.find(indexPath); it != kept.end()) {
                m_cells[indexPath] = it->second;
                it->second->setSelected(m_selected.count(indexPath) > 0);
                kept.erase(it);
            } else {
                show(indexPath);
            }
        }
    }
    for (const auto& [indexPath, cell] : kept) retire(cell, indexPath);  // counts shrank under them
    sectionsDidChange();
}

std::shared_ptr<CollectionViewCell> ItemListView::cellAt(const IndexPath& indexPath) const {
    const auto it = m_cells.find(indexPath);
    return it == m_cells.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<CollectionViewCell>> ItemListView::visibleCells() const {
    std::vector<std::shared_ptr<CollectionViewCell>> cells;
    for (const auto& [indexPath, cell] : m_cells) cells.push_back(cell);
    return cells;
}

std::vector<IndexPath> ItemListView::indexPathsForVisibleItems() const {
    std::vector<IndexPath> paths;
    for (const auto& [indexPath, cell] : m_cells) paths.push_back(indexPath);
    return paths;
}

std::optional<IndexPath> ItemListView::indexPathFor(const CollectionViewCell& cell) const {
    for (const auto& [indexPath, c] : m_cells) {
        if (c.get() == &cell) return indexPath;
    }
    return std::nullopt;
}

void ItemListView::setAllowsSelection(bool allows) {
    m_allowsSelection = allows;
    if (!allows) {
        for (const auto& indexPath : selectedIndexPaths()) markSelected(indexPath, false);
    }
}

void ItemListView::setAllowsMultipleSelection(bool allows) {
    m_allowsMultiple = allows;
    if (allows) m_allowsSelection = true;
}

void ItemListView::markSelected(const IndexPath& indexPath, bool selected) {
    if (selected) {
        m_selected.insert(indexPath);
    } else {
        m_selected.erase(indexPath);
    }
    if (auto cell = cellAt(indexPath)) cell->setSelected(selected);
}

void ItemListView::selectItem(const IndexPath& indexPath) {
    if (!m_allowsSelection || indexPath.item < 0 || indexPath.item >= numberOfItems(indexPath.section)) return;
    if (!m_allowsMultiple) {
        for (const auto& other : selectedIndexPaths()) {
            if (other != indexPath) markSelected(other, false);
        }
    }
    markSelected(indexPath, true);
}

void ItemListView::deselectItem(const IndexPath& indexPath) { markSelected(indexPath, false); }

bool ItemListView::tapItem(const IndexPath& indexPath) {
    if (!m_allowsSelection || !cellAt(indexPath)) return false;
    if (m_allowsMultiple && m_selected.count(indexPath)) {
        if (!shouldDeselect(indexPath)) return false;
        markSelected(indexPath, false);
        didDeselect(indexPath);
        return true;
    }
    if (!shouldSelect(indexPath)) return false;
    if (!m_allowsMultiple) {
        for (const auto& other : selectedIndexPaths()) {
            if (other == indexPath) continue;
            markSelected(other, false);
            didDeselect(other);
        }
    }
    markSelected(indexPath, true);
    didSelect(indexPath);
    return true;
}

std::shared_ptr<CollectionViewCell> ItemListView::dequeueCell(const std::string& identifier, const IndexPath&) {
    auto view = m_pool.dequeue(identifier, "cell");
    auto cell = std::dynamic_pointer_cast<CollectionViewCell>(view);
    if (!cell) base::fatal("the view registered for '" + identifier + "' is not a cell");
    return cell;
}

}  // namespace ui
