// WindowPosition: one remembered place of a kind of window, handed to one
// window at a time. Positions are told apart by their id alone; ids are
// handed out afresh in every run.
#pragma once

#include "storage/Item.h"
#include "toolkit/base/Rect16.h"

inline constexpr TypeCode kWindowPositionItem = typeCode("WPOS");

class WindowPosition : public Item {
  public:
    explicit WindowPosition(int32_t id);
    // A null box gives the zero box.
    WindowPosition(TypeCode type, const Rect16* box, int32_t id);

    // Same item type and same id; type and box are not compared.
    bool isEqual(const Item* other) const override;

    TypeCode windowType;      // kind of window; '****' when made from an id alone
    Rect16 box;               // x, y, width, height
    unsigned char inUse = 0;  // 1 while a window holds the position
    int32_t positionId;       // ties the position to the window that holds it
};
