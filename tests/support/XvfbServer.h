// A private Xvfb server for the programs that need a real X display (the
// X11 backend's tests, the key latency benchmark).
#pragma once

#include <sys/types.h>

#include <string>

// True when `program` is found on PATH.
bool isProgramInstalled(const char* program);

// Types `keys` (xdotool key names) into the next pop-up menu, from the
// background, waiting up to twenty seconds for it; false when the shell
// did not start. The pop-up is the only visible top-level window without a
// name besides the root; the menu takes the keyboard before it is mapped.
bool typeIntoNextPopUp(const std::string& keys);

// Runs xdotool with `arguments`, quietly; true when it succeeded.
bool xdotool(const std::string& arguments);
// The first line a shell command prints, without its end.
std::string firstLine(const std::string& command);
// The X window id of the visible window whose title matches the regular
// expression `title`, waiting up to 20 s for it to show; "" if none did.
std::string windowIdOf(const std::string& title);

// Starts Xvfb on a free display and points DISPLAY at it; the server stops
// with the object. Parallel processes start their search at different
// displays (by process id) and step past any display whose server does not
// come up, so they never share one.
class XvfbServer {
  public:
    bool start();  // false when no display of the range came up
    void stop();
    ~XvfbServer() { stop(); }

  private:
    // Starts the server and waits up to five seconds for its socket; false
    // when it exits first (another server took the display).
    bool launch(int display);

    pid_t pid_ = -1;  // the server process we started
};
