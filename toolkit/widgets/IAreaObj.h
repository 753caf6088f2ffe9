// IAreaObj: a widget that shows one picture (the about box's picture). It
// owns its icon, so the application can point it at an image file with
// ICON_SetFileName(IAREA_GetIcon(area), path); backends notice the
// icon's new version when they next draw the area.
#pragma once

#include <memory>

#include "toolkit/widgets/WgtObj.h"

class IAreaObj : public WgtObj {
  public:
    IAreaObj() : WgtObj(WgtKind::IconArea) {}

    std::unique_ptr<WgtObj> clone() const override;

    IconObj icon;  // the picture; empty file name: nothing shown
};

IconObj* IAREA_GetIcon(IAreaObj* area);
