// How big a benchmark run is. By hand every benchmark runs its full counts;
// with OKA_BENCH_SMOKE=1 (the continuous check sets it) it runs its smallest
// ones, which only shows that it still ends and prints its figures.
#pragma once

#include <cstdlib>
#include <cstring>

inline bool benchIsSmokeRun() {
    const char* value = std::getenv("OKA_BENCH_SMOKE");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

// `full` for a measuring run, `smoke` for a smoke run.
inline int benchCount(int full, int smoke) {
    return benchIsSmokeRun() ? smoke : full;
}
