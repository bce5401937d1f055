#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/ui/layout/item_variables.h"
#include "platform/ui/layout/layout_spec.h"
#include "platform/ui/layout/solver.h"
#include "platform/ui/views/rect.h"

namespace ui {

class LayoutConstraint;
class View;

// Solves the constraints of one view tree into frames. The root view of the tree keeps it.
//
// Each update gathers what the tree asks for (LayoutSpecBuilder), hands the solver only what
// changed since the last update (a moved constant is re-solved in place, so a window resize or an
// animated constant costs a few pivots), then moves every view the constraints govern, parents
// first. Views outside the engine (no constraints, translating their autoresizing mask) keep the
// frames code gives them. A required constraint that contradicts the others is left out and logged
// once with the constraints it contradicts; a layout that constraints leave undecided is logged
// once as ambiguous; nothing aborts.
//
// Main thread only, like the views.
class LayoutEngine {
public:
    LayoutEngine();
    ~LayoutEngine();

    // Something a layout depends on changed (a constraint, a frame set by code, a content size).
    static void noteChange();

    // Solves the tree under `root` (a view without superview) and applies the frames, when
    // anything changed since the last update.
    void update(View& root);

    // For tests: what the last updates left out, by description, and the undecided views.
    const std::vector<std::string>& brokenConstraints() const { return m_brokenDescriptions; }
    const layout::Solver& solver() const { return *m_solver; }

private:
    enum class Change { none, constants, structure };
    struct Installed {
        layout::Solver::ConstraintId id = layout::Solver::noConstraint;
        layout::Expression expression;
        layout::Relation relation = layout::Relation::equal;
        float priority = 0;
        // For logs.
        std::weak_ptr<LayoutConstraint> constraint;
        const View* view = nullptr;
        LayoutSpec::Kind kind = LayoutSpec::Kind::user;
        std::uint64_t generation = 0;
        bool known = false;     // handed to the solver at least once
        bool reported = false;  // its conflict is logged
    };

    ItemVariables& variablesFor(const void* item);
    // Brings the solver in line with `specs`: new and changed constraints in, gone ones out,
    // moved constants re-solved in place.
    Change install(std::vector<LayoutSpec>& specs);
    void add(const LayoutSpec& spec, Installed& installed);
    void reportBroken(const std::vector<layout::Solver::ConstraintId>& conflicts, Installed& installed);
    void reportAmbiguity(const std::vector<const View*>& views);
    // Moves the governed views, parents first; returns whether any moved.
    bool applyFrames(const std::vector<const View*>& views);
    std::string describe(const Installed& installed) const;
    void reset();

    std::unique_ptr<layout::Solver> m_solver;
    std::unordered_map<const void*, ItemVariables> m_variables;
    std::unordered_map<LayoutSpec::Key, Installed, LayoutSpec::KeyHash> m_installed;
    std::unordered_map<layout::Solver::ConstraintId, LayoutSpec::Key> m_keysById;
    // The frame this engine last gave each view, to tell it from a frame set by code.
    std::unordered_map<const View*, Rect> m_applied;
    std::vector<std::string> m_brokenDescriptions;
    std::string m_lastAmbiguity;
    std::uint64_t m_seenChanges = 0;
    std::uint64_t m_generation = 0;
    std::size_t m_lastItemCount = 0;
};

}  // namespace ui
