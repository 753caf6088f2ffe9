// Shared FLTK backend state.
#include "toolkit/fltk/FltkBackendState.h"

#include "toolkit/widgets/WinObj.h"

namespace {
constexpr int kMenuBarHeight = 25;  // FLTK menu bar height in pixels
bool gDrawing = false;              // inside a peer's draw
int gOffsetY = 0;                   // current shift of DRAW_* coordinates
}  // namespace

int fltkMenuOffset(WinObj* window) {
    return window && window->menuBar ? kMenuBarHeight : 0;
}

FltkDrawScope::FltkDrawScope(WgtObj* object) : savedOffset_(gOffsetY), savedActive_(gDrawing) {
    gDrawing = true;
    gOffsetY = fltkMenuOffset(object->window());
}

FltkDrawScope::~FltkDrawScope() {
    gDrawing = savedActive_;
    gOffsetY = savedOffset_;
}

bool FltkDrawScope::active() {
    return gDrawing;
}
int FltkDrawScope::offsetY() {
    return gOffsetY;
}
void FltkDrawScope::setOffsetY(int offset) {
    gOffsetY = offset;
}
