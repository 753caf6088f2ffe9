// ListColumn: one column of the workspace's component area, a list box with
// its label above it. The project list and every component view are columns;
// they are placed side by side, each 8 pixels right of the one before, and
// share one height. The label's width is the column's width.
#pragma once

#include <cstdint>

#include "toolkit/base/Rect16.h"

class LBoxObj;
class TAreaObj;

inline constexpr int16_t kColumnGap = 8;  // pixels between two columns
inline constexpr int16_t kMinimumColumnWidth = 60;

struct ListColumn {
    LBoxObj* list = nullptr;    // the rows
    TAreaObj* label = nullptr;  // the heading above them

    bool exists() const { return list != nullptr && label != nullptr; }
};

// The label's width, 0 for a column without widgets.
int16_t columnWidth(const ListColumn& column);
// Gives list and label the left edge `x` and the width `width`; each keeps
// its own y and height.
void placeColumn(const ListColumn& column, int x, int width);
// The box of the list with the label's height added on top: the whole
// column, in the component area's coordinates.
Rect16 columnBox(const ListColumn& column);
