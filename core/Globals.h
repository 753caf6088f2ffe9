// Process-wide state that every layer may read: where the installation is
// and whether the program's main loop should end. The environment start-up
// (tools/Environment.h) fills the directories.
#pragma once

#include <csignal>

extern char* gOkaDirectory;        // installation root, ending in '/'
extern char* gResourcesDirectory;  // root + "bin/resource/"
// Non-zero ends the program's main loop. Set by closing the main window and
// by the termination signals, so it is safe to write from a signal handler.
extern volatile std::sig_atomic_t gFinished;
