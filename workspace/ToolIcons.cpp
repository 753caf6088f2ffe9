// Tool icon buttons: creation, placement, the unloaded mark and its drawing.
#include "workspace/ToolIcons.h"

#include "toolkit/Draw.h"
#include "toolkit/PanelObj.h"
#include "toolkit/ResourceLibrary.h"
#include "toolkit/TButObj.h"
#include "toolkit/WinObj.h"
#include "tools/ToolRegistry.h"

namespace {
// Resize flags that keep an icon at its place in the panel.
constexpr int kToolIconResizeFlags = 85;
// The unloaded mark covers the top centre of the 70-pixel button.
constexpr Rect16 kUnloadedMarkBox{19, 2, 32, 32};
// The mark is kept with the button as its client data.
constexpr ClientData kUnloadedMark = 1;

PanelObj* iconPanel = nullptr;  // the workspace's tool icon panel, or null

struct ToolIconName {
    TypeCode toolType;     // tool type with an icon of its own
    const char* resource;  // icon resource in the shared library
};

constexpr ToolIconName kToolIconNames[] = {
    {typeCode("BROW"), "browser"},  {typeCode("CLDT"), "cloudmgr"}, {typeCode("COMP"), "compiler"},
    {typeCode("DBUG"), "debugger"}, {typeCode("MODL"), "module"},
};

void toolIconNfy(TButObj* icon, int code) {
    switch (code) {
        case kNfyButtonDestroyed:
            // The window owns its icons; the registry must not reach a gone one.
            if (gToolRegistry != nullptr) gToolRegistry->forgetToolIcon(icon);
            TBUT_DefNfy(icon, code);
            break;
        case kNfyDraw:
            TBUT_DefNfy(icon, code);
            if (toolIconIsUnloaded(icon)) {
                DRAW_Icon(icon, &kUnloadedMarkBox, RES_LoadInit("kelvane", "unloadedToolIcon"));
            }
            break;
        case kNfyFocusGained:
            break;
        default:
            TBUT_DefNfy(icon, code);
    }
}
}  // namespace

void setToolIconPanel(PanelObj* panel) {
    iconPanel = panel;
}

int toolIconPanelHeight() {
    return iconPanel != nullptr ? iconPanel->box.height : 0;
}

IconObj* getToolIcon(const ToolInfo* tool) {
    for (const ToolIconName& entry : kToolIconNames) {
        if (entry.toolType == tool->toolType) return RES_LoadInit("shared", entry.resource);
    }
    return RES_LoadInit("shared", "genericToolIcon");
}

TButObj* createToolIcon(const ToolInfo* tool, const Rect16* box) {
    if (iconPanel == nullptr) return nullptr;
    TButObj* icon = TBUT_Create();
    TBUT_SetLabel(icon, tool->name);
    WGT_SetRzFlags(icon, kToolIconResizeFlags);
    WGT_SetBgColor(icon, COLOR_Transparent());
    WGT_SetPen(icon, PEN_Invisible());
    WGT_SetFont(icon, RES_LoadInit("kelvane", "normalFont"));
    TBUT_SetIcon(icon, getToolIcon(tool));
    WGT_SetClientData(icon, 0);
    WGT_Inval(icon);
    WGT_SetBox(icon, box);
    RES_SetNfyProcDS(icon, toolIconNfy, 0);
    PANEL_AddWgt(iconPanel, icon);
    return icon;
}

void moveToolIcon(TButObj* icon, const Rect16* box) {
    WGT_SetBox(icon, box);
}

void setToolIconUnloaded(TButObj* icon, bool unloaded) {
    WGT_SetClientData(icon, unloaded ? kUnloadedMark : 0);
    WGT_Inval(icon);
}

bool toolIconIsUnloaded(const TButObj* icon) {
    return WGT_GetClientData(icon) == kUnloadedMark;
}
