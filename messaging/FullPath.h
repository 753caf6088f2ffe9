// Turning a partial path (a bare file name or a relative path) into a full
// one by asking the Tool Manager, which searches the project paths.
#pragma once

#include <cstddef>

#include "messaging/ToolInfo.h"

// How makeFullPath asks the user for a file that no project path holds:
// true and the chosen path in `result` of `resultSize` bytes. The file picker
// installs itself at start-up (initializeGlobals); until then nobody is asked.
using AskForFileProc = bool (*)(const char* partialPath, char* result, size_t resultSize);
void setAskForFileProc(AskForFileProc procedure);

// Returns a new text (delete[]) with the full path, or null when it does not
// resolve. `managerInfo` addresses the Tool Manager (gKelvaneToolInfo); in
// the Tool Manager itself the request is answered locally. With `askUser`
// the user is offered the file picker when the path does not resolve; the
// directory of a file chosen there is sent to the Tool Manager ('ADGP') to
// become a project path.
char* makeFullPath(const char* partialPath, const ToolInfo& managerInfo, bool askUser);
