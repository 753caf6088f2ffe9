// The FLTK peer of a combo box: a choice whose items mirror the elements;
// the user's choice becomes kNfyEltChosen.
#pragma once

#include <FL/Fl_Choice.H>

#include <vector>

#include "toolkit/fltk/FltkPeer.h"

class CBoxObj;

class FltkComboPeer : public FltkPeer<Fl_Choice> {
  public:
    FltkComboPeer(int x, int y, int width, int height);
    // Rebuilds the items from the elements and shows the chosen one.
    void sync(CBoxObj* combo);

  private:
    static void chosen(Fl_Widget* peer, void*);

    std::vector<Fl_Menu_Item> items_;  // the elements as FLTK items; labels point into the elements
};
