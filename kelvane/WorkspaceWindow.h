// The workspace: the Tool Manager's main window, opened at start-up and kept
// for the whole run. It shows the tool icons, the project's component lists,
// the command buttons, the menu bar and a status line that explains what the
// pointer is over. Its destruction (the user closing it, or the shut-down
// closing every window) ends the main loop.
#pragma once

struct ColorObj;
class WinObj;

extern WinObj* gWorkspaceWindow;  // the window; null once it is destroyed
// The window's background colour, taken when the window is made; the
// component lists draw with it.
extern ColorObj* gWindowBgColor;

// Loads "workspace" from the kelvane library, registers it with the window
// manager (which places it where it was last) and shows it.
void createWorkspaceWindow();

// Shows `text` on the status line (null clears it). The label changes only
// when the text differs from what it shows.
void updateStatusText(const char* text);

// The window's title follows the current project: "OKA Project: <name>".
void updateWorkspaceTitle();
