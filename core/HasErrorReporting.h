// Base class of the managers: holds the signed 32-bit code of the last
// operation (0 = success, negative = the failure codes of each subsystem).
// Operations never throw; callers read lastError after the call. Turning a
// code into a sentence and showing it to the user belongs to the alerts
// (workspace/ErrorText.h).
#pragma once

#include <cstdint>

class HasErrorReporting {
  public:
    HasErrorReporting() = default;
    virtual ~HasErrorReporting() = default;

    int32_t getLastError() const { return lastError; }
    void setLastError(int32_t code) { lastError = code; }

  protected:
    int32_t lastError = 0;  // code of the last operation; 0 means success
};
