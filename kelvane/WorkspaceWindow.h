// The workspace: the Tool Manager's main window, opened at start-up and kept
// for the whole run. Its destruction (the user closing it, or the shut-down
// closing every window) ends the main loop. It hands its tool icon panel to
// the tool icons.
#pragma once

class WinObj;

extern WinObj* gWorkspaceWindow;  // the window; null once it is destroyed

// Loads "workspace" from the kelvane library, registers it with the window
// manager (which places it where it was last) and shows it.
void createWorkspaceWindow();

// Shows `text` on the status line (null clears it). The label changes only
// when the text differs from what it shows.
void updateStatusText(const char* text);
