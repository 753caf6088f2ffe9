#include "kelvane/ToolPopUpMenu.h"

#include <cstring>
#include <memory>

#include "core/Utilities.h"
#include "kelvane/ToolInfoWindow.h"
#include "kelvane/WorkspaceWindow.h"
#include "projects/ProjectCommandContext.h"
#include "toolkit/widgets/MenuObj.h"
#include "toolkit/widgets/WinObj.h"
#include "tools/CommandManager.h"
#include "tools/ToolCommand.h"
#include "tools/ToolRegistry.h"

namespace {
constexpr const char* kDefaultSourceViewerItem = "Default Source Viewer";
constexpr const char* kLoadToolItem = "Load Tool";
constexpr const char* kUnloadToolItem = "Unload Tool";
constexpr const char* kToolInformationItem = "Tool Information...";

struct MenuDeleter {
    void operator()(MenuObj* menu) const { MENU_Terminate(menu); }
};
using PopUpMenu = std::unique_ptr<MenuObj, MenuDeleter>;

// One item per command of the tool; the item carries its command.
void addCommandItems(MenuObj* menu, const ToolInfo& tool, bool loaded) {
    TypeCode fileType = 0;
    long kind = selectedComponentKind(&fileType);
    for (long i = 0; i < gCommandManager->getCommandCount(); ++i) {
        ToolCommand* command = gCommandManager->getNthCommand(i);
        if (command->toolInfo.toolType != tool.toolType) continue;
        MENU_AddItem(menu, command->commandName, 0);
        MENU_CurSetClientData(menu, reinterpret_cast<ClientData>(command));
        MENU_CurSetEnabled(
            menu, loaded && (kind == 0 || command->commandMatchesRequires(kind, fileType, true)));
    }
    if (MENU_GetNumElts(menu) > 0) MENU_AddSeparator(menu);
}

void runChoice(const MenuObj* menu, ToolInfo* tool) {
    const char* label = MENU_ChosenGetLabel(menu);
    if (std::strcmp(label, kUnloadToolItem) == 0) {
        // The menu offers unloading only for a loaded tool: nothing to refuse.
        (void)gToolRegistry->unloadTool(tool->toolType);
    } else if (std::strcmp(label, kDefaultSourceViewerItem) == 0) {
        gToolRegistry->setDefaultSourceTool(tool);
    } else if (std::strcmp(label, kLoadToolItem) == 0) {
        // A program that cannot be started is logged; the icon stays marked unloaded.
        (void)gToolRegistry->loadTool(tool->toolType);
    } else if (std::strcmp(label, kToolInformationItem) == 0) {
        displayToolInfoWindow(tool);
    } else if (auto* command =
                   reinterpret_cast<const ToolCommand*>(MENU_ChosenGetClientData(menu))) {
        gCommandManager->executeCommand(command);
    }
}
}  // namespace

void openToolPopUpMenu(const char* toolName) {
    ToolInfo* tool = gToolRegistry->lookupToolByName(toolName);
    if (tool == nullptr) return;
    bool loaded = gToolRegistry->toolIsLoaded(tool->toolType) != 0;

    PopUpMenu menu(MENU_Create());
    addCommandItems(menu.get(), *tool, loaded);
    if (tool->isSourceViewer && loaded) {
        MENU_AddItem(menu.get(), kDefaultSourceViewerItem, 0);
        MENU_CurSetCheckedMode(menu.get(), true);
        const ToolInfo* defaultViewer = gToolRegistry->getDefaultSourceTool();
        MENU_CurSetChecked(menu.get(),
                           defaultViewer != nullptr && defaultViewer->toolType == tool->toolType);
    }
    MENU_AddItem(menu.get(), loaded ? kUnloadToolItem : kLoadToolItem, 0);
    MENU_AddItem(menu.get(), kToolInformationItem, 0);
    // Found again after the menu: the tool may have left while it was open.
    char name[kToolNameSize];
    copyText(name, sizeof name, tool->name);
    if (!MENU_OpenProcess(menu.get(), gWorkspaceWindow)) return;
    if ((tool = gToolRegistry->lookupToolByName(name)) != nullptr) runChoice(menu.get(), tool);
}
