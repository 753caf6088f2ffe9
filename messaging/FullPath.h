// Turning a partial path (a bare file name or a relative path) into a full
// one by asking the Tool Manager, which searches the project paths.
#pragma once

#include "messaging/ToolInfo.h"

// Returns a new text (delete[]) with the full path, or null when it does not
// resolve. `managerInfo` addresses the Tool Manager (gKelvaneToolInfo); in
// the Tool Manager itself the request is answered locally. With `askUser`
// the user is offered the file picker when the path does not resolve.
char* makeFullPath(const char* partialPath, const ToolInfo& managerInfo, bool askUser);
