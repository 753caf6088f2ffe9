// The Tool Manager's preferences form ("kelvanePreferences"): the program
// that shows the help pages. OK stores it in the preferences file, makes it
// the help manager's viewer and tells every registered tool ('HDTM').
#pragma once

class WinObj;

// Opens the form (not modal); the workspace's preferences command. The
// form, or null when the resource is missing.
WinObj* displayKelvanePreferences();

// What OK does with the viewer name: one 'HTPT' record, the help manager's
// viewer, and 'HDTM' to every registered tool in registry order.
void changeHelpViewer(const char* viewerName);

// At start-up: the viewer stored in the preferences, when one was.
void readStoredHelpViewer();
