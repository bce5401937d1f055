#pragma once

#include <benchmark/benchmark.h>

#include "core/media_helper_pool.h"

// The main() of a Google Benchmark program whose library jobs read files in media helpers: started
// again as one of them, the program serves as that helper instead.
#define REELHAVEN_BENCHMARK_MAIN()                                                                 \
    int main(int argc, char** argv) {                                                              \
        if (const int status = reelhaven::mediaHelperMain(argc, argv); status >= 0) return status; \
        benchmark::Initialize(&argc, argv);                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
