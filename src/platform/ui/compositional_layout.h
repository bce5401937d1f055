#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/ui/collection_layout_section.h"
#include "platform/ui/object.h"

namespace ui {

// A layout whose sections come from a provider, evaluated per section and environment.
class CompositionalLayout : public Object {
public:
    using SectionProvider =
        std::function<std::optional<CollectionLayoutSection>(int section, const CollectionLayoutEnvironment&)>;

    static std::shared_ptr<CompositionalLayout> create(SectionProvider provider);
    static std::shared_ptr<CompositionalLayout> createList(CollectionLayoutSection::ListAppearance appearance);
    std::string className() const override { return "CompositionalLayout"; }

    std::optional<CollectionLayoutSection> section(int index, const CollectionLayoutEnvironment& environment) const;
    void invalidateLayout() { ++m_invalidations; }
    int invalidations() const { return m_invalidations; }

private:
    CompositionalLayout() = default;

    SectionProvider m_provider;
    int m_invalidations = 0;
};

}  // namespace ui
