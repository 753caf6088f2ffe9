// The English sentences behind the error codes of every subsystem, for the
// alerts that tell the user why an operation failed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/Result.h"

// The longest error text is 55 characters: a buffer this large holds any.
inline constexpr int kErrorTextSize = 64;

// Copies the English sentence end for `code` into `text` of `size` bytes
// ("the symbol file is missing or invalid", ...), cut to fit. It completes
// "Unable to complete that operation because ...". `flag` is reserved and
// leaves the text unchanged.
void convertErrorToText(int32_t code, char* text, size_t size, unsigned char flag);

class HasErrorReporting;

// Tells the user that an operation failed because of `code`: "Unable to
// complete that operation because " + its text + ".", logged and shown as a
// critical alert with the default title and button, beeping first. Returns
// the alert's result.
long alertThisError(int32_t code);
// alertThisError with the reporter's last error.
long alertLastError(const HasErrorReporting& reporter);
// alertThisError for a failed outcome of a command the user gave; nothing
// for success.
void alertIfFailed(Status outcome);
