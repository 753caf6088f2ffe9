// The FLTK peer of a window: a double-buffered window with an optional menu
// bar on top. Closing it from the window manager notifies kNfyWindowClosed;
// being resized by the user notifies kNfyResized.
#pragma once

#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>

#include <vector>

#include "toolkit/fltk/FltkPeer.h"

class WinObj;

class FltkWindowPeer : public FltkPeer<Fl_Double_Window> {
  public:
    explicit FltkWindowPeer(WinObj* window);

    // Brings title, size, position (when it changed in the toolkit) and the
    // menu bar in line with the window's state.
    void sync();
    void resize(int x, int y, int width, int height) override;
    // True once after a menu bar appeared, which moves every widget down.
    bool takeMenuOffsetChange();

  private:
    void syncMenuBar();
    // Lays the bars out: the main one from the left, the right-aligned titles' at the right end.
    void placeMenuBars();

    WinObj* window_;                       // the toolkit window (valid while user_data is set)
    Fl_Menu_Bar* menuBar_ = nullptr;       // the menu bar child, or null
    Fl_Menu_Bar* rightMenuBar_ = nullptr;  // the right-aligned titles' bar, or null
    int rightBarWidth_ = 0;                // the room its titles take
    Fl_Widget* resizeAnchor_;              // empty box in the far corner: FLTK's resizable, so
                                           // FLTK moves no widget and the toolkit lays them out
    int minimumWidth_, minimumHeight_;     // the resource's size, the smallest the user may make it
    std::vector<Fl_Menu_Item> menuItems_;  // the bar's items, rebuilt by syncMenuBar
    std::vector<Fl_Menu_Item> rightMenuItems_;  // the right-aligned titles' items, likewise
    int syncedX_ = -1, syncedY_ = -1;           // last position taken from the toolkit
    bool syncing_ = false;                      // resize() comes from sync(), not from the user
    bool offsetChanged_ = false;  // a menu bar was added since the last takeMenuOffsetChange
};
