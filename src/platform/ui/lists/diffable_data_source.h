#pragma once

#include <functional>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "platform/ui/lists/diffable_data_source_snapshot.h"
#include "platform/ui/lists/item_list_view.h"
#include "platform/ui/lists/section_snapshot.h"
#include "platform/ui/lists/snapshot_difference.h"

namespace ui {

// The snapshot-keeping half of the diffable data sources of collection and table views:
// applying a snapshot works out where each item went and which ones are new or reloaded, and
// hands that to the view, which keeps the cells of items that stay.
template <typename Section, typename Item, typename Hash = std::hash<Item>, typename Equal = std::equal_to<Item>>
class DiffableDataSource {
public:
    using Snapshot = DiffableDataSourceSnapshot<Section, Item, Hash, Equal>;
    using ItemSectionSnapshot = SectionSnapshot<Item, Hash, Equal>;

    virtual ~DiffableDataSource() = default;

    // A copy of the shown snapshot; it shares the items until it changes.
    Snapshot snapshot() const { return m_snapshot; }
    std::optional<Item> itemIdentifier(const IndexPath& indexPath) const { return m_snapshot.item(indexPath); }
    std::optional<IndexPath> indexPath(const Item& item) const { return m_snapshot.indexPath(item); }
    std::optional<Section> sectionIdentifier(int index) const { return m_snapshot.sectionIdentifierAt(index); }
    const SnapshotDifference& lastDifference() const { return m_difference; }
    bool lastApplyAnimated() const { return m_lastAnimated; }

    // Shows `snapshot`: the view keeps the cells of items that stay and asks for new ones for
    // inserted and reloaded items. The completion runs once the view is updated.
    void apply(Snapshot snapshot, bool animatingDifferences = true, std::function<void()> completion = {}) {
        install(std::move(snapshot), animatingDifferences, false);
        if (completion) completion();
    }
    // Shows `snapshot` by reloading every cell.
    void applySnapshotUsingReloadData(Snapshot snapshot, std::function<void()> completion = {}) {
        install(std::move(snapshot), false, true);
        if (completion) completion();
    }

    // Shows a section as a tree: its visible items become the section's items.
    void apply(const ItemSectionSnapshot& sectionSnapshot, const Section& section, bool animatingDifferences = true) {
        Snapshot next = m_snapshot;
        if (!next.indexOfSection(section)) next.appendSections({section});
        next.deleteItems(next.itemIdentifiers(section));
        next.appendItems(sectionSnapshot.visibleItems(), section);
        storeSectionSnapshot(section, sectionSnapshot);
        apply(std::move(next), animatingDifferences);
    }
    // The tree of a section: the one applied, else its items flat.
    ItemSectionSnapshot sectionSnapshot(const Section& section) const {
        for (const auto& [id, tree] : m_sectionSnapshots) {
            if (id == section) return tree;
        }
        ItemSectionSnapshot flat;
        flat.append(m_snapshot.itemIdentifiers(section));
        return flat;
    }
    // The user opens or closes an item with children.
    void toggleExpansion(const Item& item, const Section& section) {
        auto tree = sectionSnapshot(section);
        if (tree.isExpanded(item)) {
            tree.collapse({item});
        } else {
            tree.expand({item});
        }
        apply(tree, section, true);
    }

protected:
    // The view the snapshots are shown in (held weakly: the view holds its data source weakly too).
    void attach(const std::shared_ptr<ItemListView>& view) { m_view = view; }

    int sectionCount() const { return m_snapshot.numberOfSections(); }
    int itemCount(int section) const { return m_snapshot.numberOfItemsInSection(section); }

private:
    void storeSectionSnapshot(const Section& section, const ItemSectionSnapshot& tree) {
        for (auto& [id, stored] : m_sectionSnapshots) {
            if (id == section) {
                stored = tree;
                return;
            }
        }
        m_sectionSnapshots.emplace_back(section, tree);
    }

    void install(Snapshot next, bool animated, bool usingReloadData) {
        const Snapshot previous = std::move(m_snapshot);
        std::set<IndexPath> reloaded;
        for (const auto* marks : {&next.reloadedItemIdentifiers(), &next.reconfiguredItemIdentifiers()}) {
            for (const auto& item : *marks) reloaded.insert(*next.indexPath(item));
        }
        const bool sameItems = next.sharesItemsWith(previous);
        m_difference = sameItems ? SnapshotDifference{} : difference(previous, next);
        m_difference.reloaded.assign(reloaded.begin(), reloaded.end());
        m_lastAnimated = animated;
        next.clearMarks();
        m_snapshot = std::move(next);
        auto view = m_view.lock();
        if (!view) return;
        if (usingReloadData) {
            view->reloadData();
        } else if (sameItems) {
            view->performUpdates([](const IndexPath& path) { return std::optional<IndexPath>(path); }, reloaded);
        } else {
            view->performUpdates(
                [&previous, this](const IndexPath& path) -> std::optional<IndexPath> {
                    const auto item = previous.item(path);
                    return item ? m_snapshot.indexPath(*item) : std::nullopt;
                },
                reloaded);
        }
    }

    // Where each old item went and which new items are new: one index lookup per item.
    static SnapshotDifference difference(const Snapshot& previous, const Snapshot& next) {
        std::vector<std::pair<IndexPath, std::optional<IndexPath>>> oldItems;
        oldItems.reserve(static_cast<size_t>(previous.numberOfItems()));
        for (int s = 0; s < previous.numberOfSections(); ++s) {
            int i = 0;
            for (const auto& item : previous.itemsInSection(s))
                oldItems.emplace_back(IndexPath{s, i++}, next.indexPath(item));
        }
        std::vector<std::pair<IndexPath, bool>> newItems;
        newItems.reserve(static_cast<size_t>(next.numberOfItems()));
        for (int s = 0; s < next.numberOfSections(); ++s) {
            int i = 0;
            for (const auto& item : next.itemsInSection(s))
                newItems.emplace_back(IndexPath{s, i++}, previous.contains(item));
        }
        return SnapshotDifference::compute(oldItems, newItems);
    }

    std::weak_ptr<ItemListView> m_view;
    Snapshot m_snapshot;
    std::vector<std::pair<Section, ItemSectionSnapshot>> m_sectionSnapshots;
    SnapshotDifference m_difference;
    bool m_lastAnimated = false;
};

}  // namespace ui
