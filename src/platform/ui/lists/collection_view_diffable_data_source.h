#pragma once

#include <functional>
#include <memory>

#include "platform/ui/lists/collection_view.h"
#include "platform/ui/lists/diffable_data_source.h"

namespace ui {

// A collection view's data source driven by snapshots: cells and headers come from providers
// given the item. It sets itself as the view's data source (held weakly by the view; the screen
// keeps the data source).
template <typename Section, typename Item, typename Hash = std::hash<Item>, typename Equal = std::equal_to<Item>>
class CollectionViewDiffableDataSource
    : public CollectionViewDataSource,
      public DiffableDataSource<Section, Item, Hash, Equal>,
      public std::enable_shared_from_this<CollectionViewDiffableDataSource<Section, Item, Hash, Equal>> {
public:
    using CellProvider =
        std::function<std::shared_ptr<CollectionViewCell>(CollectionView&, const IndexPath&, const Item&)>;
    using SupplementaryViewProvider =
        std::function<std::shared_ptr<CollectionReusableView>(CollectionView&, const std::string&, const IndexPath&)>;

    static std::shared_ptr<CollectionViewDiffableDataSource> create(const std::shared_ptr<CollectionView>& view,
                                                                    CellProvider provider) {
        auto source = std::shared_ptr<CollectionViewDiffableDataSource>(new CollectionViewDiffableDataSource());
        source->attach(view);
        source->m_provider = std::move(provider);
        view->setDataSource(source);
        return source;
    }

    SupplementaryViewProvider supplementaryViewProvider;

    int numberOfSections(CollectionView&) override { return this->sectionCount(); }
    int numberOfItems(CollectionView&, int section) override { return this->itemCount(section); }
    std::shared_ptr<CollectionViewCell> cellForItem(CollectionView& view, const IndexPath& indexPath) override {
        const auto item = this->itemIdentifier(indexPath);
        if (!item || !m_provider) base::fatal("no cell for an index path");
        return m_provider(view, indexPath, *item);
    }
    std::shared_ptr<CollectionReusableView> supplementaryView(CollectionView& view, const std::string& kind,
                                                              const IndexPath& indexPath) override {
        return supplementaryViewProvider ? supplementaryViewProvider(view, kind, indexPath) : nullptr;
    }

private:
    CollectionViewDiffableDataSource() = default;

    CellProvider m_provider;
};

}  // namespace ui
