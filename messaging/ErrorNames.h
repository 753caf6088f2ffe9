// Short names for the error codes that replies carry in their 'EROR'
// parameter, for programs that print a reply (okamsg). The codes belong to
// the layers that return them (the message center, the tool registry, the
// commands, the project and its file, the transport); this table only names
// them, and the README's list of error codes is the same table.
#pragma once

#include <cstdint>

// The name of `code` ("no handler for this message type"), or null for a
// code that is not listed.
const char* errorName(int32_t code);
