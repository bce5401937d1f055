#pragma once

#include <cstdint>
#include <vector>

#include "platform/ui/layout/linear_expression.h"
#include "platform/ui/layout/solver_row.h"

namespace ui::layout {

// An incremental simplex solver for linear equalities and inequalities with priorities, in the
// manner of Cassowary: constraints go in and out one at a time, each change re-optimises from
// the previous solution, and changing a constraint's constant (an edit, a resize) re-solves
// with the dual simplex touching only the rows that hold the constraint's marker.
//
// Every constraint reads "expression (relation) 0". Required constraints hold or are refused
// with the required constraints they contradict; preferred ones minimise the sum of weight x
// violation; stays are weighed only among solutions that are equally good for everything else,
// so they settle what nothing else decides. Pivots follow Bland's rule (lowest symbol first), so
// solutions are deterministic and the simplex cannot cycle.
//
// Columns (the rows each symbol appears in) are kept lazily, so substituting a symbol or
// ratio-testing it touches only its own rows, not the whole tableau.
//
// Not thread-safe: one owner uses it at a time.
class Solver {
public:
    using ConstraintId = std::uint32_t;
    static constexpr ConstraintId noConstraint = UINT32_MAX;

    // What adding (or changing) a constraint came to. A refused required constraint is not in the
    // solver; `conflicts` names the required constraints it contradicts.
    struct Outcome {
        ConstraintId constraint = noConstraint;
        std::vector<ConstraintId> conflicts;
        bool isAdded() const { return constraint != noConstraint; }
    };

    Solver();

    Variable newVariable();
    std::size_t variableCount() const { return m_variableSymbols.size(); }
    // The value of `variable` in the current solution.
    double value(Variable variable) const;

    Outcome add(const Expression& expression, Relation relation, Strength strength);
    void remove(ConstraintId constraint);
    bool contains(ConstraintId constraint) const;
    // Sets the constant of the constraint's expression and re-solves incrementally. A required
    // constraint that can no longer hold is removed and the outcome says whom it contradicts.
    Outcome setConstant(ConstraintId constraint, double constant);
    double constantOf(ConstraintId constraint) const;
    std::size_t constraintCount() const { return m_constraintCount; }

    // An edit variable is a preferred "variable == value" constraint whose value moves often.
    ConstraintId addEditVariable(Variable variable, Strength strength);
    void suggestValue(ConstraintId edit, double value);

    // Variables that more than one best solution gives different values: their value is only
    // decided by stays or by the order of the simplex.
    std::vector<Variable> ambiguousVariables();

    // Pivots done since the solver was made, for tests that check a change stayed incremental.
    std::uint64_t pivotCount() const { return m_pivots; }

private:
    enum class Kind : std::uint8_t { external, slack, error, dummy };
    static constexpr std::uint32_t none = UINT32_MAX;

    struct Record {
        Expression expression;
        Relation relation = Relation::equal;
        Strength strength;
        std::uint32_t marker = none;
        std::uint32_t other = none;
        // The marker's coefficient in the constraint's own equation (before any negation).
        double markerCoefficient = 1;
        bool alive = false;
    };

    // The objective: preferred weights first, then stays; compared in that order.
    struct Objective {
        SolverRow* primary;
        SolverRow* secondary;
    };

    std::uint32_t newSymbol(Kind kind);
    bool isRestricted(std::uint32_t symbol) const { return m_kinds[symbol] != Kind::external; }
    SolverRow& objectiveFor(Strength::Tier tier) { return tier == Strength::Tier::stay ? m_stays : m_objective; }

    // Tableau rows.
    bool isBasic(std::uint32_t symbol) const { return m_basicSlot[symbol] != none; }
    SolverRow& rowOf(std::uint32_t symbol) { return m_rows[m_basicSlot[symbol]]; }
    const SolverRow& rowOf(std::uint32_t symbol) const { return m_rows[m_basicSlot[symbol]]; }
    void installRow(std::uint32_t basic, SolverRow&& row);
    SolverRow takeRow(std::uint32_t basic);
    void noteSymbolInRow(std::uint32_t symbol, std::uint32_t slot);
    // The live slots of the rows holding `symbol` (compacted in place).
    const std::vector<std::uint32_t>& column(std::uint32_t symbol);

    // Simplex steps.
    SolverRow createRow(ConstraintId id);
    // Puts the recorded constraint into the tableau; refused required constraints leave no trace.
    Outcome insert(ConstraintId id);
    // Takes the constraint's equation out of the tableau (the record stays).
    void withdraw(ConstraintId id);
    std::uint32_t chooseSubject(const SolverRow& row, const Record& record) const;
    bool allDummies(const SolverRow& row) const;
    bool addWithArtificialVariable(SolverRow&& row, std::vector<std::uint32_t>& blockers);
    void substitute(std::uint32_t symbol, const SolverRow& definition);
    void pivot(std::uint32_t slot, std::uint32_t entering);
    void optimize(Objective objective);
    std::uint32_t enteringSymbol(Objective objective) const;
    std::uint32_t leavingSlot(std::uint32_t entering);
    bool dualOptimize();
    std::uint32_t dualEnteringSymbol(const SolverRow& row) const;
    std::uint32_t markerLeavingSlot(std::uint32_t marker);
    void removeMarker(std::uint32_t marker);
    void purge(std::uint32_t symbol);
    void shiftMarker(const Record& record, double delta);
    void removeErrorEffects(const Record& record);
    std::vector<ConstraintId> ownersOf(const std::vector<std::uint32_t>& markers, ConstraintId except) const;
    void release(ConstraintId constraint);

    std::vector<Kind> m_kinds;                          // per symbol
    std::vector<std::uint32_t> m_basicSlot;             // per symbol: its row's slot, or none
    std::vector<std::vector<std::uint32_t>> m_columns;  // per symbol: slots that may hold it
    // Per symbol: column entries that may have gone stale (the row lost the symbol or was freed).
    std::vector<std::uint32_t> m_stale;
    // Per symbol: the variable of an external symbol, the constraint of a marker or error symbol.
    std::vector<std::uint32_t> m_owners;
    std::vector<SolverRow> m_rows;           // per slot
    std::vector<std::uint32_t> m_slotBasic;  // per slot: the basic symbol, or none when free
    std::vector<std::uint32_t> m_slotStamp;  // per slot: marks for column compaction
    std::vector<std::uint32_t> m_freeSlots;
    std::uint32_t m_stamp = 0;
    std::vector<std::uint32_t> m_variableSymbols;  // per variable
    std::vector<Record> m_records;                 // per constraint
    std::vector<ConstraintId> m_freeRecords;
    std::size_t m_constraintCount = 0;
    SolverRow m_objective;
    SolverRow m_stays;
    SolverRow m_artificial;
    bool m_artificialActive = false;
    std::uint32_t m_pendingArtificial = none;
    std::vector<std::uint32_t> m_infeasible;
    std::vector<SolverRow::Cell> m_scratch;
    std::vector<std::uint32_t> m_columnScratch;
    std::vector<std::uint32_t> m_addedScratch;
    std::uint64_t m_pivots = 0;
};

}  // namespace ui::layout
