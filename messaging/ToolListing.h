// ToolListing: one registered tool as the Tool Manager describes it in its
// answer to 'TLST', one 'DATA' parameter per tool. Bytes (big-endian):
//
//   offset size field
//        0   84 the tool's ToolInfo
//       84    1 loaded: 1 while its process is believed to run, 2 while it
//                 is but let a request run out of time (not responding)
//       85    1 default source viewer: 1 for the registry's default
//       86    2 command count n
//       88 n*40 its published commands, each:
//                 0 32 name, NUL-terminated
//                32  4 requirement (0 nothing, 1 a file, 2 an engine,
//                      3 an engine or nothing)
//                36  4 required file type
//
// A reply holds at most 31 tools (the parameters of one message).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "messaging/ToolInfo.h"

inline constexpr int kToolListingHeaderSize = 88;
inline constexpr int kCommandListingSize = 40;
inline constexpr int kCommandListingNameSize = 32;

// One published command of a listed tool: name, requirement and file type.
struct CommandListing {
    std::string name;       // at most 31 characters
    int32_t requirement;    // what the command works on
    TypeCode requiresType;  // the file type for requirement 1
};

struct ToolListing {
    ToolInfo info;
    bool loaded = false;
    bool notResponding = false;  // loaded, but let a request run out of time
    bool isDefaultSourceViewer = false;
    std::vector<CommandListing> commands;
};

std::vector<uint8_t> encodeToolListing(const ToolListing& listing);
// False when `length` bytes at `in` are not a whole record.
bool decodeToolListing(const uint8_t* in, long length, ToolListing& listing);
