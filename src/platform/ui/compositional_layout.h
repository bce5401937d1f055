#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/edge_insets.h"
#include "platform/ui/object.h"
#include "platform/ui/size.h"
#include "platform/ui/trait_collection.h"

namespace ui {

// One dimension of a layout size.
struct LayoutDimension {
    enum class Kind { fractionalWidth, fractionalHeight, absolute, estimated };
    Kind kind = Kind::fractionalWidth;
    double value = 1;

    static LayoutDimension fractionalWidth(double v) { return {Kind::fractionalWidth, v}; }
    static LayoutDimension fractionalHeight(double v) { return {Kind::fractionalHeight, v}; }
    static LayoutDimension absolute(double v) { return {Kind::absolute, v}; }
    static LayoutDimension estimated(double v) { return {Kind::estimated, v}; }
    bool operator==(const LayoutDimension&) const = default;
};

struct LayoutSize {
    LayoutDimension width;
    LayoutDimension height;
    bool operator==(const LayoutSize&) const = default;
};

// The values of one section of a compositional layout, recorded: its item and group sizes, how
// many items a group holds, spacing and insets, or a list configuration. Not solved.
struct CollectionLayoutSection {
    enum class ListAppearance { plain, grouped, insetGrouped, sidebar, sidebarPlain };

    LayoutSize itemSize;
    EdgeInsets itemContentInsets;
    LayoutSize groupSize;
    bool horizontalGroup = true;
    int itemsPerGroup = 1;
    double interItemSpacing = 0;
    double interGroupSpacing = 0;
    EdgeInsets contentInsets;
    std::optional<ListAppearance> listAppearance;
    bool hasHeader = false;
};

// The environment a section provider is asked in.
struct CollectionLayoutEnvironment {
    Size effectiveContentSize;
    TraitCollection traits;
};

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
