// Resize-flag layout.
#include "toolkit/widgets/Layout.h"

#include "toolkit/widgets/PanelObj.h"

namespace {
// One axis: a start and a length whose parent grew by `delta`.
void follow(int16_t* start, int16_t* length, int delta, bool fixStart, bool fixLength) {
    if (fixStart && fixLength) return;
    if (fixStart)
        *length = int16_t(*length + delta);
    else if (fixLength)
        *start = int16_t(*start + delta);
    else {
        *start = int16_t(*start + delta / 2);
        *length = int16_t(*length + delta - delta / 2);
    }
}
}  // namespace

void layoutChildren(PanelObj* panel, int oldWidth, int oldHeight) {
    int deltaX = panel->box.width - oldWidth;
    int deltaY = panel->box.height - oldHeight;
    if ((deltaX == 0 && deltaY == 0) || panel->kind == WgtKind::ComboBox) return;
    for (auto& child : panel->children) {
        Rect16 old = child->box;
        int flags = child->resizeFlags;
        follow(&child->box.x, &child->box.width, deltaX, flags & kRzFixLeft, flags & kRzFixWidth);
        follow(&child->box.y, &child->box.height, deltaY, flags & kRzFixTop, flags & kRzFixHeight);
        if (child->box == old) continue;
        child->changed();
        auto* inner = dynamic_cast<PanelObj*>(child.get());
        if (inner == nullptr || (child->box.width == old.width && child->box.height == old.height))
            continue;
        layoutChildren(inner, old.width, old.height);
        child->notify(kNfyResized);
    }
}
