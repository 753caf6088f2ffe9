// The FLTK peer of a list box: a framed area whose rows the application
// draws through the row notifications, with a vertical scroll bar when the
// rows do not fit.
#pragma once

#include <FL/Fl_Group.H>
#include <FL/Fl_Scrollbar.H>

#include "toolkit/fltk/FltkPeer.h"

class LBoxObj;

class FltkListPeer : public FltkPeer<Fl_Group> {
  public:
    FltkListPeer(LBoxObj* list, int x, int y, int width, int height);

    // Shows or hides the scroll bar and sets its range from the rows.
    void sync();
    void draw() override;
    int handle(int event) override;
    void resize(int x, int y, int width, int height) override;

  private:
    static void scrolled(Fl_Widget* bar, void* peer);

    LBoxObj* list_;            // the toolkit list (valid while user_data is set)
    Fl_Scrollbar* scrollBar_;  // vertical scroll bar, a child of this group
};
