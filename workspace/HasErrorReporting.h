// Base class of the managers: holds the signed 32-bit code of the last
// operation (0 = success, negative = the failure codes of each subsystem).
// Operations never throw; callers read lastError after the call.
#pragma once

#include <cstdint>

// The longest error text is 55 characters; callers pass at least this much.
inline constexpr int kErrorTextSize = 64;

// Copies the English sentence end for `code` into `text` ("the symbol file is
// missing or invalid", ...). It completes "Unable to complete that operation
// because ...". `flag` is reserved and leaves the text unchanged.
void convertErrorToText(int32_t code, char* text, unsigned char flag);

class HasErrorReporting {
public:
    HasErrorReporting() = default;
    virtual ~HasErrorReporting() = default;

    int32_t getLastError() const { return lastError; }
    void setLastError(int32_t code) { lastError = code; }

protected:
    int32_t lastError = 0;  // code of the last operation; 0 means success
};
