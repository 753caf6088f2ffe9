// Moving and sizing children when their panel's size changed, following
// each child's resize flags (ResizeFlags in WgtObj.h).
#pragma once

class PanelObj;

// Adjusts the children of `panel`, whose size was oldWidth x oldHeight, to
// its present size. Panels among them that changed size lay out their own
// children in turn and get kNfyResized.
void layoutChildren(PanelObj* panel, int oldWidth, int oldHeight);
