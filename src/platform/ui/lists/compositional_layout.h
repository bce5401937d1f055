#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/ui/lists/collection_layout_section.h"
#include "platform/ui/lists/collection_view_layout.h"
#include "platform/ui/lists/list_layout_configuration.h"

namespace ui {

// A layout whose sections come from a provider, asked per section with the real environment
// (the list's effective content size and traits) on every layout pass. Groups of items stack
// down the section; a horizontal group places its items side by side, a vertical one above each
// other. Estimated heights are replaced by what the cells measure.
class CompositionalLayout : public CollectionViewLayout {
public:
    using SectionProvider =
        std::function<std::optional<CollectionLayoutSection>(int section, const CollectionLayoutEnvironment&)>;

    static std::shared_ptr<CompositionalLayout> create(SectionProvider provider);
    static std::shared_ptr<CompositionalLayout> createList(CollectionLayoutSection::ListAppearance appearance);
    static std::shared_ptr<CompositionalLayout> createList(const ListLayoutConfiguration& configuration);
    std::string className() const override { return "CompositionalLayout"; }

    std::optional<CollectionLayoutSection> section(int index, const CollectionLayoutEnvironment& environment) const;
    // The colour a list layout lies on (none for other layouts): a list given it shows it.
    const std::optional<Color>& listBackgroundColor() const { return m_listBackground; }
    ListGeometry prepare(const ListLayoutContext& context) const override;

private:
    CompositionalLayout() = default;

    SectionProvider m_provider;
    std::optional<Color> m_listBackground;
};

}  // namespace ui
