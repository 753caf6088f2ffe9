// Events and time: the state of the event being handled (which button,
// double click, key, pointer position), the event loop entry points, drag
// tracking and one-shot widget alarms.
#pragma once

#include "toolkit/base/SystemServices.h"

class WgtObj;
class WinObj;

// What the toolkit knows about the event it is delivering. Backends and the
// automation interface fill it before they notify.
struct EventState {
    int button = 0;             // mouse button: 1 left, 2 middle, 3 right
    bool isDouble = false;      // the button press was a double click
    int keyCode = 0;            // key of a key event (KeyCodes.h)
    WinObj* window = nullptr;   // window that received the event
    int windowX = 0;            // pointer position in that window, across
    int windowY = 0;            // and down
    bool mouseHandled = false;  // a procedure consumed the mouse event
    bool keyHandled = false;    // a procedure consumed the key event
};
EventState& currentEvent();

// Handles every pending window-system event and every due alarm, without blocking.
void EVENT_ProcessPending();
// Shows the cursor of the widget under the pointer.
void EVENT_UpdateCursor();
// Waits up to `milliseconds` for events (or a due alarm) and handles them.
void EVENT_Wait(int milliseconds);
// With blocking set, EVENT_ProcessPending waits for at least one event.
void EVENT_SetBlocking(bool blocking);
void EVENT_DiscardKbEvents();
// While the program waits on other programs: repaints uncovered windows
// without handling input (which waits for the next EVENT_ProcessPending),
// and shows the busy cursor until EVENT_ShowBusy(false).
void EVENT_ProcessExposures();
void EVENT_ShowBusy(bool busy);
// The window system's file descriptor (-1 without a display), so a loop
// waiting on sockets with select can wake up for user input as well.
int EVENT_GetConnectionDescriptor();
// How long such a loop may wait, at most `limit`: 0 when events were already
// read from the connection, else no longer than until the next alarm.
int EVENT_MillisecsUntilDue(int limit);

int EVENT_GetButton();
bool EVENT_IsDouble();
int EVENT_GetKeyCode();
// The pointer position of the current event relative to the widget / window.
void EVENT_QueryWgtLoc(WgtObj* widget, int* x, int* y);
void EVENT_QueryWinLoc(WinObj* window, int* x, int* y);

// Drag tracking while a mouse button is down: Begin, then TrackDown until
// it returns false (the button was released), then End. Positions are
// relative to the widget given to Begin.
void EVENT_TrackDownBegin(WgtObj* widget);
bool EVENT_TrackDown(int* x, int* y);
void EVENT_TrackDownEnd();

// One-shot alarm: after `milliseconds` the widget is notified once with
// kNfyAlarm (119). Destroying the widget cancels it. `flags` is unused.
void EVENT_StartWgtAlarm(WgtObj* widget, int flags, int milliseconds);
