#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/ui/collection_view_cell.h"
#include "platform/ui/index_path.h"
#include "platform/ui/reuse_pool.h"
#include "platform/ui/scroll_view.h"

namespace ui {

// What collection and table views share: counts read from their data source, every item's cell
// displayed (headless: all items count as on screen), reuse by identifier, and selection.
// Reloading replaces every cell; updates keep the cells of items that stay, re-ask for
// inserted and reloaded ones, and carry the selection of items that stay.
class ItemListView : public ScrollView {
public:
    std::string className() const override { return "ItemListView"; }

    // Every cell again (through the class's replaceable method).
    virtual void reloadData() = 0;

    int numberOfSections() const { return static_cast<int>(m_counts.size()); }
    int numberOfItems(int section) const;

    // Every cell again from the data source.
    void performReloadData();
    // Applies a change of the data: `oldToNew` says where each old item went (none: deleted);
    // items at `reloaded` (new positions) get new cells. Counts are read again.
    void performUpdates(const std::function<std::optional<IndexPath>(const IndexPath&)>& oldToNew,
                        const std::set<IndexPath>& reloaded);

    std::shared_ptr<CollectionViewCell> cellAt(const IndexPath& indexPath) const;
    std::vector<std::shared_ptr<CollectionViewCell>> visibleCells() const;
    std::vector<IndexPath> indexPathsForVisibleItems() const;
    std::optional<IndexPath> indexPathFor(const CollectionViewCell& cell) const;

    bool allowsSelection() const { return m_allowsSelection; }
    void setAllowsSelection(bool allows);
    bool allowsMultipleSelection() const { return m_allowsMultiple; }
    void setAllowsMultipleSelection(bool allows);
    std::vector<IndexPath> selectedIndexPaths() const { return {m_selected.begin(), m_selected.end()}; }
    // Programmatic: no delegate calls. In single selection the others are deselected.
    void selectItem(const IndexPath& indexPath);
    void deselectItem(const IndexPath& indexPath);
    // The user taps an item: asks and tells the delegate, as the platform does. Returns whether the
    // selection changed or was confirmed.
    bool tapItem(const IndexPath& indexPath);

    ReusePool& reusePool() { return m_pool; }
    std::shared_ptr<CollectionViewCell> dequeueCell(const std::string& identifier, const IndexPath& indexPath);

protected:
    explicit ItemListView(const Rect& frame) : ScrollView(frame) {}

    virtual int dataSectionCount() = 0;
    virtual int dataItemCount(int section) = 0;
    virtual std::shared_ptr<CollectionViewCell> dataCell(const IndexPath& indexPath) = 0;
    virtual bool shouldSelect(const IndexPath&) { return true; }
    virtual void didSelect(const IndexPath&) {}
    virtual bool shouldDeselect(const IndexPath&) { return true; }
    virtual void didDeselect(const IndexPath&) {}
    virtual void willDisplay(CollectionViewCell&, const IndexPath&) {}
    virtual void didEndDisplaying(CollectionViewCell&, const IndexPath&) {}
    // After a reload or update, when the counts are known again.
    virtual void sectionsDidChange() {}

private:
    void readCounts();
    void show(const IndexPath& indexPath);
    void retire(const std::shared_ptr<CollectionViewCell>& cell, const IndexPath& indexPath);
    void markSelected(const IndexPath& indexPath, bool selected);

    std::vector<int> m_counts;
    std::map<IndexPath, std::shared_ptr<CollectionViewCell>> m_cells;
    std::set<IndexPath> m_selected;
    ReusePool m_pool;
    bool m_allowsSelection = true;
    bool m_allowsMultiple = false;
};

}  // namespace ui
