#!/usr/bin/python3
"""The peer of solver_bench: the same systems (see solver_systems.h) built and re-solved with
Debian's python3-kiwisolver, timed the same way (build and solve; 100 resizes through an edit
variable, reading every variable after each solve). Prints one line per case: the best wall
time and the best processor time in milliseconds."""
import time

import kiwisolver as kiwi

STRONG = 1e6
HUG = 32
COMPRESSION = 32768
WEAK = 1
REQUIRED = kiwi.strength.required


class System:
    def __init__(self):
        self.solver = kiwi.Solver()
        self.width = kiwi.Variable("width")
        self.solver.addEditVariable(self.width, STRONG)
        self.solver.suggestValue(self.width, 390)
        self.variables = []

    def box(self):
        box = [kiwi.Variable() for _ in range(4)]  # left, top, width, height
        self.variables.extend(box)
        return box

    def add(self, constraint, strength=REQUIRED):
        self.solver.addConstraint(constraint | strength)

    def total(self):
        self.solver.updateVariables()
        return sum(v.value() for v in self.variables)


def right(box):
    return box[0] + box[2]


def bottom(box):
    return box[1] + box[3]


def grid(columns=25, rows=40):
    s = System()
    previous_row = []
    for r in range(rows):
        row = []
        for c in range(columns):
            box = s.box()
            if c == 0:
                s.add(box[0] == 0)
            else:
                s.add(box[0] - right(row[-1]) - 8 == 0)
                s.add(box[2] - row[0][2] == 0)
            if r == 0:
                s.add(box[1] == 0)
            else:
                s.add(box[1] - bottom(previous_row[c]) - 8 == 0)
            s.add(box[3] - 44 == 0)
            row.append(box)
        s.add(right(row[-1]) - s.width == 0)
        previous_row = row
    return s


def chain(count=2000):
    s = System()
    previous = None
    for i in range(count):
        box = s.box()
        s.add(box[0] - 16 == 0)
        s.add(right(box) - s.width + 16 == 0)
        if i == 0:
            s.add(box[1] == 0)
        else:
            s.add(box[1] - bottom(previous) - 8 == 0)
        s.add(box[3] - 10 >= 0)
        s.add(box[3] - 20 == 0, WEAK)
        previous = box
    return s


def stack(count=200):
    s = System()
    previous = None
    for i in range(count):
        box = s.box()
        text_width = 60 + (i * 37) % 300
        s.add(box[0] - 16 == 0)
        s.add(right(box) - s.width + 16 <= 0)
        s.add(box[2] - text_width <= 0, HUG)
        s.add(box[2] - text_width >= 0, COMPRESSION)
        s.add(box[3] - 20 <= 0, HUG)
        s.add(box[3] - 20 >= 0, COMPRESSION)
        if i == 0:
            s.add(box[1] - 16 == 0)
        else:
            s.add(box[1] - bottom(previous) - 8 == 0)
        previous = box
    return s


def best_of(repeats, run):
    """The best wall and processor times of `repeats` runs, in milliseconds."""
    wall, cpu = [], []
    for _ in range(repeats):
        start, start_cpu = time.perf_counter(), time.process_time()
        run()
        wall.append((time.perf_counter() - start) * 1000)
        cpu.append((time.process_time() - start_cpu) * 1000)
    return f"{min(wall):10.2f} ms {min(cpu):10.2f} ms"


def main():
    for name, build, repeats in (("grid_1000", grid, 5), ("chain_2000", chain, 3), ("stack_200", stack, 20)):
        print(f"{name + '_build':28} {best_of(repeats, lambda: build().total())}")
        system = build()

        def resizes():
            for step in range(100):
                system.solver.suggestValue(system.width, 390 + step)
                system.total()
            system.solver.suggestValue(system.width, 390)

        print(f"{name + '_100_resizes':28} {best_of(repeats, resizes)}")


if __name__ == "__main__":
    main()
