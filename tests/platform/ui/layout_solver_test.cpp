#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "platform/base/fatal.h"
#include "platform/ui/layout/solver.h"

namespace ui::layout {
namespace {

using Id = Solver::ConstraintId;

Expression operator+(Variable a, Variable b) { return Expression(a) + Expression(b); }
Expression operator-(Variable a, Variable b) { return Expression(a) - Expression(b); }

TEST(SolverTest, SolvesEqualitiesWithMultipliersAndConstants) {
    Solver solver;
    const Variable left = solver.newVariable();
    const Variable width = solver.newVariable();
    const Variable right = solver.newVariable();
    const Variable center = solver.newVariable();
    ASSERT_TRUE(solver.add(Expression(left) - 20, Relation::equal, Strength::required()).isAdded());
    ASSERT_TRUE(solver.add(Expression(right) - 320, Relation::equal, Strength::required()).isAdded());
    ASSERT_TRUE(
        solver.add(Expression(left) + Expression(width) - Expression(right), Relation::equal, Strength::required())
            .isAdded());
    // center = left + width / 2
    ASSERT_TRUE(
        solver
            .add(Expression(center) - Expression(left) - Expression(width) * 0.5, Relation::equal, Strength::required())
            .isAdded());
    EXPECT_DOUBLE_EQ(solver.value(width), 300);
    EXPECT_DOUBLE_EQ(solver.value(center), 170);
}

TEST(SolverTest, RequiredBeatsPreferredAndHeavierPreferredWins) {
    Solver solver;
    const Variable x = solver.newVariable();
    const Id weak = solver.add(Expression(x) - 10, Relation::equal, Strength::preferred(1)).constraint;
    const Id strong = solver.add(Expression(x) - 20, Relation::equal, Strength::preferred(2)).constraint;
    EXPECT_DOUBLE_EQ(solver.value(x), 20);
    const Id floor = solver.add(Expression(x) - 30, Relation::greaterOrEqual, Strength::required()).constraint;
    EXPECT_DOUBLE_EQ(solver.value(x), 30);
    solver.remove(floor);
    EXPECT_DOUBLE_EQ(solver.value(x), 20);
    solver.remove(strong);
    EXPECT_DOUBLE_EQ(solver.value(x), 10);
    solver.remove(weak);
    EXPECT_EQ(solver.constraintCount(), 0u);
}

TEST(SolverTest, InequalitiesBoundWhatPreferencesAskFor) {
    Solver solver;
    const Variable x = solver.newVariable();
    const Variable y = solver.newVariable();
    solver.add(Expression(x) - 100, Relation::lessOrEqual, Strength::required());
    solver.add(Expression(x) - 50, Relation::greaterOrEqual, Strength::required());
    solver.add(Expression(x), Relation::equal, Strength::preferred(1));
    EXPECT_DOUBLE_EQ(solver.value(x), 50);
    // y >= 2x + 10, pulled down weakly.
    solver.add(Expression(y) - Expression(x) * 2 - 10, Relation::greaterOrEqual, Strength::required());
    solver.add(Expression(y), Relation::equal, Strength::preferred(1));
    EXPECT_DOUBLE_EQ(solver.value(y), 110);
    // A heavier wish for a bigger x moves both, within x <= 100.
    solver.add(Expression(x) - 500, Relation::equal, Strength::preferred(10));
    EXPECT_DOUBLE_EQ(solver.value(x), 100);
    EXPECT_DOUBLE_EQ(solver.value(y), 210);
}

TEST(SolverTest, EditVariablesResolveIncrementally) {
    Solver solver;
    const Variable width = solver.newVariable();
    std::vector<Variable> columns;
    // Ten equal columns across `width`.
    Variable previous = solver.newVariable();
    solver.add(Expression(previous), Relation::equal, Strength::required());
    for (int i = 0; i < 10; ++i) {
        const Variable next = solver.newVariable();
        solver.add(Expression(next) - Expression(previous) - Expression(width) * 0.1, Relation::equal,
                   Strength::required());
        columns.push_back(next);
        previous = next;
    }
    const Id edit = solver.addEditVariable(width, Strength::preferred(1000));
    solver.suggestValue(edit, 390);
    EXPECT_NEAR(solver.value(columns[0]), 39, 1e-9);
    EXPECT_NEAR(solver.value(columns[9]), 390, 1e-9);
    const auto before = solver.pivotCount();
    for (int step = 0; step < 100; ++step) solver.suggestValue(edit, 300 + step);
    EXPECT_NEAR(solver.value(columns[4]), 199.5, 1e-9);
    // The width stays basic: each suggestion only moves constants.
    EXPECT_LE(solver.pivotCount() - before, 2u);
    base::ScopedFatalThrows throws;
    EXPECT_THROW(solver.addEditVariable(width, Strength::required()), base::FatalError);
}

TEST(SolverTest, ConstantChangesCrossInequalitiesThroughTheDualSimplex) {
    Solver solver;
    const Variable x = solver.newVariable();
    const Variable y = solver.newVariable();
    // y >= x + 10; y wants 0; x follows a movable wish.
    solver.add(Expression(y) - Expression(x) - 10, Relation::greaterOrEqual, Strength::required());
    solver.add(Expression(y), Relation::equal, Strength::preferred(1));
    const Id wish = solver.add(Expression(x) - 5, Relation::equal, Strength::preferred(100)).constraint;
    EXPECT_DOUBLE_EQ(solver.value(y), 15);
    solver.setConstant(wish, -50);  // x == 50
    EXPECT_DOUBLE_EQ(solver.value(x), 50);
    EXPECT_DOUBLE_EQ(solver.value(y), 60);
    solver.setConstant(wish, 40);  // x == -40: y is free to go to 0
    EXPECT_DOUBLE_EQ(solver.value(y), 0);
    EXPECT_DOUBLE_EQ(solver.constantOf(wish), 40);
}

TEST(SolverTest, UnsatisfiableRequiredConstraintsAreRefusedWithTheirConflicts) {
    Solver solver;
    const Variable x = solver.newVariable();
    const Variable y = solver.newVariable();
    const Id unrelated = solver.add(Expression(y) - 7, Relation::equal, Strength::required()).constraint;
    const Id ten = solver.add(Expression(x) - 10, Relation::equal, Strength::required()).constraint;
    auto twenty = solver.add(Expression(x) - 20, Relation::equal, Strength::required());
    EXPECT_FALSE(twenty.isAdded());
    EXPECT_EQ(twenty.conflicts, std::vector<Id>{ten});
    // Inequalities go through the artificial phase; the tableau is whole afterwards.
    const Id atLeast =
        solver.add(Expression(y) - Expression(x), Relation::greaterOrEqual, Strength::required()).constraint;
    EXPECT_FALSE(solver.contains(atLeast));  // 7 >= 10 cannot hold
    const Id below = solver.add(Expression(x) - 12, Relation::lessOrEqual, Strength::required()).constraint;
    auto above = solver.add(Expression(x) - 15, Relation::greaterOrEqual, Strength::required());
    EXPECT_FALSE(above.isAdded());
    // Either required bound on x contradicts it; y == 7 has nothing to do with it.
    ASSERT_FALSE(above.conflicts.empty());
    for (const Id id : above.conflicts) EXPECT_TRUE(id == ten || id == below) << id;
    EXPECT_TRUE(std::find(above.conflicts.begin(), above.conflicts.end(), unrelated) == above.conflicts.end());
    EXPECT_EQ(solver.constraintCount(), 3u);
    EXPECT_DOUBLE_EQ(solver.value(x), 10);
    EXPECT_DOUBLE_EQ(solver.value(y), 7);
    // The solver goes on working: dropping x == 10 frees x for a preference.
    solver.remove(ten);
    solver.add(Expression(x) - 11, Relation::equal, Strength::preferred(1));
    EXPECT_DOUBLE_EQ(solver.value(x), 11);
}

TEST(SolverTest, AConstantThatCannotHoldRemovesItsConstraint) {
    Solver solver;
    const Variable x = solver.newVariable();
    const Id cap = solver.add(Expression(x) - 100, Relation::lessOrEqual, Strength::required()).constraint;
    const Id pin = solver.add(Expression(x) - 50, Relation::equal, Strength::required()).constraint;
    EXPECT_TRUE(solver.setConstant(pin, -80).isAdded());
    EXPECT_DOUBLE_EQ(solver.value(x), 80);
    const auto outcome = solver.setConstant(pin, -120);
    EXPECT_FALSE(outcome.isAdded());
    EXPECT_EQ(outcome.conflicts, std::vector<Id>{cap});
    EXPECT_FALSE(solver.contains(pin));
    EXPECT_LE(solver.value(x), 100);
    // A repeated (redundant) equality moves only with its twin.
    const Id first = solver.add(Expression(x) - 30, Relation::equal, Strength::required()).constraint;
    const Id twin = solver.add(Expression(x) - 30, Relation::equal, Strength::required()).constraint;
    ASSERT_TRUE(solver.contains(twin));
    EXPECT_FALSE(solver.setConstant(twin, -40).isAdded());
    EXPECT_TRUE(solver.contains(first));
    EXPECT_DOUBLE_EQ(solver.value(x), 30);
}

TEST(SolverTest, StaysSettleOnlyWhatNothingElseDecides) {
    Solver solver;
    std::vector<Variable> chain;
    for (int i = 0; i < 20; ++i) {
        chain.push_back(solver.newVariable());
        solver.add(Expression(chain.back()), Relation::equal, Strength::stay(1000));
        if (i > 0) solver.add(chain[i] - chain[i - 1], Relation::equal, Strength::required());
    }
    // Twenty heavy stays at 0 against one light preference: the preference wins.
    solver.add(Expression(chain[0]) - 100, Relation::equal, Strength::preferred(1));
    EXPECT_DOUBLE_EQ(solver.value(chain[19]), 100);
    const Variable free = solver.newVariable();
    solver.add(Expression(free) - 42, Relation::equal, Strength::stay());
    EXPECT_DOUBLE_EQ(solver.value(free), 42);
}

TEST(SolverTest, ReportsVariablesThatNoPreferenceDecides) {
    Solver solver;
    const Variable x = solver.newVariable();
    const Variable y = solver.newVariable();
    const Variable z = solver.newVariable();
    solver.add(x + y - 10, Relation::equal, Strength::required());
    solver.add(Expression(z) - 5, Relation::greaterOrEqual, Strength::required());
    solver.add(Expression(z), Relation::equal, Strength::preferred(1));
    EXPECT_EQ(solver.ambiguousVariables(), (std::vector<Variable>{x, y}));
    solver.add(Expression(y) - 3, Relation::equal, Strength::stay());
    // A stay picks a value but does not make the layout decided.
    EXPECT_DOUBLE_EQ(solver.value(x), 7);
    EXPECT_EQ(solver.ambiguousVariables(), (std::vector<Variable>{x, y}));
    solver.add(Expression(y) - 4, Relation::equal, Strength::preferred(1));
    EXPECT_TRUE(solver.ambiguousVariables().empty());
    EXPECT_DOUBLE_EQ(solver.value(x), 6);
}

// Random systems built around a known feasible point. After every incremental change the
// solution must satisfy each required constraint and reach the optimum a fresh solver reaches.
struct RandomConstraint {
    Expression expression;
    Relation relation;
    Strength strength;
};

double violation(const Solver& solver, const RandomConstraint& c) {
    double value = c.expression.constant();
    for (const Term& term : c.expression.terms()) value += term.coefficient * solver.value(term.variable);
    switch (c.relation) {
        case Relation::equal: return std::fabs(value);
        case Relation::lessOrEqual: return std::max(0.0, value);
        case Relation::greaterOrEqual: return std::max(0.0, -value);
    }
    return 0;
}

double objective(const Solver& solver, const std::vector<RandomConstraint>& constraints, Strength::Tier tier) {
    double sum = 0;
    for (const auto& c : constraints) {
        if (c.strength.tier == tier) sum += c.strength.weight * violation(solver, c);
    }
    return sum;
}

TEST(SolverTest, IncrementalChangesReachTheOptimumOfAFreshSolve) {
    std::mt19937 random(1234);
    std::uniform_real_distribution<double> point(0, 500);
    std::uniform_int_distribution<int> pick(0, 29);
    for (int round = 0; round < 40; ++round) {
        Solver solver;
        std::vector<Variable> variables;
        std::vector<double> target;
        for (int i = 0; i < 30; ++i) {
            variables.push_back(solver.newVariable());
            target.push_back(std::round(point(random)));
        }
        std::vector<RandomConstraint> constraints;
        std::vector<Id> ids;
        auto addConstraint = [&](RandomConstraint c) {
            const auto outcome = solver.add(c.expression, c.relation, c.strength);
            ASSERT_TRUE(outcome.isAdded());
            constraints.push_back(c);
            ids.push_back(outcome.constraint);
        };
        for (int i = 0; i < 40; ++i) {
            const int a = pick(random);
            const int b = pick(random);
            const double m = std::uniform_int_distribution<int>(1, 3)(random) * 0.5;
            // Required relations that hold at the target point.
            Expression e = Expression(variables[a]) - Expression(variables[b]) * m;
            const double at = target[a] - m * target[b];
            const int kind = i % 3;
            e -= at + (kind == 1 ? -5 : kind == 2 ? 5 : 0);
            addConstraint({e,
                           kind == 0   ? Relation::equal
                           : kind == 1 ? Relation::greaterOrEqual
                                       : Relation::lessOrEqual,
                           i % 4 == 0 ? Strength::required() : Strength::preferred(1 + i % 7)});
        }
        for (int i = 0; i < 30; ++i) {
            const Strength strength = i % 3 == 0 ? Strength::stay(1 + i % 4) : Strength::preferred(1 + i % 5);
            addConstraint({Expression(variables[i]) - point(random), Relation::equal, strength});
        }
        // Incremental changes: move constants of preferred constraints, drop a few.
        for (int step = 0; step < 30; ++step) {
            const std::size_t k = std::uniform_int_distribution<std::size_t>(0, constraints.size() - 1)(random);
            if (!solver.contains(ids[k])) continue;
            if (step % 5 == 4) {
                solver.remove(ids[k]);
                constraints[k].strength = Strength::preferred(0);  // no longer counts
                continue;
            }
            if (constraints[k].strength.isRequired()) continue;
            const double constant = -point(random);
            ASSERT_TRUE(solver.setConstant(ids[k], constant).isAdded());
            constraints[k].expression.setConstant(constant);
        }
        Solver fresh;
        for (int i = 0; i < 30; ++i) fresh.newVariable();
        for (std::size_t k = 0; k < constraints.size(); ++k) {
            if (solver.contains(ids[k])) {
                fresh.add(constraints[k].expression, constraints[k].relation, constraints[k].strength);
            }
        }
        for (const auto& c : constraints) {
            if (c.strength.isRequired()) {
                EXPECT_LT(violation(solver, c), 1e-6) << "round " << round;
            }
        }
        EXPECT_NEAR(objective(solver, constraints, Strength::Tier::preferred),
                    objective(fresh, constraints, Strength::Tier::preferred), 1e-6)
            << "round " << round;
        EXPECT_NEAR(objective(solver, constraints, Strength::Tier::stay),
                    objective(fresh, constraints, Strength::Tier::stay), 1e-6)
            << "round " << round;
    }
}

TEST(SolverTest, RefusedConstraintsLeaveTheRestSolved) {
    std::mt19937 random(77);
    std::uniform_int_distribution<int> pick(0, 9);
    std::uniform_real_distribution<double> constant(-100, 100);
    int refusals = 0;
    for (int round = 0; round < 40; ++round) {
        Solver solver;
        std::vector<Variable> variables;
        for (int i = 0; i < 10; ++i) variables.push_back(solver.newVariable());
        std::vector<RandomConstraint> kept;
        std::vector<Id> keptIds;
        for (int i = 0; i < 30; ++i) {
            const int a = pick(random);
            const int b = pick(random);
            const Relation relation = i % 3 == 0   ? Relation::equal
                                      : i % 3 == 1 ? Relation::lessOrEqual
                                                   : Relation::greaterOrEqual;
            const Strength strength = i % 2 ? Strength::required() : Strength::preferred(1 + i % 3);
            RandomConstraint c{Expression(variables[a]) - Expression(variables[b]) * 0.5 - constant(random), relation,
                               strength};
            const auto outcome = solver.add(c.expression, c.relation, c.strength);
            if (outcome.isAdded()) {
                kept.push_back(c);
                keptIds.push_back(outcome.constraint);
                continue;
            }
            ++refusals;
            ASSERT_TRUE(strength.isRequired());
            ASSERT_FALSE(outcome.conflicts.empty());
            for (const Id id : outcome.conflicts) {
                const auto at = std::find(keptIds.begin(), keptIds.end(), id);
                ASSERT_NE(at, keptIds.end());
                EXPECT_TRUE(kept[at - keptIds.begin()].strength.isRequired());
            }
        }
        Solver fresh;
        for (int i = 0; i < 10; ++i) fresh.newVariable();
        for (const auto& c : kept) {
            EXPECT_TRUE(fresh.add(c.expression, c.relation, c.strength).isAdded());
            if (c.strength.isRequired()) {
                EXPECT_LT(violation(solver, c), 1e-6) << "round " << round;
            }
        }
        EXPECT_NEAR(objective(solver, kept, Strength::Tier::preferred),
                    objective(fresh, kept, Strength::Tier::preferred), 1e-6);
    }
    EXPECT_GT(refusals, 20);
}

}  // namespace
}  // namespace ui::layout
