// The life of the Tool Manager process: creation of the global managers in a
// fixed order, the main loop that alternates window-system events, message
// polling and tool probing, and the orderly shut-down.
#pragma once

#include "core/Utilities.h"

class PrefMan;
struct CursObj;

inline constexpr int kToolManagerPort = 4100;

// The Tool Manager's preferences file ("kelvane.prf", type 'TPRF').
extern PrefMan* gPreferencesManager;
// The pointer shown over the boundaries of the component lists.
extern CursObj* gResizeHorCursor;
// The help viewer program named in the preferences, empty for the default;
// read at start-up for the help manager.
extern char gHelpViewerName[kPathSize];
inline constexpr unsigned kShutdownDrainMs = 3000;

// Creates every global; false at the first manager that reports an error.
bool initializeApplication();
// Runs until gFinished is set.
void runMainLoop();
// Closes the tools' windows, keeps answering messages for three seconds,
// then deletes the managers and the globals.
void shutDownApplication();
