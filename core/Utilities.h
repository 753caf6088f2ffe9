// Free helpers shared by every module: byte and text copies, type-code text,
// path splitting, file tests, the home and preferences directories.
// Texts are NUL-terminated; functions that return a new text return a heap
// block (new[]) that the caller frees with delete[].
#pragma once

#include <cstddef>
#include <cstdint>

#include <string>

#include "core/Result.h"
#include "core/TypeCode.h"

// Paths live in buffers of this size: at most 255 characters.
inline constexpr size_t kPathSize = 256;

// Copies `length` bytes from `source` to `destination` (source first) when
// length > 0.
void copyBytes(const void* source, void* destination, long length);
// Zeroes `length` bytes; nothing when length <= 0.
void mybzero(void* buffer, long length);
// Turns ASCII A-Z into a-z in place.
void makeLowercase(char* text);

char* newStringCopy(const char* text);
char* newEmptyString();

// Copies `source` into `out` of `outSize` bytes, stopping at its terminator or
// after `sourceLength` bytes, whichever comes first, and always terminating
// `out`. Texts too long for `out` are truncated. Returns the copied length.
size_t copyText(char* out, size_t outSize, const char* source, size_t sourceLength = SIZE_MAX);

// snprintf into `out` of `outSize` bytes: longer results are truncated, never overrun.
void formatPath(char* out, size_t outSize, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// The four characters of `code` in a static buffer that the next call reuses.
const char* TypeIdentToCStr(TypeCode code);

long timeInSeconds();
void okaBeep();

// Path splitting around the last '/' (a '/' in the first position never
// counts) into `out` of `outSize` bytes, truncated to fit. `path` and `out`
// may be the same buffer.
void extractPathname(const char* path, char* out, size_t outSize);
void extractFilename(const char* path, char* out, size_t outSize);
// Where the file name starts inside `path`, as extractFilename cuts it.
const char* filenamePart(const char* path);

bool fileExists(const char* path);
// True for a readable file whose first 256 bytes hold no NUL byte.
bool isTextFile(const char* path);

// HOME followed by '/', or the empty text when HOME is not set.
std::string homeDirectory();
// Fills `buffer` of `bufferSize` bytes with the preferences directory (home
// + ".oka/"), creating it when needed; fails with -1303 when it is not
// usable. The buffer is filled either way.
Status getValidPreferencesDirectory(char* buffer, size_t bufferSize);

inline constexpr int32_t kErrorPreferencesDirectory = -1303;
