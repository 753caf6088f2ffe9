// SPanlObj: a scrolling panel. Its children live on a virtual area of
// `extentWidth` x `extentHeight` pixels of which the panel's box shows the
// part starting at (scrollX, scrollY); scroll bars appear when needed.
#pragma once

#include "toolkit/widgets/PanelObj.h"

class SPanlObj : public PanelObj {
  public:
    SPanlObj() : PanelObj(WgtKind::ScrollPanel) {}

    std::unique_ptr<WgtObj> clone() const override;

    int extentWidth = 0;   // width of the scrolled area
    int extentHeight = 0;  // height of the scrolled area
    int scrollX = 0;       // left edge of the part shown
    int scrollY = 0;       // top edge of the part shown
};

// Width of a vertical scroll bar and height of a horizontal one: the room
// that the scrolled area needs beyond its content.
inline constexpr int kScrollBarSize = 16;

void SPANL_DefNfy(SPanlObj* panel, int code);
void SPANL_SetExt(SPanlObj* panel, int width, int height);
// Scrolls so that `widget`, a child of the panel, is in view.
void SPANL_ShowWidget(SPanlObj* panel, WgtObj* widget);
// The scroll bars' thickness: the allowance to add to the extent.
void SAREA_QueryInfo(SPanlObj* panel, int* verticalBarWidth, int* horizontalBarHeight);
void SAREA_SetBgColor(SPanlObj* panel, ColorObj* color);
