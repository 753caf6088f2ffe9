// PanelObj: a widget that holds an ordered list of child widgets. Windows
// are panels too. The application addresses children by index
// (RES_GetNthChild), so the order given by the resource library is part of
// its contract with the application.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/widgets/WgtObj.h"

class PanelObj : public WgtObj {
  public:
    explicit PanelObj(WgtKind panelKind = WgtKind::Panel) : WgtObj(panelKind) {}
    PanelObj(const PanelObj& other);

    std::unique_ptr<WgtObj> clone() const override;
    void release() override;

    // Appends `child` and takes ownership of it.
    void addChild(std::unique_ptr<WgtObj> child);
    // Takes `child` out and hands it back to the caller; null when absent.
    std::unique_ptr<WgtObj> removeChild(WgtObj* child);
    WgtObj* childAt(int index) const;
    int childCount() const { return int(children.size()); }

    std::vector<std::unique_ptr<WgtObj>> children;  // in resource order; owned
    std::string title;                              // caption of the panel's frame; empty: no frame
};

// The n-th child (0 first) of a window or panel, or null.
WgtObj* RES_GetNthChild(WgtObj* parent, int index);

// Adds a widget that the application owns; the panel owns it from then on.
void PANEL_AddWgt(PanelObj* panel, WgtObj* widget);
// Takes a widget out of the panel; the application owns it again (WGT_Terminate).
void PANEL_RemoveWgt(PanelObj* panel, WgtObj* widget);
void PANEL_SetBox(PanelObj* panel, const Rect16* box);
void PANEL_SetResBox(PanelObj* panel, const Rect16* box);
// A copy of the panel with copies of its children, owned by the caller.
PanelObj* PANEL_Clone(PanelObj* panel);
