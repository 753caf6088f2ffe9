// List peers: the frame, the rows drawn by the application, scrolling.
#include "toolkit/fltk/FltkListPeer.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include "toolkit/fltk/FltkBackendState.h"
#include "toolkit/fltk/FltkConvert.h"
#include "toolkit/widgets/Dispatch.h"
#include "toolkit/widgets/LBoxObj.h"
#include "toolkit/widgets/SPanlObj.h"

FltkListPeer::FltkListPeer(LBoxObj* list, int x, int y, int width, int height)
    : FltkPeer<Fl_Group>(x, y, width, height), list_(list) {
    scrollBar_ = new Fl_Scrollbar(x + width - kScrollBarSize, y, kScrollBarSize, height);
    scrollBar_->callback(scrolled, this);
    end();
    user_data(list);
    box(FL_DOWN_FRAME);
    sync();
}

void FltkListPeer::sync() {
    int visibleRows = h() / list_->rowHeight;
    int rows = int(list_->rows.size());
    if (rows <= visibleRows) {
        list_->topRow = 0;
        scrollBar_->hide();
    } else {
        if (list_->topRow > rows - visibleRows) list_->topRow = rows - visibleRows;
        scrollBar_->value(list_->topRow, visibleRows, 0, rows);
        scrollBar_->show();
    }
    color(list_->bgColor ? toFlColor(*list_->bgColor) : FL_BACKGROUND2_COLOR);
    redraw();
}

void FltkListPeer::resize(int x, int y, int width, int height) {
    Fl_Group::resize(x, y, width, height);
    scrollBar_->resize(x + width - kScrollBarSize, y, kScrollBarSize, height);
    if (objectOf(this)) sync();
}

void FltkListPeer::draw() {
    fl_rectf(x(), y(), w(), h(), color());
    fl_push_clip(x() + 1, y() + 1, w() - 2, h() - 2);
    if (objectOf(this)) {
        FltkDrawScope scope(list_);
        dispatchDraw(list_);
    }
    fl_pop_clip();
    draw_box(FL_DOWN_FRAME, x(), y(), w(), h(), color());
    if (scrollBar_->visible()) draw_child(*scrollBar_);
}

int FltkListPeer::handle(int event) {
    if (event == FL_MOUSEWHEEL && objectOf(this) && scrollBar_->visible()) {
        int top = list_->topRow + Fl::event_dy() * 3;
        int last = int(list_->rows.size()) - h() / list_->rowHeight;
        list_->topRow = top < 0 ? 0 : (top > last ? last : top);
        sync();
        return 1;
    }
    // The scroll bar is worked by FLTK; the rows by the toolkit.
    if ((event == FL_PUSH || event == FL_DRAG || event == FL_RELEASE) && scrollBar_->visible() &&
        Fl::event_inside(scrollBar_))
        return scrollBar_->handle(event);
    return FltkPeer<Fl_Group>::handle(event);
}

void FltkListPeer::scrolled(Fl_Widget* bar, void* peer) {
    auto* self = static_cast<FltkListPeer*>(peer);
    if (objectOf(self) == nullptr) return;
    self->list_->topRow = static_cast<Fl_Scrollbar*>(bar)->value();
    self->redraw();
}
