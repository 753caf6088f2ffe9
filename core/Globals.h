// Process-wide state of every program of the environment and its start-up
// and clean-up. initializeGlobals runs first in every program: it opens the
// log, creates the message center (listening on `port`, or near the Tool
// Manager's port when `port` is 0), reads the environment and derives the
// installation directories. cleanUpGlobals undoes it at the very end.
#pragma once

#include <csignal>
#include <cstdint>

#include "messaging/ToolInfo.h"

class MessageCenter;
class WindowManager;

extern char* gOkaDirectory;        // installation root, ending in '/'
extern char* gResourcesDirectory;  // root + "bin/resource/"
extern MessageCenter* gMessageCenter;
extern WindowManager* gWindowManager;
extern ToolInfo gKelvaneToolInfo;  // addresses the Tool Manager: only its port is set
// Non-zero ends the program's main loop. Set by closing the main window and
// by the termination signals, so it is safe to write from a signal handler.
extern volatile std::sig_atomic_t gFinished;

// The Tool Manager passes its well-known port (4100); tools pass 0.
// Exits the process with status -1 when OKA is not set.
void initializeGlobals(const char* name, int port);
void cleanUpGlobals();

// Registers resource library `libraryName` from gResourcesDirectory + fileName.
void loadResourceLibrary(const char* libraryName, const char* fileName);
