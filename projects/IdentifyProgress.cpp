#include "projects/IdentifyProgress.h"

#include <cstdio>

#include "core/Log.h"

namespace {
constexpr const char* kLogSource = "../projmgr";

// `value` with a comma between thousands: 10000 -> "10,000".
void withThousands(char* out, size_t outSize, long value) {
    char digits[32];
    int length = std::snprintf(digits, sizeof digits, "%ld", value < 0 ? 0 : value);
    size_t at = 0;
    for (int i = 0; i < length && at + 1 < outSize; ++i) {
        if (i > 0 && (length - i) % 3 == 0 && at + 2 < outSize) out[at++] = ',';
        out[at++] = digits[i];
    }
    out[at] = '\0';
}
}  // namespace

void formatIdentifyProgress(char* out, size_t outSize, long done, long total) {
    char doneText[32];
    char totalText[32];
    withThousands(doneText, sizeof doneText, done);
    withThousands(totalText, sizeof totalText, total);
    std::snprintf(out, outSize, "Identifying files: %s of %s", doneText, totalText);
}

void LoggedProgress::identifyProgress(long done, long total, uint32_t elapsedMs) {
    if (elapsedMs < nextLineMs) return;
    char line[96];
    formatIdentifyProgress(line, sizeof line, done, total);
    OKA_LOG("%s", line);
    // One line per second of waiting, however the calls fall.
    nextLineMs = (elapsedMs / kLineIntervalMs + 1) * kLineIntervalMs;
}
