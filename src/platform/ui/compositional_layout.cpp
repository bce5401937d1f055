#include "platform/ui/compositional_layout.h"

namespace ui {

std::shared_ptr<CompositionalLayout> CompositionalLayout::create(SectionProvider provider) {
    auto layout = std::shared_ptr<CompositionalLayout>(new CompositionalLayout());
    layout->m_provider = std::move(provider);
    return layout;
}

std::shared_ptr<CompositionalLayout> CompositionalLayout::createList(
    CollectionLayoutSection::ListAppearance appearance) {
    return create([appearance](int, const CollectionLayoutEnvironment&) {
        CollectionLayoutSection section;
        section.listAppearance = appearance;
        section.itemSize = {LayoutDimension::fractionalWidth(1), LayoutDimension::estimated(44)};
        section.groupSize = section.itemSize;
        return std::optional<CollectionLayoutSection>(section);
    });
}

std::optional<CollectionLayoutSection> CompositionalLayout::section(
    int index, const CollectionLayoutEnvironment& environment) const {
    return m_provider ? m_provider(index, environment) : std::nullopt;
}

}  // namespace ui
