// Scrolling panels.
#include "toolkit/widgets/SPanlObj.h"

std::unique_ptr<WgtObj> SPanlObj::clone() const {
    return std::make_unique<SPanlObj>(*this);
}

void SPANL_DefNfy(SPanlObj* panel, int code) {
    if (panel) panel->SPanlObj::defaultNotify(code);
}

void SPANL_SetExt(SPanlObj* panel, int width, int height) {
    if (panel == nullptr) return;
    panel->extentWidth = width;
    panel->extentHeight = height;
    panel->changed();
}

void SPANL_ShowWidget(SPanlObj* panel, WgtObj* widget) {
    if (panel == nullptr || widget == nullptr || widget->parent != panel) return;
    const Rect16& target = widget->box;
    if (target.x < panel->scrollX)
        panel->scrollX = target.x;
    else if (target.right() > panel->scrollX + panel->box.width)
        panel->scrollX = target.right() - panel->box.width;
    if (target.y < panel->scrollY)
        panel->scrollY = target.y;
    else if (target.bottom() > panel->scrollY + panel->box.height)
        panel->scrollY = target.bottom() - panel->box.height;
    panel->changed();
}

void SAREA_QueryInfo(SPanlObj* /*panel*/, int* verticalBarWidth, int* horizontalBarHeight) {
    if (verticalBarWidth) *verticalBarWidth = kScrollBarSize;
    if (horizontalBarHeight) *horizontalBarHeight = kScrollBarSize;
}

void SAREA_SetBgColor(SPanlObj* panel, ColorObj* color) {
    WGT_SetBgColor(panel, color);
}
