#include "platform/ui/layout/solver.h"

#include <algorithm>
#include <limits>

#include "platform/base/fatal.h"

namespace ui::layout {

namespace {

// Reduced costs are sums of weights; below this they count as zero. Weights start at 1, so
// a real difference is far larger, and rounding in long sums stays far smaller.
constexpr double objectiveEpsilon = 1e-7;

// (primaryA, secondaryA) < (primaryB, secondaryB), each compared with a tolerance.
bool lexicographicLess(double primaryA, double secondaryA, double primaryB, double secondaryB) {
    if (primaryA < primaryB - objectiveEpsilon) return true;
    if (primaryA > primaryB + objectiveEpsilon) return false;
    return secondaryA < secondaryB - objectiveEpsilon;
}

void ignoreSymbol(std::uint32_t) {}

}  // namespace

Solver::Solver() {
    m_kinds.reserve(256);
    m_rows.reserve(64);
}

std::uint32_t Solver::newSymbol(Kind kind) {
    const auto symbol = static_cast<std::uint32_t>(m_kinds.size());
    m_kinds.push_back(kind);
    m_basicSlot.push_back(none);
    m_columns.emplace_back();
    m_stale.push_back(0);
    m_owners.push_back(none);
    return symbol;
}

Variable Solver::newVariable() {
    const Variable variable{static_cast<std::uint32_t>(m_variableSymbols.size())};
    const std::uint32_t symbol = newSymbol(Kind::external);
    m_owners[symbol] = variable.id;
    m_variableSymbols.push_back(symbol);
    return variable;
}

double Solver::value(Variable variable) const {
    const std::uint32_t symbol = m_variableSymbols[variable.id];
    return isBasic(symbol) ? rowOf(symbol).constant : 0.0;
}

// --- Rows and columns -------------------------------------------------------------------------

void Solver::installRow(std::uint32_t basic, SolverRow&& row) {
    std::uint32_t slot;
    if (!m_freeSlots.empty()) {
        slot = m_freeSlots.back();
        m_freeSlots.pop_back();
        m_rows[slot] = std::move(row);
    } else {
        slot = static_cast<std::uint32_t>(m_rows.size());
        m_rows.push_back(std::move(row));
        m_slotBasic.push_back(none);
        m_slotStamp.push_back(0);
    }
    m_slotBasic[slot] = basic;
    m_basicSlot[basic] = slot;
    for (const auto& cell : m_rows[slot].cells()) noteSymbolInRow(cell.symbol, slot);
}

SolverRow Solver::takeRow(std::uint32_t basic) {
    const std::uint32_t slot = m_basicSlot[basic];
    SolverRow row = std::move(m_rows[slot]);
    for (const auto& cell : row.cells()) ++m_stale[cell.symbol];
    m_rows[slot].clear();
    m_slotBasic[slot] = none;
    m_basicSlot[basic] = none;
    m_freeSlots.push_back(slot);
    return row;
}

void Solver::noteSymbolInRow(std::uint32_t symbol, std::uint32_t slot) {
    auto& entries = m_columns[symbol];
    entries.push_back(slot);
    // Compact once stale entries are as many as live ones, so the work stays proportional.
    if (m_stale[symbol] > 8 && m_stale[symbol] * 2 > entries.size()) column(symbol);
}

const std::vector<std::uint32_t>& Solver::column(std::uint32_t symbol) {
    // Without a removal since the last compaction, every entry is live and single.
    if (m_stale[symbol] == 0) return m_columns[symbol];
    if (++m_stamp == 0) {
        std::fill(m_slotStamp.begin(), m_slotStamp.end(), 0);
        m_stamp = 1;
    }
    auto& entries = m_columns[symbol];
    std::size_t kept = 0;
    for (const std::uint32_t slot : entries) {
        if (m_slotBasic[slot] == none || m_slotStamp[slot] == m_stamp || !m_rows[slot].contains(symbol)) continue;
        m_slotStamp[slot] = m_stamp;
        entries[kept++] = slot;
    }
    entries.resize(kept);
    m_stale[symbol] = 0;
    return entries;
}

void Solver::substitute(std::uint32_t symbol, const SolverRow& definition) {
    m_columnScratch = column(symbol);
    for (const std::uint32_t slot : m_columnScratch) {
        SolverRow& row = m_rows[slot];
        // Symbols new to the row enter their columns once the merge is done, as a column may be
        // compacted on the way in and must then find them in the row.
        m_addedScratch.clear();
        row.substitute(
            symbol, definition, m_scratch, [&](std::uint32_t added) { m_addedScratch.push_back(added); },
            [&](std::uint32_t cancelled) { ++m_stale[cancelled]; });
        for (const std::uint32_t added : m_addedScratch) noteSymbolInRow(added, slot);
        const std::uint32_t basic = m_slotBasic[slot];
        if (isRestricted(basic) && row.constant < -nearZeroEpsilon) m_infeasible.push_back(basic);
    }
    m_columns[symbol].clear();
    m_stale[symbol] = 0;
    m_objective.substitute(symbol, definition, m_scratch, ignoreSymbol, ignoreSymbol);
    m_stays.substitute(symbol, definition, m_scratch, ignoreSymbol, ignoreSymbol);
    if (m_artificialActive) m_artificial.substitute(symbol, definition, m_scratch, ignoreSymbol, ignoreSymbol);
}

void Solver::pivot(std::uint32_t slot, std::uint32_t entering) {
    const std::uint32_t leaving = m_slotBasic[slot];
    SolverRow& row = m_rows[slot];
    row.solveFor(leaving, entering);
    noteSymbolInRow(leaving, slot);
    m_basicSlot[leaving] = none;
    m_slotBasic[slot] = entering;
    m_basicSlot[entering] = slot;
    // `row` stays put: substitution changes other rows only, never the list of rows.
    substitute(entering, row);
    ++m_pivots;
}

void Solver::purge(std::uint32_t symbol) {
    if (symbol == none) return;
    if (isBasic(symbol)) takeRow(symbol);
    for (const std::uint32_t slot : column(symbol)) m_rows[slot].remove(symbol);
    m_columns[symbol].clear();
    m_stale[symbol] = 0;
    m_objective.remove(symbol);
    m_stays.remove(symbol);
}

// --- Adding and removing constraints ----------------------------------------------------------

SolverRow Solver::createRow(ConstraintId id) {
    Record& record = m_records[id];
    SolverRow row;
    row.constant = record.expression.constant();
    for (const Term& term : record.expression.terms()) {
        if (nearZero(term.coefficient)) continue;
        const std::uint32_t symbol = m_variableSymbols[term.variable.id];
        if (isBasic(symbol)) {
            row.insertRow(rowOf(symbol), term.coefficient, none, m_scratch, ignoreSymbol, ignoreSymbol);
        } else {
            row.insert(symbol, term.coefficient);
        }
    }
    const Strength strength = record.strength;
    if (record.relation != Relation::equal) {
        // expression <= 0 becomes expression + slack = 0; >= 0 becomes expression - slack = 0.
        const double coefficient = record.relation == Relation::lessOrEqual ? 1.0 : -1.0;
        record.marker = newSymbol(Kind::slack);
        record.markerCoefficient = coefficient;
        row.insert(record.marker, coefficient);
        if (!strength.isRequired()) {
            record.other = newSymbol(Kind::error);
            row.insert(record.other, -coefficient);
            objectiveFor(strength.tier).insert(record.other, strength.weight);
        }
    } else if (strength.isRequired()) {
        record.marker = newSymbol(Kind::dummy);
        record.markerCoefficient = 1.0;
        row.insert(record.marker, 1.0);
    } else {
        // expression = plus - minus, both errors weighed.
        record.marker = newSymbol(Kind::error);
        record.other = newSymbol(Kind::error);
        record.markerCoefficient = -1.0;
        row.insert(record.marker, -1.0);
        row.insert(record.other, 1.0);
        SolverRow& objective = objectiveFor(strength.tier);
        objective.insert(record.marker, strength.weight);
        objective.insert(record.other, strength.weight);
    }
    m_owners[record.marker] = id;
    if (record.other != none) m_owners[record.other] = id;
    if (row.constant < 0) row.negate();
    return row;
}

std::uint32_t Solver::chooseSubject(const SolverRow& row, const Record& record) const {
    for (const auto& cell : row.cells()) {
        if (m_kinds[cell.symbol] == Kind::external) return cell.symbol;
    }
    for (const std::uint32_t symbol : {record.marker, record.other}) {
        if (symbol == none) continue;
        const Kind kind = m_kinds[symbol];
        if ((kind == Kind::slack || kind == Kind::error) && row.coefficientFor(symbol) < 0) return symbol;
    }
    return none;
}

bool Solver::allDummies(const SolverRow& row) const {
    return std::all_of(row.cells().begin(), row.cells().end(),
                       [&](const auto& cell) { return m_kinds[cell.symbol] == Kind::dummy; });
}

bool Solver::addWithArtificialVariable(SolverRow&& row, std::vector<std::uint32_t>& blockers) {
    // Minimise an artificial slack that carries the new row's residue; the constraint can hold
    // only when it reaches zero.
    const std::uint32_t artificial = newSymbol(Kind::slack);
    m_artificial = row;
    m_artificialActive = true;
    installRow(artificial, std::move(row));
    optimize({&m_artificial, nullptr});
    const bool success = nearZero(m_artificial.constant);
    if (!success) {
        // What keeps the residue above zero: the required markers left in the minimised row.
        for (const auto& cell : m_artificial.cells()) {
            const Kind kind = m_kinds[cell.symbol];
            if (kind == Kind::slack || kind == Kind::dummy) blockers.push_back(cell.symbol);
        }
    }
    m_artificialActive = false;
    m_artificial.clear();
    if (!success) {
        // The caller takes the constraint out again through its marker; the artificial symbol
        // stays until then, so the tableau remains feasible.
        m_pendingArtificial = artificial;
        return false;
    }
    if (isBasic(artificial)) {
        SolverRow residue = takeRow(artificial);
        if (!residue.empty()) {
            std::uint32_t entering = none;
            for (const auto& cell : residue.cells()) {
                const Kind kind = m_kinds[cell.symbol];
                if (kind == Kind::slack || kind == Kind::error) {
                    entering = cell.symbol;
                    break;
                }
            }
            if (entering == none) {
                purge(artificial);
                return false;
            }
            residue.solveFor(artificial, entering);
            substitute(entering, residue);
            installRow(entering, std::move(residue));
        }
    }
    purge(artificial);
    return true;
}

Solver::Outcome Solver::add(const Expression& expression, Relation relation, Strength strength) {
    ConstraintId id;
    if (!m_freeRecords.empty()) {
        id = m_freeRecords.back();
        m_freeRecords.pop_back();
    } else {
        id = static_cast<ConstraintId>(m_records.size());
        m_records.emplace_back();
    }
    Record& record = m_records[id];
    record = Record{};
    record.expression = expression;
    record.relation = relation;
    record.strength = strength;
    record.alive = true;
    Outcome outcome = insert(id);
    if (!outcome.isAdded()) release(id);
    return outcome;
}

Solver::Outcome Solver::insert(ConstraintId id) {
    Record& record = m_records[id];
    record.marker = none;
    record.other = none;
    SolverRow row = createRow(id);
    std::uint32_t subject = chooseSubject(row, record);
    if (subject == none && allDummies(row)) {
        if (!nearZero(row.constant)) {
            std::vector<std::uint32_t> dummies;
            for (const auto& cell : row.cells()) dummies.push_back(cell.symbol);
            Outcome refused;
            refused.conflicts = ownersOf(dummies, id);
            return refused;
        }
        subject = record.marker;  // redundant: it repeats what other constraints already say
    }
    if (subject == none) {
        std::vector<std::uint32_t> blockers;
        if (!addWithArtificialVariable(std::move(row), blockers)) {
            Outcome refused;
            refused.conflicts = ownersOf(blockers, id);
            removeMarker(record.marker);
            purge(record.marker);
            purge(m_pendingArtificial);
            m_pendingArtificial = none;
            optimize({&m_objective, &m_stays});
            return refused;
        }
    } else {
        row.solveFor(subject);
        substitute(subject, row);
        installRow(subject, std::move(row));
    }
    ++m_constraintCount;
    optimize({&m_objective, &m_stays});
    if (!m_infeasible.empty()) {
        dualOptimize();
        optimize({&m_objective, &m_stays});
    }
    return {id, {}};
}

void Solver::removeErrorEffects(const Record& record) {
    for (const std::uint32_t symbol : {record.marker, record.other}) {
        if (symbol == none || m_kinds[symbol] != Kind::error) continue;
        SolverRow& objective = objectiveFor(record.strength.tier);
        if (isBasic(symbol)) {
            objective.insertRow(rowOf(symbol), -record.strength.weight, none, m_scratch, ignoreSymbol, ignoreSymbol);
        } else {
            objective.insert(symbol, -record.strength.weight);
        }
    }
}

std::uint32_t Solver::markerLeavingSlot(std::uint32_t marker) {
    // Prefer the row that stays feasible when the marker enters (smallest ratio, restricted rows
    // first), then any restricted row, then an unrestricted one.
    constexpr double infinity = std::numeric_limits<double>::infinity();
    double firstRatio = infinity;
    double secondRatio = infinity;
    std::uint32_t first = none;
    std::uint32_t second = none;
    std::uint32_t third = none;
    auto better = [&](double ratio, std::uint32_t slot, double bestRatio, std::uint32_t best) {
        return ratio < bestRatio || (ratio == bestRatio && m_slotBasic[slot] < m_slotBasic[best]);
    };
    for (const std::uint32_t slot : column(marker)) {
        const SolverRow& row = m_rows[slot];
        const double coefficient = row.coefficientFor(marker);
        if (!isRestricted(m_slotBasic[slot])) {
            if (third == none || m_slotBasic[slot] < m_slotBasic[third]) third = slot;
        } else if (coefficient < 0) {
            const double ratio = -row.constant / coefficient;
            if (first == none || better(ratio, slot, firstRatio, first)) {
                firstRatio = ratio;
                first = slot;
            }
        } else {
            const double ratio = row.constant / coefficient;
            if (second == none || better(ratio, slot, secondRatio, second)) {
                secondRatio = ratio;
                second = slot;
            }
        }
    }
    if (first != none) return first;
    if (second != none) return second;
    return third;
}

void Solver::removeMarker(std::uint32_t marker) {
    if (isBasic(marker)) {
        takeRow(marker);
        return;
    }
    const std::uint32_t slot = markerLeavingSlot(marker);
    if (slot == none) return;
    const std::uint32_t leaving = m_slotBasic[slot];
    SolverRow row = takeRow(leaving);
    row.solveFor(leaving, marker);
    substitute(marker, row);
    ++m_pivots;
}

void Solver::remove(ConstraintId id) {
    if (!contains(id)) return;
    withdraw(id);
    optimize({&m_objective, &m_stays});
    release(id);
}

void Solver::withdraw(ConstraintId id) {
    const Record& record = m_records[id];
    removeErrorEffects(record);
    removeMarker(record.marker);
    // Both symbols appear in this constraint's equation alone, so nothing holds them any more;
    // purging only sweeps rounding dust.
    purge(record.marker);
    purge(record.other);
    --m_constraintCount;
}

void Solver::release(ConstraintId id) {
    Record& record = m_records[id];
    record.alive = false;
    record.expression = Expression();
    m_freeRecords.push_back(id);
}

bool Solver::contains(ConstraintId id) const { return id < m_records.size() && m_records[id].alive; }

double Solver::constantOf(ConstraintId id) const { return m_records[id].expression.constant(); }

std::vector<Solver::ConstraintId> Solver::ownersOf(const std::vector<std::uint32_t>& markers,
                                                   ConstraintId except) const {
    std::vector<ConstraintId> owners;
    for (const std::uint32_t marker : markers) {
        const std::uint32_t owner = m_owners[marker];
        if (owner == none || owner == except || !m_records[owner].alive) continue;
        if (!m_records[owner].strength.isRequired()) continue;
        if (std::find(owners.begin(), owners.end(), owner) == owners.end()) owners.push_back(owner);
    }
    std::sort(owners.begin(), owners.end());
    return owners;
}

// --- Changing constants -----------------------------------------------------------------------

void Solver::shiftMarker(const Record& record, double delta) {
    // A constant that grows by delta is the old system with the marker moved by delta / m, m the
    // marker's coefficient in the constraint's equation: shift the marker's column instead.
    const double shift = delta / record.markerCoefficient;
    const std::uint32_t marker = record.marker;
    if (isBasic(marker)) {
        SolverRow& row = rowOf(marker);
        row.constant -= shift;
        if (row.constant < -nearZeroEpsilon) m_infeasible.push_back(marker);
        return;
    }
    for (const std::uint32_t slot : column(marker)) {
        SolverRow& row = m_rows[slot];
        row.constant += row.coefficientFor(marker) * shift;
        const std::uint32_t basic = m_slotBasic[slot];
        if (isRestricted(basic) && row.constant < -nearZeroEpsilon) m_infeasible.push_back(basic);
    }
    m_objective.constant += m_objective.coefficientFor(marker) * shift;
    m_stays.constant += m_stays.coefficientFor(marker) * shift;
}

Solver::Outcome Solver::setConstant(ConstraintId id, double constant) {
    if (!contains(id)) return {};
    Record& record = m_records[id];
    const double delta = constant - record.expression.constant();
    if (delta == 0) return {id, {}};
    record.expression.setConstant(constant);
    m_infeasible.clear();
    // A required equality whose marker stands in a redundant row (all dummies) has no slack to
    // move: re-adding it decides whether it still holds.
    bool shiftable = true;
    if (m_kinds[record.marker] == Kind::dummy) {
        if (isBasic(record.marker)) {
            shiftable = false;
        } else {
            for (const std::uint32_t slot : column(record.marker)) {
                if (m_kinds[m_slotBasic[slot]] == Kind::dummy) shiftable = false;
            }
        }
    }
    if (shiftable) {
        shiftMarker(record, delta);
        if (dualOptimize()) return {id, {}};
        // It cannot hold: step back to the old constant (feasible again) and re-add below to
        // learn what it contradicts.
        shiftMarker(record, -delta);
        dualOptimize();
    }
    withdraw(id);
    optimize({&m_objective, &m_stays});
    Outcome outcome = insert(id);
    if (!outcome.isAdded()) release(id);
    return outcome;
}

Solver::ConstraintId Solver::addEditVariable(Variable variable, Strength strength) {
    if (strength.isRequired()) base::fatal("an edit variable cannot be required");
    return add(Expression(variable), Relation::equal, strength).constraint;
}

void Solver::suggestValue(ConstraintId edit, double value) { setConstant(edit, -value); }

// --- Simplex ----------------------------------------------------------------------------------

std::uint32_t Solver::enteringSymbol(Objective objective) const {
    // Bland's rule: the lowest symbol whose reduced cost is negative, the primary objective first.
    static const SolverRow empty;
    const auto& primary = objective.primary->cells();
    const auto& secondary = (objective.secondary ? *objective.secondary : empty).cells();
    auto p = primary.begin();
    auto s = secondary.begin();
    while (p != primary.end() || s != secondary.end()) {
        std::uint32_t symbol;
        double primaryCost = 0;
        double secondaryCost = 0;
        if (s == secondary.end() || (p != primary.end() && p->symbol < s->symbol)) {
            symbol = p->symbol;
            primaryCost = (p++)->coefficient;
        } else if (p == primary.end() || s->symbol < p->symbol) {
            symbol = s->symbol;
            secondaryCost = (s++)->coefficient;
        } else {
            symbol = p->symbol;
            primaryCost = (p++)->coefficient;
            secondaryCost = (s++)->coefficient;
        }
        if (m_kinds[symbol] == Kind::dummy) continue;
        if (primaryCost < -objectiveEpsilon) return symbol;
        if (primaryCost <= objectiveEpsilon && secondaryCost < -objectiveEpsilon) return symbol;
    }
    return none;
}

std::uint32_t Solver::leavingSlot(std::uint32_t entering) {
    double best = std::numeric_limits<double>::infinity();
    std::uint32_t bestSlot = none;
    for (const std::uint32_t slot : column(entering)) {
        const std::uint32_t basic = m_slotBasic[slot];
        if (!isRestricted(basic)) continue;
        const SolverRow& row = m_rows[slot];
        const double coefficient = row.coefficientFor(entering);
        if (coefficient >= 0) continue;
        const double ratio = -row.constant / coefficient;
        if (bestSlot == none || ratio < best || (ratio == best && basic < m_slotBasic[bestSlot])) {
            best = ratio;
            bestSlot = slot;
        }
    }
    return bestSlot;
}

void Solver::optimize(Objective objective) {
    for (;;) {
        const std::uint32_t entering = enteringSymbol(objective);
        if (entering == none) return;
        const std::uint32_t slot = leavingSlot(entering);
        // Weights are positive, so the objective is bounded below and a leaving row exists;
        // without one, rounding made the cost look negative: stop where we are.
        if (slot == none) return;
        pivot(slot, entering);
    }
}

std::uint32_t Solver::dualEnteringSymbol(const SolverRow& row) const {
    std::uint32_t best = none;
    double bestPrimary = 0;
    double bestSecondary = 0;
    for (const auto& cell : row.cells()) {
        if (cell.coefficient <= 0 || m_kinds[cell.symbol] == Kind::dummy) continue;
        const double primary = m_objective.coefficientFor(cell.symbol) / cell.coefficient;
        const double secondary = m_stays.coefficientFor(cell.symbol) / cell.coefficient;
        if (best == none || lexicographicLess(primary, secondary, bestPrimary, bestSecondary)) {
            best = cell.symbol;
            bestPrimary = primary;
            bestSecondary = secondary;
        }
    }
    return best;
}

bool Solver::dualOptimize() {
    while (!m_infeasible.empty()) {
        const std::uint32_t leaving = m_infeasible.back();
        m_infeasible.pop_back();
        if (!isBasic(leaving) || rowOf(leaving).constant >= -nearZeroEpsilon) continue;
        const std::uint32_t entering = dualEnteringSymbol(rowOf(leaving));
        if (entering == none) {
            m_infeasible.clear();
            return false;
        }
        pivot(m_basicSlot[leaving], entering);
    }
    return true;
}

// --- Ambiguity --------------------------------------------------------------------------------

std::vector<Variable> Solver::ambiguousVariables() {
    std::vector<bool> ambiguous(m_variableSymbols.size(), false);
    // Can `symbol` move (up, or down too when unrestricted) without leaving the feasible region?
    auto blocked = [&](std::uint32_t symbol, double direction) {
        for (const std::uint32_t slot : column(symbol)) {
            const std::uint32_t basic = m_slotBasic[slot];
            if (!isRestricted(basic)) continue;
            const SolverRow& row = m_rows[slot];
            if (row.coefficientFor(symbol) * direction < 0 && row.constant <= nearZeroEpsilon) return true;
        }
        return false;
    };
    const auto symbols = static_cast<std::uint32_t>(m_kinds.size());
    for (std::uint32_t symbol = 0; symbol < symbols; ++symbol) {
        const Kind kind = m_kinds[symbol];
        if (kind == Kind::dummy || isBasic(symbol)) continue;
        // A move along this symbol costs nothing in the primary objective...
        if (std::fabs(m_objective.coefficientFor(symbol)) > objectiveEpsilon) continue;
        if (kind == Kind::external) {
            if (blocked(symbol, 1) && blocked(symbol, -1)) continue;
            ambiguous[m_owners[symbol]] = true;
        } else {
            if (m_owners[symbol] == none || blocked(symbol, 1)) continue;
        }
        // ...and every variable whose row holds it moves along.
        for (const std::uint32_t slot : column(symbol)) {
            const std::uint32_t basic = m_slotBasic[slot];
            if (m_kinds[basic] == Kind::external) ambiguous[m_owners[basic]] = true;
        }
    }
    std::vector<Variable> result;
    for (std::uint32_t id = 0; id < ambiguous.size(); ++id) {
        if (ambiguous[id]) result.push_back(Variable{id});
    }
    return result;
}

}  // namespace ui::layout
