// 'DISF': a tool asks for a source file to be shown. The Tool Manager picks
// the viewer (the tool of the type asked for, else the current source
// viewer), resolves the file's partial path against the project paths when
// asked to, lets the user locate a file that does not resolve when allowed
// to, and relays the request to the viewer.
#pragma once

#include <cstdint>

class Message;

// Parameters read: 0 the path, 1 resolve it, 7 the user may be asked,
// 10 the viewer's tool type (0: any); the others travel unchanged.
int32_t displaySourceFileMsg(Message* message, Message* reply);
