// FltkPeer<Base>: an FLTK widget that mirrors a toolkit object. Its
// user_data() is the object (null once the object is gone); its events
// become the toolkit's notifications and its drawing goes through the
// object's draw notification, whose default drawing is FLTK's own.
#pragma once

#include <FL/Fl_Widget.H>

class WgtObj;

// What the backend needs from any peer, whatever FLTK class it extends.
class PeerDrawing {
  public:
    virtual ~PeerDrawing() = default;
    // FLTK's own drawing of the widget (the kind's default drawing).
    virtual void drawOwn() = 0;
};

// The object behind an FLTK widget, or null.
inline WgtObj* objectOf(const Fl_Widget* widget) {
    return widget ? static_cast<WgtObj*>(widget->user_data()) : nullptr;
}

// Shared event handling: `baseHandle` is FLTK's own handling of the peer.
int handlePeerEvent(Fl_Widget* peer, int event, int (*baseHandle)(Fl_Widget*, int));
// Shared drawing: delivers the draw notification to the object.
void drawPeer(Fl_Widget* peer);

template <class Base>
class FltkPeer : public Base, public PeerDrawing {
  public:
    FltkPeer(int x, int y, int width, int height) : Base(x, y, width, height) {}

    int handle(int event) override {
        return handlePeerEvent(this, event, [](Fl_Widget* self, int e) {
            return static_cast<FltkPeer*>(self)->Base::handle(e);
        });
    }
    void draw() override { drawPeer(this); }
    void drawOwn() override { Base::draw(); }
};
