// FLTK events to toolkit notifications, shared by every peer.
#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Window.H>

#include "toolkit/fltk/FltkBackendState.h"
#include "toolkit/fltk/FltkConvert.h"
#include "toolkit/fltk/FltkPeer.h"
#include "toolkit/widgets/Dispatch.h"
#include "toolkit/widgets/Event.h"
#include "toolkit/widgets/WinObj.h"

namespace {

// The pointer position of the current event in the object's toolkit window.
void eventPosition(WgtObj* object, int* x, int* y) {
    *x = Fl::event_x();
    *y = Fl::event_y() - fltkMenuOffset(object->window());
}

bool isContainer(const WgtObj* object) {
    return object->kind == WgtKind::Window || object->kind == WgtKind::Panel ||
           object->kind == WgtKind::ScrollPanel;
}

void applyCursorOf(WgtObj* object) {
    if (object->cursor == nullptr) return;
    if (Fl_Window* window = static_cast<Fl_Widget*>(object->peer)->window())
        window->cursor(toFlCursor(*object->cursor));
}

int mouseDown(Fl_Widget* peer, WgtObj* object, int (*baseHandle)(Fl_Widget*, int)) {
    // Containers let a child take the click first; only a click on their
    // own background becomes their notification.
    if (isContainer(object)) {
        if (baseHandle(peer, FL_PUSH)) return 1;
        if (object->kind == WgtKind::Window) return 0;
    }
    int x = 0, y = 0;
    eventPosition(object, &x, &y);
    int button = Fl::event_button();
    Fl_Widget_Tracker tracker(peer);
    dispatchMouseDown(object, button, Fl::event_clicks() > 0, x, y);
    if (tracker.deleted() || objectOf(peer) == nullptr || isContainer(object)) return 1;
    // Only the left button works the widget itself (presses, edits, lists).
    if (button == FL_LEFT_MOUSE && !currentEvent().mouseHandled) baseHandle(peer, FL_PUSH);
    return 1;
}

}  // namespace

int handlePeerEvent(Fl_Widget* peer, int event, int (*baseHandle)(Fl_Widget*, int)) {
    WgtObj* object = objectOf(peer);
    if (object == nullptr) return baseHandle(peer, event);
    int x = 0, y = 0;
    switch (event) {
        case FL_ENTER: {
            eventPosition(object, &x, &y);
            applyCursorOf(object);
            Fl_Widget_Tracker tracker(peer);
            dispatchPointerEnter(object, x, y);
            if (tracker.deleted()) return 1;
            baseHandle(peer, event);
            return 1;
        }
        case FL_LEAVE: {
            Fl_Widget_Tracker tracker(peer);
            dispatchPointerLeave(object);
            if (!tracker.deleted()) baseHandle(peer, event);
            return 1;
        }
        case FL_MOVE: {
            if (object->kind == WgtKind::Window || object->kind == WgtKind::ListBox) {
                eventPosition(object, &x, &y);
                Fl_Widget_Tracker tracker(peer);
                dispatchPointerMove(object, x, y);
                if (tracker.deleted()) return 1;
            }
            baseHandle(peer, event);
            return 1;
        }
        case FL_PUSH:
            return mouseDown(peer, object, baseHandle);
        case FL_FOCUS:
        case FL_UNFOCUS: {
            int used = baseHandle(peer, event);
            if (object->kind != WgtKind::Window) dispatchFocus(object, event == FL_FOCUS);
            return used;
        }
        case FL_KEYBOARD:
            if (object->kind == WgtKind::Window &&
                dispatchKey(static_cast<WinObj*>(object), keyCodeOfEvent(), modifiersOfEvent()))
                return 1;
            // Tab order is the window's, in reading order: a panel would
            // move the focus among its own children in their list order.
            if (Fl::event_key() == FL_Tab && isContainer(object)) return 0;
            return baseHandle(peer, event);
        default:
            return baseHandle(peer, event);
    }
}

void drawPeer(Fl_Widget* peer) {
    WgtObj* object = objectOf(peer);
    if (object == nullptr) {
        dynamic_cast<PeerDrawing*>(peer)->drawOwn();
        return;
    }
    FltkDrawScope scope(object);
    dispatchDraw(object);
}
