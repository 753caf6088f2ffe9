// What the widgets tell a watcher above them: every drawing call, the start
// of every modal loop and every bell. The automation watches this way to
// record drawing, count the bell and play its scripted user in modal loops;
// the widgets know nothing of it. One observer at a time; without one the
// widgets tell nobody.
#pragma once

struct DrawRecord;
class WinObj;

class WidgetObserver {
  public:
    virtual ~WidgetObserver() = default;
    // Whether drawing calls are wanted now: recording one costs a copy.
    virtual bool recordsDrawing() const = 0;
    virtual void drawn(const DrawRecord& record) = 0;
    // A modal loop is about to run on `window`; it may end it at once.
    virtual void modalStarting(WinObj* window) = 0;
    virtual void beeped() = 0;
};

// Installs the observer (null: none); the caller keeps it alive.
void installWidgetObserver(WidgetObserver* observer);
// The observer installed, or null.
WidgetObserver* widgetObserver();
