#include "platform/ui/layout/layout_engine.h"

#include <cmath>

#include "platform/base/log.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/layout/layout_guide.h"
#include "platform/ui/layout/layout_spec_builder.h"
#include "platform/ui/views/view.h"

namespace ui {

namespace {

// Bumped by every change a layout depends on; views live on the main thread only.
thread_local std::uint64_t changeCounter = 1;

constexpr std::string_view logCategory = "layout";

bool sameTerms(const layout::Expression& a, const layout::Expression& b) {
    if (a.terms().size() != b.terms().size()) return false;
    for (std::size_t i = 0; i < a.terms().size(); ++i) {
        if (a.terms()[i].variable != b.terms()[i].variable || a.terms()[i].coefficient != b.terms()[i].coefficient)
            return false;
    }
    return true;
}

// Constants a stay or an autoresizing mask reads from a frame the engine itself applied.
bool readsFrame(LayoutSpec::Kind kind) {
    switch (kind) {
        case LayoutSpec::Kind::stayX:
        case LayoutSpec::Kind::stayY:
        case LayoutSpec::Kind::stayWidth:
        case LayoutSpec::Kind::stayHeight:
        case LayoutSpec::Kind::autoresizingX:
        case LayoutSpec::Kind::autoresizingY:
        case LayoutSpec::Kind::autoresizingWidth:
        case LayoutSpec::Kind::autoresizingHeight: return true;
        default: return false;
    }
}

const char* kindName(LayoutSpec::Kind kind) {
    switch (kind) {
        case LayoutSpec::Kind::user: return "constraint";
        case LayoutSpec::Kind::rootX:
        case LayoutSpec::Kind::rootY:
        case LayoutSpec::Kind::rootWidth:
        case LayoutSpec::Kind::rootHeight: return "root frame";
        case LayoutSpec::Kind::autoresizingX:
        case LayoutSpec::Kind::autoresizingY:
        case LayoutSpec::Kind::autoresizingWidth:
        case LayoutSpec::Kind::autoresizingHeight: return "autoresizing mask";
        case LayoutSpec::Kind::stayX:
        case LayoutSpec::Kind::stayY:
        case LayoutSpec::Kind::stayWidth:
        case LayoutSpec::Kind::stayHeight: return "frame set by code";
        case LayoutSpec::Kind::huggingWidth:
        case LayoutSpec::Kind::huggingHeight: return "content hugging";
        case LayoutSpec::Kind::compressionWidth:
        case LayoutSpec::Kind::compressionHeight: return "compression resistance";
        case LayoutSpec::Kind::nonNegativeWidth:
        case LayoutSpec::Kind::nonNegativeHeight: return "size of at least 0";
        case LayoutSpec::Kind::guideX:
        case LayoutSpec::Kind::guideY:
        case LayoutSpec::Kind::guideWidth:
        case LayoutSpec::Kind::guideHeight:
        case LayoutSpec::Kind::readableLimit:
        case LayoutSpec::Kind::readableFill: return "layout guide";
        case LayoutSpec::Kind::stack: return "stack arrangement";
    }
    return "";
}

double snap(double value) { return std::round(value * 1e6) / 1e6; }

}  // namespace

LayoutEngine::LayoutEngine() : m_solver(std::make_unique<layout::Solver>()) {}
LayoutEngine::~LayoutEngine() = default;

void LayoutEngine::noteChange() { ++changeCounter; }

ItemVariables& LayoutEngine::variablesFor(const void* item) {
    auto [it, inserted] = m_variables.try_emplace(item);
    if (inserted) {
        it->second = {m_solver->newVariable(), m_solver->newVariable(), m_solver->newVariable(),
                      m_solver->newVariable()};
    }
    return it->second;
}

void LayoutEngine::reset() {
    m_solver = std::make_unique<layout::Solver>();
    m_variables.clear();
    m_installed.clear();
    m_keysById.clear();
    m_applied.clear();
}

void LayoutEngine::update(View& root) {
    if (m_seenChanges == changeCounter) return;
    // Views come and go; their variables stay in the solver. Start afresh once most are dead.
    if (m_variables.size() > 64 && m_variables.size() > 4 * (m_lastItemCount + 16)) reset();
    LayoutSpecBuilder builder([this](const LayoutItem* item) -> ItemVariables& { return variablesFor(item); });
    // Safe areas and margins are read from frames; a second round settles guides that moved.
    for (int round = 0; round < 3; ++round) {
        m_seenChanges = changeCounter;
        builder.build(root);
        if (builder.views().empty()) {
            if (!m_installed.empty()) reset();
            return;
        }
        m_lastItemCount = builder.views().size();
        const Change change = install(builder.specs());
        if (change == Change::none && round > 0) break;
        if (change == Change::structure) reportAmbiguity(builder.views());
        const bool moved = applyFrames(builder.views());
        m_seenChanges = changeCounter;  // our own frames are no change to react to
        if (!moved || !builder.readsSafeArea()) break;
    }
}

LayoutEngine::Change LayoutEngine::install(std::vector<LayoutSpec>& specs) {
    Change change = Change::none;
    // Constraints that went away leave first, so what they contradicted may hold now.
    ++m_generation;
    for (const LayoutSpec& spec : specs) m_installed[spec.key].generation = m_generation;
    for (auto it = m_installed.begin(); it != m_installed.end();) {
        if (it->second.generation == m_generation) {
            ++it;
            continue;
        }
        if (it->second.id != layout::Solver::noConstraint) {
            m_solver->remove(it->second.id);
            m_keysById.erase(it->second.id);
        }
        it = m_installed.erase(it);
        change = Change::structure;
    }
    // Then constants move, then new and changed constraints come in, and last the ones broken
    // before try again, so a conflict is judged against the whole new system.
    std::vector<const LayoutSpec*> additions;
    std::vector<const LayoutSpec*> retries;
    for (LayoutSpec& spec : specs) {
        Installed& installed = m_installed[spec.key];
        if (!installed.known) {
            additions.push_back(&spec);
            continue;
        }
        const bool same = installed.relation == spec.relation && installed.priority == spec.priority &&
                          sameTerms(installed.expression, spec.expression);
        if (!same) {
            if (installed.id != layout::Solver::noConstraint) {
                m_solver->remove(installed.id);
                m_keysById.erase(installed.id);
                installed.id = layout::Solver::noConstraint;
            }
            additions.push_back(&spec);
            continue;
        }
        if (installed.id == layout::Solver::noConstraint) {
            retries.push_back(&spec);
            continue;
        }
        const double constant = spec.expression.constant();
        if (installed.expression.constant() == constant) continue;
        // A frame the engine applied itself is the solution already: nothing to move.
        if (readsFrame(spec.key.kind) && spec.view) {
            const auto applied = m_applied.find(spec.view);
            if (applied != m_applied.end() && applied->second == spec.view->frame()) continue;
        }
        installed.expression.setConstant(constant);
        const auto outcome = m_solver->setConstant(installed.id, constant);
        if (change == Change::none) change = Change::constants;
        if (!outcome.isAdded()) {
            m_keysById.erase(installed.id);
            installed.id = layout::Solver::noConstraint;
            reportBroken(outcome.conflicts, installed);
            change = Change::structure;
        }
    }
    for (const LayoutSpec* spec : additions) {
        Installed& installed = m_installed[spec->key];
        installed.known = true;
        add(*spec, installed);
        change = Change::structure;
    }
    for (const LayoutSpec* spec : retries) {
        Installed& installed = m_installed[spec->key];
        add(*spec, installed);
        if (installed.id != layout::Solver::noConstraint) change = Change::structure;
    }
    return change;
}

void LayoutEngine::add(const LayoutSpec& spec, Installed& installed) {
    const layout::Strength strength =
        spec.priority < 0 ? layout::Strength::stay() : LayoutSpecBuilder::strengthFor(spec.priority);
    installed.expression = spec.expression;
    installed.relation = spec.relation;
    installed.priority = spec.priority;
    installed.constraint = spec.constraint;
    installed.view = spec.view;
    installed.kind = spec.key.kind;
    const auto outcome = m_solver->add(spec.expression, spec.relation, strength);
    if (outcome.isAdded()) {
        installed.id = outcome.constraint;
        installed.reported = false;
        m_keysById[installed.id] = spec.key;
        return;
    }
    installed.id = layout::Solver::noConstraint;
    reportBroken(outcome.conflicts, installed);
}

std::string LayoutEngine::describe(const Installed& installed) const {
    if (auto constraint = installed.constraint.lock()) return constraint->description();
    std::string text = kindName(installed.kind);
    if (installed.view) text += " of " + installed.view->layoutItemName();
    return text;
}

void LayoutEngine::reportBroken(const std::vector<layout::Solver::ConstraintId>& conflicts, Installed& installed) {
    if (installed.reported) return;
    installed.reported = true;
    // Every constraint in the conflict is required, so the one to give way is the weakest by
    // order: the one that came last, which is this one.
    std::string message = "Unable to satisfy all required constraints at once:";
    for (const auto id : conflicts) {
        const auto key = m_keysById.find(id);
        if (key == m_keysById.end()) continue;
        const auto found = m_installed.find(key->second);
        if (found != m_installed.end()) message += "\n    " + describe(found->second);
    }
    const std::string broken = describe(installed);
    message += "\n    " + broken + "\nBreaking " + broken;
    m_brokenDescriptions.push_back(broken);
    base::log(base::LogLevel::warning, logCategory, message);
}

void LayoutEngine::reportAmbiguity(const std::vector<const View*>& views) {
    const auto variables = m_solver->ambiguousVariables();
    std::string names;
    if (!variables.empty()) {
        std::vector<char> undecided(m_solver->variableCount(), 0);
        for (const auto variable : variables) undecided[variable.id] = 1;
        for (const View* view : views) {
            const ItemVariables& v = variablesFor(LayoutSpecBuilder::itemOf(view));
            if (undecided[v.left.id] || undecided[v.top.id] || undecided[v.width.id] || undecided[v.height.id]) {
                names += names.empty() ? "" : ", ";
                names += view->layoutItemName();
            }
        }
    }
    if (names == m_lastAmbiguity) return;
    m_lastAmbiguity = names;
    if (!names.empty()) {
        base::log(base::LogLevel::warning, logCategory, "Ambiguous layout, constraints leave undecided: " + names);
    }
}

bool LayoutEngine::applyFrames(const std::vector<const View*>& views) {
    bool moved = false;
    for (const View* view : views) {
        const auto superview = view->superview();
        if (!superview) continue;  // the root keeps the frame it has
        const ItemVariables& v = variablesFor(LayoutSpecBuilder::itemOf(view));
        const ItemVariables& s = variablesFor(LayoutSpecBuilder::itemOf(superview.get()));
        const Rect frame(snap(m_solver->value(v.left) - m_solver->value(s.left)),
                         snap(m_solver->value(v.top) - m_solver->value(s.top)),
                         std::max(0.0, snap(m_solver->value(v.width))), std::max(0.0, snap(m_solver->value(v.height))));
        if (!(frame == view->frame())) {
            // The frame leaves the transform out, as layout does.
            const_cast<View*>(view)->setFrame(frame);
            moved = true;
        }
        m_applied[view] = view->frame();
    }
    return moved;
}

}  // namespace ui
