// Tool icon buttons: placement, creation, the unloaded mark and its drawing.
#include "kelvane/ToolIconBar.h"

#include <cstring>
#include <string>

#include "core/Utilities.h"
#include "kelvane/ToolPopUpMenu.h"
#include "kelvane/WorkspaceWindow.h"
#include "toolkit/resources/ResourceLibrary.h"
#include "toolkit/widgets/Draw.h"
#include "toolkit/widgets/Event.h"
#include "toolkit/widgets/PanelObj.h"
#include "toolkit/widgets/TButObj.h"
#include "toolkit/widgets/WinObj.h"
#include "tools/RegisteredTool.h"
#include "tools/ToolRegistry.h"
#include "workspace/AlertWindow.h"

ToolIconBar* gToolIconBar = nullptr;

namespace {
// Icons stand in one row this far above the bottom of the icon panel.
constexpr int16_t kIconRowOffset = 59;
constexpr int16_t kIconLeft = 10;
constexpr int16_t kIconWidth = 70;
constexpr int16_t kIconHeight = 50;
// Resize flags that keep an icon at its place in the panel.
constexpr int kToolIconResizeFlags = 85;
// The unloaded mark covers the top centre of the 70-pixel button.
constexpr Rect16 kUnloadedMarkBox{19, 2, 32, 32};
// The mark is kept with the button as its client data.
constexpr ClientData kUnloadedMark = 1;
constexpr int kRightButton = 3;

struct ToolIconName {
    TypeCode toolType;     // tool type with an icon of its own
    const char* resource;  // icon resource in the shared library
};

constexpr ToolIconName kToolIconNames[] = {
    {typeCode("BROW"), "browser"},  {typeCode("CLDT"), "cloudmgr"}, {typeCode("COMP"), "compiler"},
    {typeCode("DBUG"), "debugger"}, {typeCode("MODL"), "module"},
};

// What the status line says while the pointer is over the icon of the tool
// named `name`: why it does not react, or how to reach its commands.
std::string iconStatusText(const char* name) {
    const ToolInfo* tool = gToolRegistry->lookupToolByName(name);
    if (tool != nullptr && gToolRegistry->toolIsLoaded(tool->toolType) &&
        !gToolRegistry->toolIsResponding(tool->toolType)) {
        return std::string(name) + " is not responding";
    }
    return "Hold down the right mouse button to display commands this tool implements";
}

void toolIconNfy(TButObj* button, int code) {
    switch (code) {
        case kNfyButtonDestroyed:
            // The window owns its icons; the bar must not reach a gone one.
            gToolIconBar->forgetButton(button);
            TBUT_DefNfy(button, code);
            break;
        case kNfyDraw:
            TBUT_DefNfy(button, code);
            if (toolIconIsUnloaded(button)) {
                DRAW_Icon(button, &kUnloadedMarkBox, RES_LoadInit("kelvane", "unloadedToolIcon"));
            }
            break;
        case kNfyPointerEntered:
            updateStatusText(iconStatusText(TBUT_GetLabel(button)).c_str());
            WGT_MouseHandled(button);
            break;
        case kNfyMouseDown:
            if (EVENT_GetButton() == kRightButton) {
                openToolPopUpMenu(TBUT_GetLabel(button));
            } else if (EVENT_IsDouble()) {
                displayAlertWindow(
                    "Hold down the right mouse button while the mouse cursor is over "
                    "a tool icon to display commands that tool implements.",
                    kAlertWarning, "Accessing Tool Commands", "Continue", nullptr, nullptr, 0,
                    nullptr);
            }
            break;
        case kNfyFocusGained:
            break;
        default:
            TBUT_DefNfy(button, code);
    }
}
}  // namespace

ToolIconBar::~ToolIconBar() {
    // Buttons still shown stop asking for the bar.
    for (Icon& icon : icons) {
        if (icon.button != nullptr) RES_SetNfyProcDS(icon.button, TBUT_DefNfy, 0);
    }
}

void ToolIconBar::setPanel(PanelObj* iconPanel) {
    panel = iconPanel;
}

int ToolIconBar::panelHeight() const {
    return panel != nullptr ? panel->box.height : 0;
}

ToolIconBar::Icon* ToolIconBar::registeredIcon(TypeCode toolType) {
    for (Icon& icon : icons) {
        if (icon.registered && icon.toolType == toolType) return &icon;
    }
    return nullptr;
}

const ToolIconBar::Icon* ToolIconBar::registeredIcon(TypeCode toolType) const {
    return const_cast<ToolIconBar*>(this)->registeredIcon(toolType);
}

const Rect16* ToolIconBar::iconBoxOf(TypeCode toolType) const {
    const Icon* icon = registeredIcon(toolType);
    return icon != nullptr ? &icon->box : nullptr;
}

TButObj* ToolIconBar::iconOf(TypeCode toolType) const {
    const Icon* icon = registeredIcon(toolType);
    return icon != nullptr ? icon->button : nullptr;
}

void ToolIconBar::forgetButton(const TButObj* button) {
    for (Icon& icon : icons) {
        if (icon.button == button) icon.button = nullptr;
    }
}

void ToolIconBar::arrangeIconBoxes(const char* name, Rect16* box) {
    *box = makeRect16(kIconLeft, int16_t(panelHeight() - kIconRowOffset), kIconWidth, kIconHeight);
    // Step past every icon whose name sorts before the new one; a move can
    // land on another such icon, so scan again until nothing moves.
    for (bool moved = true; moved;) {
        moved = false;
        for (const Icon& icon : icons) {
            if (icon.registered && icon.box.x == box->x && std::strcmp(name, icon.name) > 0) {
                box->x = int16_t(box->x + kIconSpacing);
                moved = true;
                break;
            }
        }
    }
    for (Icon& icon : icons) {
        if (!icon.registered || icon.box.x < box->x) continue;
        icon.box.x = int16_t(icon.box.x + kIconSpacing);
        if (icon.button != nullptr) WGT_SetBox(icon.button, &icon.box);
    }
}

void ToolIconBar::toolAdded(const RegisteredTool& tool) {
    Icon icon{};
    icon.toolType = tool.toolInfo.toolType;
    copyText(icon.name, sizeof icon.name, tool.toolInfo.name);
    arrangeIconBoxes(icon.name, &icon.box);
    if (panel != nullptr) {
        icon.button = createToolIcon(panel, &tool.toolInfo, &icon.box);
    }
    icon.registered = true;
    icons.push_back(icon);
}

void ToolIconBar::toolReregistered(const RegisteredTool& tool) {
    if (TButObj* button = iconOf(tool.toolInfo.toolType)) setToolIconUnloaded(button, false);
}

void ToolIconBar::toolUnloaded(const RegisteredTool& tool) {
    if (TButObj* button = iconOf(tool.toolInfo.toolType)) setToolIconUnloaded(button, true);
}

void ToolIconBar::toolRemoved(const RegisteredTool& tool) {
    if (Icon* icon = registeredIcon(tool.toolInfo.toolType)) icon->registered = false;
}

IconObj* getToolIcon(const ToolInfo* tool) {
    for (const ToolIconName& entry : kToolIconNames) {
        if (entry.toolType == tool->toolType) return RES_LoadInit("shared", entry.resource);
    }
    return RES_LoadInit("shared", "genericToolIcon");
}

TButObj* createToolIcon(PanelObj* panel, const ToolInfo* tool, const Rect16* box) {
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
    PANEL_AddWgt(panel, icon);
    return icon;
}

void setToolIconUnloaded(TButObj* icon, bool unloaded) {
    WGT_SetClientData(icon, unloaded ? kUnloadedMark : 0);
    WGT_Inval(icon);
}

bool toolIconIsUnloaded(const TButObj* icon) {
    return WGT_GetClientData(icon) == kUnloadedMark;
}
