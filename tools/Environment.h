// Joining the environment: what every program of the environment, tools and
// the Tool Manager alike, sets up first and takes down last. initializeGlobals
// opens the log, creates the message center (listening on `port`, or near the
// Tool Manager's port when `port` is 0), reads the environment and derives
// the installation directories. cleanUpGlobals undoes it at the very end.
//
// Windows are not part of it: a program with windows installs the window
// layer first (workspace/WindowLayer.h), which then creates the window
// manager and loads the shared resources on the way. A tool without windows
// needs neither the toolkit nor a display.
#pragma once

#include <cstdint>

// OKA is not set: the program cannot find its installation.
inline constexpr int32_t kErrorNoInstallation = -1;

// What the window layer adds to joining the environment, called by
// initializeGlobals and cleanUpGlobals when installed.
struct WindowLayerHooks {
    // Once the message center exists: the window manager, and the display
    // for alerts, the bell and questions about partial paths.
    void (*start)(bool isToolManager) = nullptr;
    // Once the installation's directories are known: the shared resources.
    void (*loadSharedResources)() = nullptr;
    // First thing at the end, while the message center still runs.
    void (*stop)() = nullptr;
};
// Installed before initializeGlobals; empty hooks remove the window layer.
void setWindowLayerHooks(const WindowLayerHooks& hooks);
// Whether a window layer has been installed.
bool hasWindowLayer();

// The Tool Manager passes its well-known port (4100); tools pass 0.
// Returns 0, or kErrorNoInstallation when OKA is not set (logged); the
// caller ends the program then.
int32_t initializeGlobals(const char* name, int port);
void cleanUpGlobals();

// Ctrl-C: while a message is being read it cuts that connection, so that a
// silent sender cannot hold the program; otherwise it asks for an orderly
// end (gFinished).
void installInterruptHandler();
