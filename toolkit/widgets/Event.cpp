// Event loop entry points, the current event's state, drag tracking and alarms.
#include "toolkit/widgets/Event.h"

#include "toolkit/widgets/AlarmList.h"
#include "toolkit/widgets/Backend.h"
#include "toolkit/widgets/WinObj.h"

namespace {
EventState gEvent;               // the event being delivered
bool gBlocking = false;          // EVENT_ProcessPending waits for an event
WgtObj* gTrackWidget = nullptr;  // widget of the drag being tracked
}  // namespace

EventState& currentEvent() {
    return gEvent;
}

void EVENT_ProcessPending() {
    if (gBlocking) currentBackend().wait(-1);
    currentBackend().processPending();
    alarmFireDue();
}

void EVENT_UpdateCursor() {
    currentBackend().updateCursor();
}

void EVENT_ProcessExposures() {
    currentBackend().processExposures();
}

void EVENT_ShowBusy(bool busy) {
    currentBackend().showBusy(busy);
}

void EVENT_Wait(int milliseconds) {
    int untilAlarm = alarmMillisecondsToNext();
    if (untilAlarm >= 0 && untilAlarm < milliseconds) milliseconds = untilAlarm;
    currentBackend().wait(milliseconds);
    alarmFireDue();
}

void EVENT_SetBlocking(bool blocking) {
    gBlocking = blocking;
}
void EVENT_DiscardKbEvents() {
    currentBackend().discardKeyEvents();
}
int EVENT_GetConnectionDescriptor() {
    return currentBackend().connectionDescriptor();
}

int EVENT_MillisecsUntilDue(int limit) {
    if (currentBackend().hasQueuedEvents()) return 0;
    int untilAlarm = alarmMillisecondsToNext();
    return untilAlarm >= 0 && untilAlarm < limit ? untilAlarm : limit;
}

int EVENT_GetButton() {
    return gEvent.button;
}
bool EVENT_IsDouble() {
    return gEvent.isDouble;
}
int EVENT_GetKeyCode() {
    return gEvent.keyCode;
}

void EVENT_QueryWgtLoc(WgtObj* widget, int* x, int* y) {
    int originX = 0, originY = 0;
    if (widget) widget->windowOrigin(&originX, &originY);
    if (x) *x = gEvent.windowX - originX;
    if (y) *y = gEvent.windowY - originY;
}

void EVENT_QueryWinLoc(WinObj* /*window*/, int* x, int* y) {
    if (x) *x = gEvent.windowX;
    if (y) *y = gEvent.windowY;
}

void EVENT_TrackDownBegin(WgtObj* widget) {
    gTrackWidget = widget;
}

bool EVENT_TrackDown(int* x, int* y) {
    int windowX = gEvent.windowX, windowY = gEvent.windowY;
    bool down =
        gTrackWidget != nullptr && currentBackend().trackPointer(gTrackWidget, &windowX, &windowY);
    gEvent.windowX = windowX;
    gEvent.windowY = windowY;
    EVENT_QueryWgtLoc(gTrackWidget, x, y);
    return down;
}

void EVENT_TrackDownEnd() {
    gTrackWidget = nullptr;
}

void EVENT_StartWgtAlarm(WgtObj* widget, int /*flags*/, int milliseconds) {
    alarmStart(widget, milliseconds);
}
