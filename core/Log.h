// The process log. Every diagnostic is one line:
//   <program> <source tag> (<line>): \t<message>
// for example "kelvane ../messages (120): \tread message type SHOW".
// Lines are written with OKA_LOG(format, ...), printf style. Their source tag
// is OKA_LOG_SOURCE when that is defined (on the compiler's command line, or
// before the first include of an OKA header), otherwise "../" followed by the
// program's name. The Tool Manager's own build defines it as kLogSource, a
// file-local constant that each of its modules names once.
#pragma once

#include <cstdint>
#include <ostream>

extern char* gToolName;              // program name given to initializeGlobals
extern std::ostream* gOKALogStream;  // the open log, or null: lines are then dropped
extern int32_t gMaxOKALogSize;       // the Tool Manager trims a larger log at start
extern int16_t gLogLevel;            // 0 normal, 1 adds reception detail, 2 adds send detail

inline constexpr int32_t kDefaultMaxLogSize = 409600;

// Writes one log line and flushes the stream; a null `source` is the
// program's own, "../" followed by its name.
void okaLogLine(const char* source, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

#ifndef OKA_LOG_SOURCE
#define OKA_LOG_SOURCE nullptr
#endif
#define OKA_LOG(...) okaLogLine(OKA_LOG_SOURCE, __LINE__, __VA_ARGS__)
