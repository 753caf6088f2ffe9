// The window-system side of the toolkit. Toolkit objects keep their whole
// state themselves and tell the running backend about changes through this
// interface; the backend mirrors them on the screen and turns window-system
// events back into notifications. Two backends implement it:
// HeadlessBackend (no window system at all) and FltkBackend (X11 through
// FLTK). Nothing above the toolkit knows which one runs.
#pragma once

#include "toolkit/base/GraphicResources.h"
#include "toolkit/base/Rect16.h"

class WgtObj;
class WinObj;
class MenuObj;

class Backend {
  public:
    virtual ~Backend() = default;

    // Name for the log ("headless", "x11").
    virtual const char* name() const = 0;
    // Sends the window system's own warnings and errors to the log.
    virtual void routeErrorsToLog() = 0;

    // ---- Objects: the backend keeps its peers in step with the state.
    // The widget's state changed (geometry, label, colours, rows ...).
    virtual void update(WgtObj* widget) = 0;
    // The widget is about to be deleted: drop its peer (called children first).
    virtual void release(WgtObj* widget) = 0;
    // Maps the window (creating its peers on first use) and raises it.
    virtual void show(WinObj* window) = 0;
    virtual void minimize(WinObj* window) = 0;
    virtual void invalidate(WgtObj* widget) = 0;
    virtual void focus(WgtObj* widget) = 0;
    virtual void useCursor(WgtObj* widget, CursObj* cursor) = 0;
    // Shows the cursor of the widget under the pointer.
    virtual void updateCursor() = 0;

    // ---- Event loop.
    // Handles every pending window-system event without blocking.
    virtual void processPending() = 0;
    // Waits up to `milliseconds` for events and handles them.
    virtual void wait(int milliseconds) = 0;
    // Runs a modal loop on the window until WIN_ModalReturn ends it.
    virtual void runModal(WinObj* window) = 0;
    // The connection's file descriptor, for a caller's select; -1 without one.
    virtual int connectionDescriptor() const = 0;
    // Events already read from the connection and not yet handled.
    virtual bool hasQueuedEvents() const = 0;
    virtual void discardKeyEvents() = 0;
    // For a program that waits on others: repaints what was uncovered and
    // handles nothing else; input stays queued until the wait is over.
    virtual void processExposures() = 0;
    // The busy cursor over every window (true), or each widget's own again.
    virtual void showBusy(bool busy) = 0;
    virtual void beep() = 0;
    // Shows a pop-up menu at the pointer over `anchor` and tracks it; the
    // index of the chosen item, or -1 when the user dismissed it.
    virtual int popupMenu(MenuObj* menu, WgtObj* anchor) = 0;
    // Drag tracking over `widget`: the pointer's position in the widget's
    // window while a button stays down; false once it was released.
    virtual bool trackPointer(WgtObj* widget, int* x, int* y) = 0;

    // ---- Drawing. Boxes are in window coordinates; DRAW_* converts.
    // Starts drawing into the widget's window outside a draw notification.
    virtual void beginDrawing(WgtObj* widget) = 0;
    // The kind's own drawing of the widget, inside its draw notification.
    virtual void drawDefault(WgtObj* widget) = 0;
    virtual void fillRect(const Rect16& box, const ColorObj& color) = 0;
    virtual void frameRect(const Rect16& box, const PenObj& pen, const ColorObj& color) = 0;
    virtual void drawText(const Rect16& box, int flags, const char* text, const FontObj& font,
                          const ColorObj& color) = 0;
    virtual void drawIcon(const Rect16& box, const IconObj& icon) = 0;
    virtual void pushClip(const Rect16& box) = 0;
    virtual void popClip() = 0;
    virtual int textWidth(const char* text, const FontObj& font) = 0;
};

// The running backend. Until ERR_Master chooses one it is the default one
// (the headless backend, which offers itself while statics are initialised),
// so toolkit objects work in programs and tests that never start the toolkit.
Backend& currentBackend();
// Installs a backend (ERR_Master); the toolkit owns it from then on.
void installBackend(Backend* backend);

// Makes the default backend; the caller owns the result.
using DefaultBackendMaker = Backend* (*)();
void offerDefaultBackend(DefaultBackendMaker make);
