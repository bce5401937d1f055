// The layout solver on the systems of solver_systems.h: build and solve, then 100 resizes of
// the window's width through an edit variable, reading every variable after each solve.
// bench/ui/run.sh runs the Python peer on the same systems beside it.
#include <benchmark/benchmark.h>

#include <functional>

#include "solver_systems.h"

namespace {

using Build = void (*)(bench::System&);

void buildAndSolve(benchmark::State& state, Build build) {
    for (auto _ : state) {
        bench::System system;
        build(system);
        benchmark::DoNotOptimize(system.sum());
    }
}

void hundredResizes(benchmark::State& state, Build build) {
    bench::System system;
    build(system);
    for (auto _ : state) {
        for (int step = 0; step < 100; ++step) {
            bench::resize(system, 390 + step);
            benchmark::DoNotOptimize(system.sum());
        }
        state.PauseTiming();
        bench::resize(system, 390);
        state.ResumeTiming();
    }
}

void gridBuild(benchmark::State& s) {
    buildAndSolve(s, [](bench::System& x) { bench::buildGrid(x); });
}
void gridResize(benchmark::State& s) {
    hundredResizes(s, [](bench::System& x) { bench::buildGrid(x); });
}
void chainBuild(benchmark::State& s) {
    buildAndSolve(s, [](bench::System& x) { bench::buildChain(x); });
}
void chainResize(benchmark::State& s) {
    hundredResizes(s, [](bench::System& x) { bench::buildChain(x); });
}
void stackBuild(benchmark::State& s) {
    buildAndSolve(s, [](bench::System& x) { bench::buildStack(x); });
}
void stackResize(benchmark::State& s) {
    hundredResizes(s, [](bench::System& x) { bench::buildStack(x); });
}

}  // namespace

BENCHMARK(gridBuild)->Name("grid_1000_build")->Unit(benchmark::kMillisecond);
BENCHMARK(gridResize)->Name("grid_1000_100_resizes")->Unit(benchmark::kMillisecond);
BENCHMARK(chainBuild)->Name("chain_2000_build")->Unit(benchmark::kMillisecond);
BENCHMARK(chainResize)->Name("chain_2000_100_resizes")->Unit(benchmark::kMillisecond);
BENCHMARK(stackBuild)->Name("stack_200_build")->Unit(benchmark::kMillisecond);
BENCHMARK(stackResize)->Name("stack_200_100_resizes")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
