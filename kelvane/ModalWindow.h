// What the Tool Manager's small modal windows (tool information, about)
// share: an OK button that ends the loop, and a loop that keeps answering
// the tools until it does.
#pragma once

class TButObj;
class WinObj;

// Notification procedure of an OK button: activation ends the window's modal
// loop with status 0; it takes no focus.
void okButtonNfy(TButObj* button, int code);
// Loads the kelvane library's window `name` (null when it is missing) with a
// procedure that answers the tools while the window waits for the user.
WinObj* loadModalWindow(const char* name);
// Runs the window's modal loop, then destroys the window.
void runModalWindow(WinObj* window);
