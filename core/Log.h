// The process log. Every diagnostic is one line:
//   <program> <source tag> (<line>): \t<message>
// for example "kelvane ../messages (120): \tread message type SHOW".
// Each module names its source tag once, as a file-local constant kLogSource,
// and writes lines with OKA_LOG(format, ...), printf style.
#pragma once

#include <cstdint>
#include <ostream>

extern char* gToolName;               // program name given to initializeGlobals
extern std::ostream* gOKALogStream;   // the open log, or null: lines are then dropped
extern int32_t gMaxOKALogSize;        // the Tool Manager trims a larger log at start
extern int16_t gLogLevel;             // 0 normal, 1 adds reception detail, 2 adds send detail

inline constexpr int32_t kDefaultMaxLogSize = 409600;

// Writes one log line and flushes the stream.
void okaLogLine(const char* source, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

#define OKA_LOG(...) okaLogLine(kLogSource, __LINE__, __VA_ARGS__)
