// libFuzzer target (clang only): each input is written to a file and exercised as
// DatabaseExercise.h describes; a fault found there ends the run like a crash.
#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "DatabaseExercise.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/oka-fuzz-" + std::to_string(getpid()) + ".db";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    ExerciseOutcome outcome = exerciseDatabaseFile(path.c_str());
    std::remove(path.c_str());
    for (const std::string& fault : outcome.faults) std::fprintf(stderr, "%s\n", fault.c_str());
    if (!outcome.faults.empty()) std::abort();
    return 0;
}
