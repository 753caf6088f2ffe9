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
struct ColorObj;
struct FontObj;
struct PattObj;
struct PenObj;

extern char* gOkaDirectory;        // installation root, ending in '/'
extern char* gResourcesDirectory;  // root + "bin/resource/"
extern MessageCenter* gMessageCenter;
extern WindowManager* gWindowManager;
extern ToolInfo gKelvaneToolInfo;  // addresses the Tool Manager: only its port is set
// Non-zero ends the program's main loop. Set by closing the main window and
// by the termination signals, so it is safe to write from a signal handler.
extern volatile std::sig_atomic_t gFinished;

// Colours, pens, pattern and fonts shared by every window; loaded by
// initializeGlobals. Named ones missing from "shared.dat" stay null and the
// toolkit draws with its defaults.
extern ColorObj* gBlackColor;
extern ColorObj* gGrayColor;
extern ColorObj* gLightGrayColor;
extern ColorObj* gYellowColor;
extern ColorObj* gRedColor;
extern ColorObj* gGreenColor;
extern ColorObj* gTransparentColor;
extern ColorObj* gInvisibleColor;
extern ColorObj* gHiliteColor;
extern ColorObj* gHiliteLighterColor;
extern ColorObj* gHiliteDarkerColor;
extern ColorObj* gLightYellowColor;
extern ColorObj* gLightRedColor;
extern ColorObj* gLightGreenColor;
extern ColorObj* gGrayTextColor;
extern PenObj* gSolidPen;
extern PenObj* gInvisiblePen;
extern PattObj* gEmptyPattern;
extern FontObj* gTextFont;
extern FontObj* gLabelFont;

// The Tool Manager passes its well-known port (4100); tools pass 0.
// Exits the process with status -1 when OKA is not set.
void initializeGlobals(const char* name, int port);
void cleanUpGlobals();

// Registers resource library `libraryName` from gResourcesDirectory + fileName.
void loadResourceLibrary(const char* libraryName, const char* fileName);
