// WinObj: a top-level window. It is a panel whose children are the window's
// widgets, with a title, an icon, an optional menu bar and the state of its
// modal loop. Windows are made from resources (WIN_Load) and destroyed with
// WIN_TerminateGetStatus, which notifies kNfyWindowClosed (161) and then
// kNfyWindowDestroyed (183) exactly once, while all widgets still exist.
#pragma once

#include <memory>
#include <string>

#include "toolkit/widgets/PanelObj.h"

class MBarObj;

class WinObj : public PanelObj {
  public:
    WinObj();
    WinObj(const WinObj& other);
    ~WinObj() override;

    std::unique_ptr<WgtObj> clone() const override;
    void defaultNotify(int code) override;
    void release() override;

    std::string label;                 // title shown by the window manager
    IconObj* icon = nullptr;           // icon shown when minimised; not owned
    std::unique_ptr<MBarObj> menuBar;  // menu bar, or null
    std::string library;               // resource library it was loaded from
    std::string alertButtonPath;       // for alerts: child path of the button that answers
                                       // an unscripted modal loop ("1/0"); empty otherwise
    bool resizable = false;            // the user may change its size (not below the resource's)
    int minimumWidth = 0;              // the resource's size, the least the user may make
    int minimumHeight = 0;             // it; 0: the size it is first shown with
    bool closesOnEscape = false;       // Escape closes it when it has no cancel button
    WgtObj* focus = nullptr;           // the widget that last gained the focus; compare only,
                                       // it may have been destroyed since
    bool shown = false;                // mapped on the screen
    bool minimized = false;            // iconified
    bool initialized = false;          // WIN_Init has run
    bool modalRunning = false;         // WIN_ModalProcess is running on it
    bool modalEnded = false;           // WIN_ModalReturn ended the loop
    int status = 0;                    // status given to WIN_ModalReturn
    bool closeNotified = false;        // kNfyWindowClosed was delivered
    bool terminating = false;          // WIN_TerminateGetStatus is destroying it
};

// Status of a modal loop that ended without WIN_ModalReturn (the window was
// closed, or no scripted answer came in the headless backend).
inline constexpr int kModalCancelled = -1;

void WIN_DefNfy(WinObj* window, int code);

// Makes a window from its resource; not shown yet. Null when the library or
// the resource is unknown (logged).
WinObj* WIN_Load(const char* libraryName, const char* windowName);
// Delivers kNfyInit (0) to every widget, children first, and then to the window.
void WIN_Init(WinObj* window);
void WIN_Show(WinObj* window);
void WIN_SetLabel(WinObj* window, const char* label);
const char* WIN_GetLabel(const WinObj* window);
void WIN_SetIcon(WinObj* window, IconObj* icon);
MBarObj* WIN_GetMenuBar(WinObj* window);
// The panel that holds the window's widgets (the window itself).
PanelObj* WIN_GetPanel(WinObj* window);
// Moves and resizes the window (screen coordinates).
void WIN_Configure(WinObj* window, const Rect16* box);
void WIN_Minimize(WinObj* window);
void WIN_PopToFront(WinObj* window);
// Shows the window and runs a modal loop on it until WIN_ModalReturn; the
// status given there, or kModalCancelled.
int WIN_ModalProcess(WinObj* window);
void WIN_ModalReturn(WinObj* window, int status);
// Destroys the window and returns its status.
int WIN_TerminateGetStatus(WinObj* window);
