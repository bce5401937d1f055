#include "solver_systems.h"

namespace bench {

using ui::layout::Expression;
using ui::layout::Relation;
using ui::layout::Strength;
using ui::layout::Variable;

namespace {

void startWindow(System& system, double width) {
    system.width = system.solver.newVariable();
    system.widthEdit = system.solver.addEditVariable(system.width, Strength::preferred(strongWeight));
    system.solver.suggestValue(system.widthEdit, width);
}

struct Box {
    Variable left, top, width, height;
};

Box newBox(System& system) {
    Box box{system.solver.newVariable(), system.solver.newVariable(), system.solver.newVariable(),
            system.solver.newVariable()};
    system.variables.insert(system.variables.end(), {box.left, box.top, box.width, box.height});
    return box;
}

Expression right(const Box& box) { return Expression(box.left) + Expression(box.width); }
Expression bottom(const Box& box) { return Expression(box.top) + Expression(box.height); }

}  // namespace

double System::sum() const {
    double total = 0;
    for (const Variable v : variables) total += solver.value(v);
    return total;
}

void buildGrid(System& system, int columns, int rows) {
    startWindow(system, 390);
    auto& s = system.solver;
    std::vector<Box> previousRow;
    for (int r = 0; r < rows; ++r) {
        std::vector<Box> row;
        for (int c = 0; c < columns; ++c) {
            const Box box = newBox(system);
            if (c == 0) {
                s.add(Expression(box.left), Relation::equal, Strength::required());
            } else {
                s.add(Expression(box.left) - right(row.back()) - 8, Relation::equal, Strength::required());
                s.add(Expression(box.width) - Expression(row.front().width), Relation::equal, Strength::required());
            }
            if (r == 0) {
                s.add(Expression(box.top), Relation::equal, Strength::required());
            } else {
                s.add(Expression(box.top) - bottom(previousRow[c]) - 8, Relation::equal, Strength::required());
            }
            s.add(Expression(box.height) - 44, Relation::equal, Strength::required());
            row.push_back(box);
        }
        s.add(right(row.back()) - Expression(system.width), Relation::equal, Strength::required());
        previousRow = std::move(row);
    }
}

void buildChain(System& system, int count) {
    startWindow(system, 390);
    auto& s = system.solver;
    Box previous{};
    for (int i = 0; i < count; ++i) {
        const Box box = newBox(system);
        s.add(Expression(box.left) - 16, Relation::equal, Strength::required());
        s.add(right(box) - Expression(system.width) + 16, Relation::equal, Strength::required());
        if (i == 0) {
            s.add(Expression(box.top), Relation::equal, Strength::required());
        } else {
            s.add(Expression(box.top) - bottom(previous) - 8, Relation::equal, Strength::required());
        }
        s.add(Expression(box.height) - 10, Relation::greaterOrEqual, Strength::required());
        s.add(Expression(box.height) - 20, Relation::equal, Strength::preferred(weakWeight));
        previous = box;
    }
}

void buildStack(System& system, int count) {
    startWindow(system, 390);
    auto& s = system.solver;
    Box previous{};
    for (int i = 0; i < count; ++i) {
        const Box box = newBox(system);
        const double textWidth = 60 + (i * 37) % 300;
        s.add(Expression(box.left) - 16, Relation::equal, Strength::required());
        s.add(right(box) - Expression(system.width) + 16, Relation::lessOrEqual, Strength::required());
        s.add(Expression(box.width) - textWidth, Relation::lessOrEqual, Strength::preferred(hugWeight));
        s.add(Expression(box.width) - textWidth, Relation::greaterOrEqual, Strength::preferred(compressionWeight));
        s.add(Expression(box.height) - 20, Relation::lessOrEqual, Strength::preferred(hugWeight));
        s.add(Expression(box.height) - 20, Relation::greaterOrEqual, Strength::preferred(compressionWeight));
        if (i == 0) {
            s.add(Expression(box.top) - 16, Relation::equal, Strength::required());
        } else {
            s.add(Expression(box.top) - bottom(previous) - 8, Relation::equal, Strength::required());
        }
        previous = box;
    }
}

void resize(System& system, double width) { system.solver.suggestValue(system.widthEdit, width); }

}  // namespace bench
