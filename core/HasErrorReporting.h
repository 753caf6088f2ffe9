// Base class of the managers whose callers read the code of their last
// operation through getLastError() (the protocol replies with it, and alerts
// turn it into a sentence: workspace/ErrorText.h). The operations themselves
// return a Status or a Result (core/Result.h); each operation that callers
// read it from passes its outcome through remember(), the one place that sets
// the last error. Lookups and other getters leave it alone.
#pragma once

#include <cstdint>

#include "core/Result.h"

class HasErrorReporting {
  public:
    HasErrorReporting() = default;
    virtual ~HasErrorReporting() = default;

    int32_t getLastError() const { return lastError; }
    void setLastError(int32_t code) { lastError = code; }

  protected:
    // Records `outcome` as the last error and hands it back, so that an
    // operation can end with `return remember(...)`.
    Status remember(Status outcome) {
        lastError = outcome.code();
        return outcome;
    }
    template <typename T>
    Result<T> remember(Result<T> outcome) {
        lastError = outcome.code();
        return outcome;
    }

    int32_t lastError = 0;  // code of the last operation; 0 means success
};
