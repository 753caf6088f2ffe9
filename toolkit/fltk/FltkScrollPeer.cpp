// Scrolling panel peers.
#include "toolkit/fltk/FltkScrollPeer.h"

#include <FL/Fl.H>

#include "toolkit/widgets/SPanlObj.h"

FltkScrollPeer::FltkScrollPeer(int x, int y, int width, int height)
    : FltkPeer<Fl_Scroll>(x, y, width, height) {
    origin_ = new Fl_Box(x, y, 1, 1);
    extent_ = new Fl_Box(x, y, 1, 1);
    add(origin_);
    add(extent_);
}

void FltkScrollPeer::sync(SPanlObj* panel) {
    box(FL_DOWN_BOX);
    int left = x() + Fl::box_dx(box()) - xposition();
    int top = y() + Fl::box_dy(box()) - yposition();
    origin_->position(left, top);
    extent_->position(left + panel->extentWidth - 1, top + panel->extentHeight - 1);
    if (xposition() != panel->scrollX || yposition() != panel->scrollY)
        scroll_to(panel->scrollX, panel->scrollY);
}

void FltkScrollPeer::draw() {
    if (auto* panel = static_cast<SPanlObj*>(objectOf(this))) {
        panel->scrollX = xposition();
        panel->scrollY = yposition();
    }
    FltkPeer<Fl_Scroll>::draw();
}
