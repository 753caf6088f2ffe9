// The FLTK peer of a scrolling panel. Fl_Scroll measures its position from
// the children's bounding box; two empty boxes at the scrolled area's
// corners make that box the panel's extent, so FLTK's position and the
// panel's mean the same.
#pragma once

#include <FL/Fl_Box.H>
#include <FL/Fl_Scroll.H>

#include "toolkit/fltk/FltkPeer.h"

class SPanlObj;

class FltkScrollPeer : public FltkPeer<Fl_Scroll> {
  public:
    FltkScrollPeer(int x, int y, int width, int height);
    // Places the corners for the panel's extent and scrolls to its position.
    void sync(SPanlObj* panel);
    // Keeps the panel's scroll position in step with the user's scrolling.
    void draw() override;

  private:
    Fl_Box* origin_;  // empty box at the scrolled area's top-left corner
    Fl_Box* extent_;  // empty box at its bottom-right corner
};
