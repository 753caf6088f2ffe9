// The tool icons of the workspace window: one button per registered tool in
// the workspace's tool icon panel, labelled with the tool's name and showing
// the image of its tool type. The registry decides where each icon stands;
// an icon whose tool was unloaded carries the unloaded mark, drawn over the
// top centre of the button.
//
// The workspace hands its tool icon panel over when its window is made and
// takes it back (null) before the window goes; without a panel no icon
// buttons are made.
#pragma once

#include "messaging/ToolInfo.h"
#include "toolkit/Rect16.h"

struct IconObj;
class PanelObj;
class TButObj;

void setToolIconPanel(PanelObj* panel);
// The panel's height; 0 without a panel.
int toolIconPanelHeight();

// The image of a tool's type from the shared library ("browser", "compiler",
// ... or "genericToolIcon").
IconObj* getToolIcon(const ToolInfo* tool);
// A new icon in the panel at `box`, mark cleared; null without a panel.
TButObj* createToolIcon(const ToolInfo* tool, const Rect16* box);
void moveToolIcon(TButObj* icon, const Rect16* box);
// Sets or clears the unloaded mark and redraws the icon.
void setToolIconUnloaded(TButObj* icon, bool unloaded);
bool toolIconIsUnloaded(const TButObj* icon);
