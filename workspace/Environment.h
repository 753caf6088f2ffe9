// Joining the environment: what every program of the environment, tools and
// the Tool Manager alike, sets up first and takes down last. initializeGlobals
// opens the log, creates the message center (listening on `port`, or near the
// Tool Manager's port when `port` is 0) and the window manager, reads the
// environment, derives the installation directories and loads the shared
// resources. cleanUpGlobals undoes it at the very end.
#pragma once

#include <cstdint>

struct ColorObj;
struct FontObj;
struct PattObj;
struct PenObj;

// OKA is not set: the program cannot find its installation.
inline constexpr int32_t kErrorNoInstallation = -1;

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
// Returns 0, or kErrorNoInstallation when OKA is not set (logged); the
// caller ends the program then.
int32_t initializeGlobals(const char* name, int port);
void cleanUpGlobals();

// Registers resource library `libraryName` from gResourcesDirectory + fileName.
void loadResourceLibrary(const char* libraryName, const char* fileName);

// Ctrl-C: while a message is being read it cuts that connection, so that a
// silent sender cannot hold the program; otherwise it asks for an orderly
// end (gFinished).
void installInterruptHandler();
