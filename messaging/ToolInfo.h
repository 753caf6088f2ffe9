// ToolInfo: the 84-byte description of one program of the environment. It
// travels in every message header (sender and destination) and as a 'DATA'
// parameter, so its byte layout is fixed (integers big-endian):
//
//   offset size field
//        0   32 name            NUL-terminated display name
//       32   32 company         NUL-terminated maker string
//       64    4 majorVersion    signed
//       68    4 minorVersion    signed
//       72    1 isSourceViewer  non-zero when the tool displays source files
//       73    3 reserved        zero
//       76    4 toolType        type code, the registry's key
//       80    4 port            signed TCP port the program listens on
#pragma once

#include <cstdint>
#include <string>

#include "core/TypeCode.h"

inline constexpr int kToolInfoSize = 84;
inline constexpr int kToolNameSize = 32;

struct ToolInfo {
    char name[kToolNameSize] = {};     // display name; always terminated in memory
    char company[kToolNameSize] = {};  // maker; always terminated in memory
    int32_t majorVersion = 0;
    int32_t minorVersion = 0;
    uint8_t isSourceViewer = 0;
    TypeCode toolType = 0;
    int32_t port = 0;
};

// Writes the 84 wire bytes of `info` into `out`.
void encodeToolInfo(const ToolInfo& info, uint8_t* out);
// Reads 84 wire bytes; names without a terminator are cut at 31 characters.
ToolInfo decodeToolInfo(const uint8_t* in);
// "Sample Runner (SRUN)": how log lines name a program.
std::string describeTool(const ToolInfo& info);
