#include "kelvane/ToolInfoWindow.h"

#include <cstdio>
#include <string>

#include "kelvane/ModalWindow.h"
#include "kelvane/ToolIconBar.h"
#include "toolkit/Toolkit.h"
#include "tools/ToolRegistry.h"
#include "workspace/HelpManager.h"

namespace {
enum ToolInfoChild { kIcon = 0, kName = 1, kVersion = 2, kCompany = 3, kOkButton = 4 };

// The icon is a picture: it takes no focus.
void iconNfy(TButObj* button, int code) {
    if (code != kNfyFocusGained) TBUT_DefNfy(button, code);
}

void setField(WinObj* window, ToolInfoChild child, const char* text) {
    TED_SetStr(static_cast<TEdObj*>(RES_GetNthChild(window, child)), text);
}
}  // namespace

void displayToolInfoWindow(const ToolInfo* tool) {
    WinObj* window = loadModalWindow("toolInfoWindow");
    if (window == nullptr) return;
    auto* icon = static_cast<TButObj*>(RES_GetNthChild(window, kIcon));
    RES_SetNfyProcDS(icon, iconNfy, 0);
    RES_SetNfyProcDS(static_cast<TButObj*>(RES_GetNthChild(window, kOkButton)), okButtonNfy, 0);
    WIN_Init(window);

    TBUT_SetIcon(icon, getToolIcon(tool));
    std::string name = tool->name;
    if (!gToolRegistry->toolIsLoaded(tool->toolType)) name += " (unloaded)";
    setField(window, kName, name.c_str());
    char version[48];
    std::snprintf(version, sizeof version, "Version %d.%d", int(tool->majorVersion),
                  int(tool->minorVersion));
    setField(window, kVersion, version);
    setField(window, kCompany, tool->company);
    gHelpManager->addModalHelp(window, "ToolInfo", nullptr);
    runModalWindow(window);
}
