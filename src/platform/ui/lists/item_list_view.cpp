#include "platform/ui/lists/item_list_view.h"

#include <algorithm>

#include "platform/base/fatal.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

int ItemListView::numberOfItems(int section) const {
    if (section < 0 || section >= numberOfSections()) return 0;
    return m_counts[static_cast<size_t>(section)];
}

void ItemListView::readCounts() {
    std::vector<int> counts;
    const int sections = dataSectionCount();
    counts.reserve(static_cast<size_t>(std::max(0, sections)));
    for (int s = 0; s < sections; ++s) counts.push_back(std::max(0, dataItemCount(s)));
    if (counts != m_counts) invalidateGeometry();
    m_counts = std::move(counts);
}

void ItemListView::performReloadData() {
    checkMainThread();
    retireAll();
    m_selected.clear();
    m_measured = {};
    m_remeasure.clear();
    readCounts();
    invalidateGeometry();
    sectionsDidChange();
    layoutItems();
}

void ItemListView::performUpdates(const std::function<std::optional<IndexPath>(const IndexPath&)>& oldToNew,
                                  const std::set<IndexPath>& reloaded) {
    checkMainThread();
    std::set<IndexPath> selected;
    for (const auto& indexPath : m_selected) {
        if (auto moved = oldToNew(indexPath)) selected.insert(*moved);
    }
    m_selected = std::move(selected);

    // Measured heights go with their items; a reloaded item keeps its old one until its new
    // cell measures itself, so an unchanged height costs no layout pass.
    std::map<IndexPath, double> heights;
    for (const auto& [indexPath, height] : m_measured.itemHeights) {
        if (auto moved = oldToNew(indexPath)) heights.emplace(*moved, height);
    }
    if (heights != m_measured.itemHeights) invalidateGeometry();
    m_measured.itemHeights = std::move(heights);
    m_remeasure.insert(reloaded.begin(), reloaded.end());

    // Headers and footers are asked for again: their sections may have moved or changed.
    auto supplementaries = std::move(m_supplementaries);
    m_supplementaries.clear();
    for (const auto& [key, view] : supplementaries) supplementaryDidEndDisplaying(view, key.first, {key.second, 0});

    auto old = std::move(m_cells);
    m_cells.clear();
    for (const auto& [indexPath, cell] : old) {
        auto moved = oldToNew(indexPath);
        if (moved && reloaded.count(*moved) == 0) {
            m_cells[*moved] = cell;
            cell->setSelected(m_selected.count(*moved) > 0);
        } else {
            retire(cell, indexPath);
        }
    }
    readCounts();
    sectionsDidChange();
    layoutItems();
}

std::shared_ptr<CollectionViewCell> ItemListView::cellAt(const IndexPath& indexPath) const {
    const auto it = m_cells.find(indexPath);
    return it == m_cells.end() ? nullptr : it->second;
}

bool ItemListView::isInBounds(const Rect& frame) const {
    const Rect b = bounds();
    return frame.minX() < b.maxX() && frame.maxX() > b.minX() && frame.minY() < b.maxY() && frame.maxY() > b.minY();
}

std::vector<std::shared_ptr<CollectionViewCell>> ItemListView::visibleCells() const {
    std::vector<std::shared_ptr<CollectionViewCell>> cells;
    for (const auto& [indexPath, cell] : m_cells) {
        if (isInBounds(cell->frame())) cells.push_back(cell);
    }
    return cells;
}

std::vector<IndexPath> ItemListView::indexPathsForVisibleItems() const {
    std::vector<IndexPath> paths;
    for (const auto& [indexPath, cell] : m_cells) {
        if (isInBounds(cell->frame())) paths.push_back(indexPath);
    }
    return paths;
}

std::optional<IndexPath> ItemListView::indexPathFor(const CollectionViewCell& cell) const {
    for (const auto& [indexPath, c] : m_cells) {
        if (c.get() == &cell) return indexPath;
    }
    return std::nullopt;
}

std::optional<IndexPath> ItemListView::indexPathForItem(Point point) {
    checkMainThread();
    return geometry().itemAt(point);
}

std::optional<Rect> ItemListView::frameForItem(const IndexPath& indexPath) {
    checkMainThread();
    return geometry().itemFrame(indexPath);
}

std::shared_ptr<View> ItemListView::supplementaryViewShown(const std::string& kind, int section) const {
    const auto it = m_supplementaries.find({kind, section});
    return it == m_supplementaries.end() ? nullptr : it->second;
}

void ItemListView::setAllowsSelection(bool allows) {
    checkMainThread();
    m_allowsSelection = allows;
    if (!allows) {
        for (const auto& indexPath : selectedIndexPaths()) markSelected(indexPath, false);
    }
}

void ItemListView::setAllowsMultipleSelection(bool allows) {
    checkMainThread();
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
    checkMainThread();
    if (!m_allowsSelection || indexPath.item < 0 || indexPath.item >= numberOfItems(indexPath.section)) return;
    if (!m_allowsMultiple) {
        for (const auto& other : selectedIndexPaths()) {
            if (other != indexPath) markSelected(other, false);
        }
    }
    markSelected(indexPath, true);
}

void ItemListView::deselectItem(const IndexPath& indexPath) {
    checkMainThread();
    markSelected(indexPath, false);
}

bool ItemListView::tapItem(const IndexPath& indexPath) {
    checkMainThread();
    if (!m_allowsSelection || !cellAt(indexPath) || !shouldHighlight(indexPath)) return false;
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

std::optional<IndexPath> ItemListView::itemUnder(const Touch& touch) {
    const auto indexPath = indexPathForItem(touch.location(this));
    return indexPath && cellAt(*indexPath) ? indexPath : std::nullopt;
}

void ItemListView::touchesBegan(const std::vector<Touch>& touches) {
    checkMainThread();
    if (touches.empty()) return;
    m_touched = itemUnder(touches.front());
    if (m_touched && !shouldHighlight(*m_touched)) m_touched.reset();
    if (m_touched) cellAt(*m_touched)->setHighlighted(true);
}

void ItemListView::touchesEnded(const std::vector<Touch>& touches) {
    checkMainThread();
    const auto touched = std::exchange(m_touched, std::nullopt);
    if (touched) {
        if (auto cell = cellAt(*touched)) cell->setHighlighted(false);
    }
    if (touches.empty() || !touched || itemUnder(touches.front()) != touched) return;
    tapItem(*touched);
}

void ItemListView::touchesCancelled(const std::vector<Touch>&) {
    checkMainThread();
    const auto touched = std::exchange(m_touched, std::nullopt);
    if (touched) {
        if (auto cell = cellAt(*touched)) cell->setHighlighted(false);
    }
}

std::shared_ptr<CollectionViewCell> ItemListView::dequeueCell(const std::string& identifier, const IndexPath&) {
    checkMainThread();
    auto view = m_pool.dequeue(identifier, "cell");
    auto cell = std::dynamic_pointer_cast<CollectionViewCell>(view);
    if (!cell) base::fatal("the view registered for '" + identifier + "' is not a cell");
    return cell;
}

void ItemListView::addObserver(const std::shared_ptr<ItemListViewObserver>& observer) {
    checkMainThread();
    if (!observer) return;
    for (const auto& existing : m_observers) {
        if (existing.lock() == observer) return;
    }
    m_observers.push_back(observer);
}

void ItemListView::removeObserver(const ItemListViewObserver& observer) {
    checkMainThread();
    std::erase_if(m_observers, [&](const std::weak_ptr<ItemListViewObserver>& weak) {
        auto held = weak.lock();
        return !held || held.get() == &observer;
    });
}

void ItemListView::forEachObserver(const std::function<void(ItemListViewObserver&)>& call) {
    std::erase_if(m_observers, [](const std::weak_ptr<ItemListViewObserver>& weak) { return weak.expired(); });
    const auto observers = m_observers;  // an observer may subscribe or leave while it hears
    for (const auto& weak : observers) {
        if (auto observer = weak.lock()) call(*observer);
    }
}

void ItemListView::notifyWillReload() {
    forEachObserver([this](ItemListViewObserver& o) { o.listViewWillReload(*this); });
}

void ItemListView::notifyDidEndUpdates() {
    forEachObserver([this](ItemListViewObserver& o) { o.listViewDidEndUpdates(*this); });
}

}  // namespace ui
