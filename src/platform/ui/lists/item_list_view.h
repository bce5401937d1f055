#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/lists/collection_view_cell.h"
#include "platform/ui/lists/collection_view_layout.h"
#include "platform/ui/lists/index_path.h"
#include "platform/ui/lists/item_list_view_observer.h"
#include "platform/ui/lists/reuse_pool.h"
#include "platform/ui/lists/scroll_view.h"

namespace ui {

// What collection and table views share: counts read from their data source, a layout pass
// that places every item and boundary view from the real size and traits, cells only for the
// items whose frames meet the visible bounds (plus a small margin), reuse by identifier,
// selection, and observers of reloads and updates.
//
// Cells follow the content offset at once: scrolling ends the display of the cells that leave
// and asks the data source for the ones that come in (reusing the ones that left). Reloading
// replaces every shown cell; updates keep the cells of items that stay, ask again for inserted
// and reloaded ones, and carry the selection of items that stay. Main thread only.
//
// Seams: item_list_view.cpp holds the data, selection, taps and observers;
// lists/item_list_view_display.cpp the layout pass, the shown elements and self-sizing.
class ItemListView : public ScrollView {
public:
    // How far beyond the visible bounds cells are kept ready, in points.
    static constexpr double displayMargin = 32;

    std::string className() const override { return "ItemListView"; }

    // Every cell again (observers hear it first).
    virtual void reloadData() = 0;

    int numberOfSections() const { return static_cast<int>(m_counts.size()); }
    int numberOfItems(int section) const;

    // Every cell again from the data source.
    void performReloadData();
    // Applies a change of the data: `oldToNew` says where each old item went (none: deleted);
    // items at `reloaded` (new positions) get new cells. Counts are read again.
    void performUpdates(const std::function<std::optional<IndexPath>(const IndexPath&)>& oldToNew,
                        const std::set<IndexPath>& reloaded);

    // Behind every row, filling the visible bounds whatever the scroll offset (a blur behind a
    // clear list stays where the list shows).
    std::shared_ptr<View> backgroundView() const { return m_backgroundView; }
    void setBackgroundView(std::shared_ptr<View> view);

    // The cell shown for an item (none while the item is out of view).
    std::shared_ptr<CollectionViewCell> cellAt(const IndexPath& indexPath) const;
    // The cells that meet the bounds, in item order.
    std::vector<std::shared_ptr<CollectionViewCell>> visibleCells() const;
    std::vector<IndexPath> indexPathsForVisibleItems() const;
    std::optional<IndexPath> indexPathFor(const CollectionViewCell& cell) const;
    // The item under a point of the content.
    std::optional<IndexPath> indexPathForItem(Point point);
    // Where the layout puts an item.
    std::optional<Rect> frameForItem(const IndexPath& indexPath);
    // The boundary view shown for a section (header or footer kind), if it is in view.
    std::shared_ptr<View> supplementaryViewShown(const std::string& kind, int section) const;
    // The frames of the last layout pass (runs one when due).
    const ListGeometry& geometry();

    bool allowsSelection() const { return m_allowsSelection; }
    void setAllowsSelection(bool allows);
    bool allowsMultipleSelection() const { return m_allowsMultiple; }
    void setAllowsMultipleSelection(bool allows);
    std::vector<IndexPath> selectedIndexPaths() const { return {m_selected.begin(), m_selected.end()}; }
    // Programmatic: no delegate calls. In single selection the others are deselected.
    void selectItem(const IndexPath& indexPath);
    void deselectItem(const IndexPath& indexPath);
    // The user taps an item: asks and tells the delegate, as the platform does (an item that may not
    // be highlighted cannot be tapped). Returns whether the selection changed or was confirmed. Only
    // items in view can be tapped.
    bool tapItem(const IndexPath& indexPath);

    ReusePool& reusePool() { return m_pool; }
    std::shared_ptr<CollectionViewCell> dequeueCell(const std::string& identifier, const IndexPath& indexPath);

    // Observers are held weakly.
    void addObserver(const std::shared_ptr<ItemListViewObserver>& observer);
    void removeObserver(const ItemListViewObserver& observer);

    void setBounds(const Rect& bounds) override;
    void layoutSubviews() override;
    // New traits may change what the layout's sections are.
    void traitCollectionDidChange(const TraitCollection& previous) override;
    // A touch lifted over a cell taps its item (touches of the cells' subviews come up here).
    void touchesBegan(const std::vector<Touch>& touches) override;
    void touchesEnded(const std::vector<Touch>& touches) override;
    void touchesCancelled(const std::vector<Touch>& touches) override;

protected:
    explicit ItemListView(const Rect& frame) : ScrollView(frame) {}

    virtual int dataSectionCount() = 0;
    virtual int dataItemCount(int section) = 0;
    virtual std::shared_ptr<CollectionViewCell> dataCell(const IndexPath& indexPath) = 0;
    virtual std::shared_ptr<CollectionViewLayout> listLayout() const = 0;
    // A boundary view for a section coming into view; none leaves the place empty.
    virtual std::shared_ptr<View> dataSupplementary(const std::string& /*kind*/, const IndexPath& /*path*/) {
        return nullptr;
    }
    virtual void supplementaryDidEndDisplaying(const std::shared_ptr<View>& view, const std::string& /*kind*/,
                                               const IndexPath& /*path*/) {
        view->removeFromSuperview();
    }
    virtual void willDisplaySupplementary(View&, const std::string& /*kind*/, const IndexPath& /*path*/) {}
    // False keeps a touch from highlighting the item and a tap from selecting it.
    virtual bool shouldHighlight(const IndexPath&) { return true; }
    virtual bool shouldSelect(const IndexPath&) { return true; }
    virtual void didSelect(const IndexPath&) {}
    virtual bool shouldDeselect(const IndexPath&) { return true; }
    virtual void didDeselect(const IndexPath&) {}
    virtual void willDisplay(CollectionViewCell&, const IndexPath&) {}
    virtual void didEndDisplaying(CollectionViewCell&, const IndexPath&) {}
    // After a reload or update, when the counts are known again and before the layout pass.
    virtual void sectionsDidChange() {}

    void notifyWillReload();
    void notifyDidEndUpdates();
    // The next layout pass computes every frame again.
    void invalidateGeometry() { m_geometryValid = false; }

private:
    // What a layout pass was computed for; a pass is due when any of it changes.
    struct LayoutKey {
        Size container;
        EdgeInsets inset;
        EdgeInsets margins;
        TraitCollection traits;
        const CollectionViewLayout* layout = nullptr;
        int invalidations = 0;
        bool operator==(const LayoutKey&) const = default;
    };
    using SupplementaryKey = std::pair<std::string, int>;  // (kind, section)

    void readCounts();
    // Overlaps the bounds (touching an edge is not enough).
    bool isInBounds(const Rect& frame) const;
    void markSelected(const IndexPath& indexPath, bool selected);
    void forEachObserver(const std::function<void(ItemListViewObserver&)>& call);
    std::optional<IndexPath> itemUnder(const Touch& touch);

    // lists/item_list_view_display.cpp
    void layoutItems();
    // The background view over the visible bounds, behind the rest.
    void placeBackgroundView();
    void ensureGeometry();
    void showVisibleElements();
    void showCells(const Rect& area);
    void showSupplementaries(const Rect& area);
    bool measureShownElements();
    void show(const IndexPath& indexPath, const Rect& frame);
    // Tells the delegate of the cells that came into the bounds or left them.
    void tellDisplayChanges();
    void retire(const std::shared_ptr<CollectionViewCell>& cell, const IndexPath& indexPath);
    void retireAll();

    std::vector<int> m_counts;
    ListGeometry m_geometry;
    LayoutKey m_preparedFor;
    bool m_geometryValid = false;
    bool m_inLayout = false;
    std::shared_ptr<View> m_backgroundView;
    MeasuredSizes m_measured;
    std::set<IndexPath> m_remeasure;
    std::map<IndexPath, std::shared_ptr<CollectionViewCell>> m_cells;
    std::set<const CollectionViewCell*> m_displayed;  // the cells the delegate was told it sees
    std::map<SupplementaryKey, std::shared_ptr<View>> m_supplementaries;
    std::set<IndexPath> m_selected;
    std::optional<IndexPath> m_touched;
    ReusePool m_pool;
    std::vector<std::weak_ptr<ItemListViewObserver>> m_observers;
    bool m_allowsSelection = true;
    bool m_allowsMultiple = false;
};

}  // namespace ui
