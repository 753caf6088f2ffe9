// WindowManager: every program's bookkeeping of its own top-level windows.
// Each new window is given the place remembered for its kind (asking the
// Tool Manager with 'GWIN') and reports its final box ('UWIN') when it goes
// away. The manager answers the Tool Manager's requests to show ('SHOW'),
// minimize ('HIDE') or close ('CWIN') all of the program's windows.
//
// Windows registered with a button take part in activation: of the windows
// of one kind, the one activated last is the active viewer. For source
// windows ('SRCW') the Tool Manager is told when one becomes active ('ASRC')
// or stops being active ('DSRC'), so only one source window is active across
// all tools; in a tool the manager also answers the Tool Manager's 'DSRC'.
#pragma once

#include "core/TypeCode.h"
#include "toolkit/base/Rect16.h"

class Message;
class TButObj;
class WinObj;

inline constexpr TypeCode kSourceWindowType = typeCode("SRCW");

// Called with (window, button, active) whenever a window's active state is set.
using WindowActivationProc = void (*)(WinObj* window, TButObj* button, unsigned char active);

// The window manager's record of one window: kind, window, active state and position.
struct WindowRec {
    TypeCode windowType = 0;                        // kind of window
    WinObj* window = nullptr;                       // the toolkit window
    TButObj* button = nullptr;                      // stands for the active state, or null
    unsigned char active = 0;                       // 1 while the active viewer of its kind
    Rect16 position;                                // box received from the position service
    int32_t positionId = 0;                         // the position service's id, 0 when none
    WindowActivationProc activationProc = nullptr;  // or null
    WindowRec* next = nullptr;                      // the record added before this one
    WindowRec* prev = nullptr;                      // the record added after this one
};

class WindowManager {
  public:
    explicit WindowManager(bool isManagerProcess);
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;
    // Removes every record, so every window's position is reported.
    ~WindowManager();

    // Records a new window, moving it to the remembered place of its kind,
    // and makes it the active viewer of its kind.
    WindowRec* addWindowRec(TypeCode type, WinObj* window, TButObj* button,
                            WindowActivationProc activationProc);
    // Unlinks the window's record and reports its box; the caller frees the
    // record. Null when the window was never added.
    WindowRec* removeWindowRec(WinObj* window);
    WindowRec* getWindowRec(WinObj* window);
    bool windowTypeExists(TypeCode type);
    // The window of this type recorded last, or null.
    WindowRec* getWindowRecOfType(TypeCode type);
    WindowRec* getActiveViewer(TypeCode type);
    void setActiveViewer(WinObj* window, unsigned char activate);

    // Shows (visible), minimizes (!visible) or destroys (close) every window.
    void setAllWindowsVisibility(bool visible, bool close);
    // A parameterless message to the Tool Manager.
    void sendToolManagerMsg(TypeCode code);

    bool isManager() const { return isManagerProcess; }

  private:
    void registerHandlers();
    void unlink(WindowRec* record);

    static int32_t showAllWindowsMsg(Message* message, Message* reply);
    static int32_t hideAllWindowsMsg(Message* message, Message* reply);
    static int32_t closeAllWindowsMsg(Message* message, Message* reply);
    static int32_t deactivateSourceViewerMsg(Message* message, Message* reply);

    bool isManagerProcess;         // true in the Tool Manager, false in every tool
    WindowRec* records = nullptr;  // the most recently added record first
};

// The program's window manager, created by initializeGlobals.
extern WindowManager* gWindowManager;
