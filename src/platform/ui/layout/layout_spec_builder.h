#pragma once

#include <functional>
#include <unordered_set>
#include <vector>

#include "platform/ui/layout/item_variables.h"
#include "platform/ui/layout/layout_spec.h"

namespace ui {

class LayoutConstraint;
class LayoutGuide;
class LayoutItem;
class StackView;
class View;

// Gathers what a view tree asks of the layout engine: which views the engine governs (views that
// use constraints, views constraints name, stacks, and their ancestors), and every constraint for
// them: the users' own, autoresizing masks of views that translate them, content sizes with
// hugging and compression resistance, layout guides, stack arrangements, and stays that keep
// undecided values where code put them.
class LayoutSpecBuilder {
public:
    using VariablesFor = std::function<ItemVariables&(const LayoutItem*)>;
    // The width a readable-content guide does not exceed.
    static constexpr double readableWidth = 672;
    // Keeps a governed view's width and height at 0 or more; only a required constraint outweighs it.
    static constexpr float nonNegativePriority = 999;

    explicit LayoutSpecBuilder(VariablesFor variablesFor) : m_variablesFor(std::move(variablesFor)) {}

    void build(View& root);

    // The governed views, parents before children; empty when the tree uses no constraints.
    const std::vector<const View*>& views() const { return m_views; }
    std::vector<LayoutSpec>& specs() { return m_specs; }
    // Whether a spec reads a safe area or margins, which follow the frames being solved.
    bool readsSafeArea() const { return m_readsSafeArea; }

    static const LayoutItem* itemOf(const View* view);
    // A priority as a solver strength (required at 1000 and above).
    static layout::Strength strengthFor(float priority);

private:
    void collect(View& view, int parent);
    void addViewSpecs(const View& view);
    void addRootSpecs(const View& root);
    void addAutoresizingSpecs(const View& view, const View& superview);
    void addStaySpecs(const View& view, const View* superview);
    void addContentSizeSpecs(const View& view);
    void addUserSpec(const std::shared_ptr<LayoutConstraint>& constraint);
    void addGuideSpecs(const LayoutGuide& guide);
    layout::Expression attributeExpression(const LayoutItem& item, LayoutAttribute attribute);
    void add(const void* owner, LayoutSpec::Kind kind, int index, layout::Expression expression,
             layout::Relation relation, float priority, const View* view);

    VariablesFor m_variablesFor;
    std::vector<View*> m_order;
    std::vector<int> m_parents;
    std::vector<char> m_involved;
    std::unordered_set<const View*> m_referenced;
    std::vector<const LayoutGuide*> m_guides;
    std::vector<const View*> m_views;
    std::vector<LayoutSpec> m_specs;
    bool m_readsSafeArea = false;
};

}  // namespace ui
