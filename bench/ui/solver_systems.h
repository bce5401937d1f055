#pragma once

#include <cstddef>
#include <vector>

#include "platform/ui/layout/solver.h"

namespace bench {

// The systems the solver benchmark builds, written once so the C++ run and the Python peer
// (kiwi_bench.py) build the same constraints in the same order with the same weights.
//
//   grid:  1,000 views in 25 columns x 40 rows, columns chained edge to edge with 8 points of
//          spacing between the window's edges, equal widths, rows 44 high and chained downwards.
//   chain: 2,000 views in a column, each 8 points below the previous, pinned 16 points inside the
//          window's sides, at least 10 high and preferring 20 (weak).
//   stack: 200 labels in a column inside 16-point margins, each with an intrinsic size that hugs
//          (250) and resists compression (750), 8 points apart.
//
// A resize moves the window's width through an edit variable.
struct System {
    ui::layout::Solver solver;
    ui::layout::Variable width;
    ui::layout::Solver::ConstraintId widthEdit = ui::layout::Solver::noConstraint;
    std::vector<ui::layout::Variable> variables;

    // Reads every variable, as applying frames would.
    double sum() const;
};

constexpr double strongWeight = 1e6;
constexpr double hugWeight = 32;             // priority 250 as the layout pass weighs it
constexpr double compressionWeight = 32768;  // priority 750
constexpr double weakWeight = 1;

void buildGrid(System& system, int columns = 25, int rows = 40);
void buildChain(System& system, int count = 2000);
void buildStack(System& system, int count = 200);
void resize(System& system, double width);

}  // namespace bench
