// The window layer of a program: what joining the environment adds when the
// program has windows. installWindowLayer, called before initializeGlobals
// (a tool: before startTool), makes the start-up create the window manager
// (gWindowManager), send alerts, the bell and the question for a partial
// path that does not resolve to the display, and load the shared colours,
// pens and fonts; it also keeps the message center polling while a modal
// window runs. The Tool Manager always installs it; a tool without windows
// does not, and links no toolkit.
#pragma once

struct ColorObj;
struct FontObj;
struct PattObj;
struct PenObj;

// Colours, pens, pattern and fonts shared by every window; loaded while the
// environment starts. Named ones missing from "shared.dat" stay null and the
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

void installWindowLayer();

// Registers resource library `libraryName` from gResourcesDirectory + fileName.
void loadResourceLibrary(const char* libraryName, const char* fileName);
