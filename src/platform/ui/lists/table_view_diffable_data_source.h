#pragma once

#include <functional>
#include <memory>

#include "platform/ui/lists/diffable_data_source.h"
#include "platform/ui/lists/table_view.h"

namespace ui {

// A table's data source driven by snapshots; rows come from a provider given the item. It sets
// itself as the table's data source (held weakly by the table; the screen keeps it).
template <typename Section, typename Item, typename Hash = std::hash<Item>, typename Equal = std::equal_to<Item>>
class TableViewDiffableDataSource
    : public TableViewDataSource,
      public DiffableDataSource<Section, Item, Hash, Equal>,
      public std::enable_shared_from_this<TableViewDiffableDataSource<Section, Item, Hash, Equal>> {
public:
    using CellProvider = std::function<std::shared_ptr<TableViewCell>(TableView&, const IndexPath&, const Item&)>;
    using TitleProvider = std::function<std::optional<std::string>(TableView&, int section)>;

    static std::shared_ptr<TableViewDiffableDataSource> create(const std::shared_ptr<TableView>& table,
                                                               CellProvider provider) {
        auto source = std::shared_ptr<TableViewDiffableDataSource>(new TableViewDiffableDataSource());
        source->attach(table);
        source->m_provider = std::move(provider);
        table->setDataSource(source);
        return source;
    }

    TitleProvider headerTitleProvider;
    TitleProvider footerTitleProvider;

    int numberOfSections(TableView&) override { return this->sectionCount(); }
    int numberOfRows(TableView&, int section) override { return this->itemCount(section); }
    std::shared_ptr<TableViewCell> cellForRow(TableView& table, const IndexPath& indexPath) override {
        const auto item = this->itemIdentifier(indexPath);
        if (!item || !m_provider) base::fatal("no cell for an index path");
        return m_provider(table, indexPath, *item);
    }
    std::optional<std::string> titleForHeader(TableView& table, int section) override {
        return headerTitleProvider ? headerTitleProvider(table, section) : std::nullopt;
    }
    std::optional<std::string> titleForFooter(TableView& table, int section) override {
        return footerTitleProvider ? footerTitleProvider(table, section) : std::nullopt;
    }

private:
    TableViewDiffableDataSource() = default;

    CellProvider m_provider;
};

}  // namespace ui
