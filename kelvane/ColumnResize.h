// Dragging a column boundary of the component area. Every column (the
// project list, then each view) is tracked as an entry: the columns left of
// the boundary stay, the one left of it changes width, the ones right of it
// move. No column becomes narrower than kMinimumColumnWidth. On release the
// widths are applied to the lists and labels and saved with the project; a
// click that does not move the pointer changes and saves nothing.
#pragma once

#include <vector>

#include "toolkit/base/Rect16.h"

class SPanlObj;

struct ColumnTrackEntry {
    Rect16 box;                    // label and list together, window coordinates
    unsigned char fixed = 0;       // the entry does not change
    unsigned char growsRight = 0;  // the width changes rather than the position
    int16_t minimumWidth = 0;      // narrowest width allowed
};

// One entry per column for a drag of `boundary`.
std::vector<ColumnTrackEntry> buildColumnTrackEntries(SPanlObj* area, int boundary);
// Applies one pointer move by `dx` to the entries, limited so that the
// growing column and every column right of it keep their minimum width;
// returns the move applied.
int moveColumnBoundary(std::vector<ColumnTrackEntry>& entries, int dx);
// Tracks the pointer until the button is released, then applies and saves.
void trackColumnResize(SPanlObj* area, int boundary);
