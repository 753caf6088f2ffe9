// State that the FLTK backend and its peers share: the menu bar offset of a
// window (toolkit window coordinates start below the menu bar, FLTK's at
// the window's top) and the drawing scope of a peer's draw.
#pragma once

class WgtObj;
class WinObj;

// Height of the window's menu bar in FLTK, 0 without one.
int fltkMenuOffset(WinObj* window);

// Marks the time FLTK draws a peer: DRAW_* then draw straight into FLTK's
// current context, shifted by the window's menu bar.
class FltkDrawScope {
  public:
    explicit FltkDrawScope(WgtObj* object);
    ~FltkDrawScope();
    FltkDrawScope(const FltkDrawScope&) = delete;
    FltkDrawScope& operator=(const FltkDrawScope&) = delete;

    static bool active();
    // Vertical shift from toolkit window coordinates to FLTK's.
    static int offsetY();
    // Sets the shift for drawing outside a peer's draw (DRAW_SetWgtContext).
    static void setOffsetY(int offset);

  private:
    int savedOffset_;   // shift of an enclosing scope
    bool savedActive_;  // whether an enclosing scope was active
};
