// The component lists: row drawing, row descriptions, the component pop-up
// menu and the default command.
#include "kelvane/ComponentLists.h"

#include <algorithm>
#include <cstring>

#include "kelvane/ComponentArea.h"
#include "kelvane/ProjectColumns.h"
#include "kelvane/WorkspaceWindow.h"
#include "projects/ProjectCommandContext.h"
#include "projects/ProjectManager.h"
#include "toolkit/Toolkit.h"
#include "tools/ToolCommand.h"
#include "tools/ToolRegistry.h"
#include "workspace/AlertWindow.h"
#include "workspace/ErrorText.h"

namespace {
constexpr const char* kRemoveComponentLabel = "Remove Component";
constexpr const char* kRemoveListLabel = "Remove List";
constexpr const char* kSetListFilterLabel = "Set List Filter...";
constexpr const char* kNoToolForComponent =
    "Unable to complete that operation because no tool is currently installed that can "
    "utilize that component.";
constexpr int kRightButton = 3;
constexpr int kIndentPerLevel = 8;
constexpr int kTextMargin = 4;

MasterComponentList& components() {
    return gProjectManager->getMasterComponentList();
}

// A command from a menu built before the choice: still one of the manager's?
// (A tool may have withdrawn it while the menu was open.)
const ToolCommand* listedCommand(ClientData data) {
    for (long n = 0; n < gCommandManager->getCommandCount(); ++n)
        if (ClientData(gCommandManager->getNthCommand(n)) == data)
            return gCommandManager->getNthCommand(n);
    return nullptr;
}

void runCommand(const ToolCommand* command) {
    if (command != nullptr) gCommandManager->executeCommand(command);
}

// The background of an unselected row: the list's own colour, so that rows
// do not stand out from the list's empty part; the workspace's colour for a
// list that has none.
ColorObj* rowBackground(LBoxObj* list) {
    if (list->bgColor != nullptr) return list->bgColor;
    return gWindowBgColor != nullptr ? gWindowBgColor : COLOR_LightGray();
}

ColorObj* highlightColor() {
    ColorObj* color = RES_LoadInit("shared", "hiliteColor");
    return color != nullptr ? color : COLOR_LightGray();
}

void showListMenu(TAreaObj* label) {
    MenuObj* menu = MENU_Create();
    MENU_AddItem(menu, kRemoveListLabel, 0);
    MENU_AddItem(menu, kSetListFilterLabel, 0);
    bool chosen = MENU_OpenProcess(menu, label);
    bool remove = chosen && std::strcmp(MENU_ChosenGetLabel(menu), kRemoveListLabel) == 0;
    MENU_Terminate(menu);
    if (!chosen) return;
    if (remove)
        gProjectManager->removeComponentView(label);
    else
        gProjectManager->setComponentViewFilter(label);
}

// The component menu for a component of `kind` and `type`; each command item
// carries its command. Items are told apart by label when chosen, so a
// command named like a built-in item acts as that item.
MenuObj* buildComponentMenu(long kind, TypeCode type) {
    MenuObj* menu = MENU_Create();
    bool anyCommand = false;
    for (long n = 0; n < gCommandManager->getCommandCount(); ++n) {
        ToolCommand* command = gCommandManager->getNthCommand(n);
        if (!command->commandMatchesRequires(kind, type, false)) continue;
        char label[2 * kItemTextSize];
        gCommandManager->getCommandLabel(command, label, sizeof label);
        // In front of the first item that sorts after it: ascending order.
        MENU_GoFirst(menu);
        while (MENU_IsOk(menu) && std::strcmp(MENU_CurGetLabel(menu), label) <= 0)
            MENU_GoNext(menu);
        MENU_AddItem(menu, label, 0, true);
        MENU_CurSetClientData(menu, ClientData(command));
        MENU_CurSetEnabled(menu, gToolRegistry->toolIsLoaded(command->toolInfo.toolType) != 0);
        anyCommand = true;
    }
    if (anyCommand) MENU_AddSeparator(menu);
    MENU_AddItem(menu, kRemoveComponentLabel, 0);
    return menu;
}
}  // namespace

void installComponentListProcedures(WinObj* window) {
    SPanlObj* area = workspaceComponentArea(window);
    if (area == nullptr) return;
    RES_SetNfyProcDS(area, componentAreaNfy, 0);
    RES_SetNfyProcDS(dynamic_cast<LBoxObj*>(RES_GetNthChild(area, 0)), nd_componentListNfy, 0);
    RES_SetNfyProcDS(dynamic_cast<TAreaObj*>(RES_GetNthChild(area, 1)), nd_componentViewLabelNfy,
                     0);
    gProjectColumns.setViewLabelProcedure(componentViewLabelNfy);
}

void drawComponentLine(LBoxObj* list, int level, const char* text) {
    Rect16 rowBox, visibleBox;
    if (!LBOX_CurQueryRects(list, &rowBox, &visibleBox)) return;
    DRAW_ClipRect(list, &visibleBox);
    ColorObj* fill = LBOX_IsCurSelected(list) ? highlightColor() : rowBackground(list);
    DRAW_SetPen(list, PEN_Solid());
    DRAW_SetColors(list, fill, fill);
    DRAW_Rect(list, &rowBox);
    DRAW_SetColors(list, COLOR_Black(), fill);
    FontObj* font = RES_LoadInit("kelvane", level != 0 ? "textFont" : "labelFont");
    DRAW_SetFont(list, font);
    int indent = kIndentPerLevel * std::max(level, 0) + kTextMargin;
    Rect16 textBox = rowBox;
    textBox.x = int16_t(rowBox.x + indent);
    textBox.width = int16_t(rowBox.width - indent);
    DRAW_Text(list, &textBox, kDrawTextEllipsis, text ? text : "");
    DRAW_ClipEnd(list);
}

void drawOneComponent(LBoxObj* list) {
    auto value = uint32_t(LBOX_CurGetClientData(list));
    if (value == 0) return;
    char text[kItemTextSize];
    components().rowText(value, text, sizeof text);
    drawComponentLine(list, MasterComponentList::isHeaderRow(value) ? 0 : 1, text);
}

std::string describeComponentRow(uint32_t value) {
    if (MasterComponentList::isHeaderRow(value)) {
        ComponentList* list = components().getNthList(long(value & 0xFFFF));
        return list ? list->getDescription() : "";
    }
    Item* component = components().componentOfRow(value);
    if (component == nullptr) return "";
    char text[kItemTextSize];
    component->printToString(text, sizeof text);
    return text;
}

void handleComponentMenu() {
    TypeCode type = 0;
    long kind = selectedComponentKind(&type);
    if (kind == 0) return;
    MenuObj* menu = buildComponentMenu(kind, type);
    bool chosen = MENU_OpenProcess(menu, gWorkspaceWindow);
    bool remove = chosen && std::strcmp(MENU_ChosenGetLabel(menu), kRemoveComponentLabel) == 0;
    ClientData command = chosen ? MENU_ChosenGetClientData(menu) : 0;
    MENU_Terminate(menu);
    if (!chosen) return;
    if (remove)
        alertIfFailed(gProjectManager->removeSelectedComponent());
    else
        runCommand(listedCommand(command));
}

void runDefaultCommand() {
    TypeCode type = 0;
    long kind = selectedComponentKind(&type);
    if (kind == 0) return;
    ToolCommand* command = gCommandManager->getDefaultCommand(
        kind, kind == kComponentKindEngine ? kWildcardType : type);
    if (command != nullptr)
        runCommand(command);
    else
        displayAlertWindow(kNoToolForComponent, kAlertCritical, nullptr, nullptr, nullptr, nullptr,
                           1, nullptr);
}

void nd_componentListNfy(LBoxObj* list, int code) {
    switch (code) {
        case kNfyRowDraw:
        case kNfyRowDrawSelected:
        case kNfyRowDrawFocused:
            drawOneComponent(list);
            return;
        case kNfyRowPointerOn: {
            LBOX_DefNfy(list, code);
            updateStatusText(describeComponentRow(uint32_t(LBOX_CurGetClientData(list))).c_str());
            WGT_MouseHandled(list);
            return;
        }
        case kNfyPointerLeft:
        case kNfyRowPointerOff:
            LBOX_DefNfy(list, code);
            updateStatusText(nullptr);
            return;
        case kNfyRowMouseDown:
            if (EVENT_GetButton() == kRightButton) {
                gProjectManager->unselectEverything();
                LBOX_CurSelect(list);
                handleComponentMenu();
            } else if (EVENT_IsDouble()) {
                runDefaultCommand();
            } else {
                if (!LBOX_IsCurSelected(list)) gProjectManager->unselectEverything();
                LBOX_DefNfy(list, code);
            }
            return;
        case kNfyRowAdded:
        case kNfyRowMouseUp:
            return;
        default:
            LBOX_DefNfy(list, code);
    }
}

void nd_componentViewLabelNfy(TAreaObj* label, int code) {
    TAREA_DefNfy(label, code);
    if (code == kNfyPointerEntered) {
        updateStatusText("This list displays all components in the current project");
        WGT_MouseHandled(label);
    }
}

void componentViewLabelNfy(TAreaObj* label, int code) {
    if (code == kNfyMouseDown && EVENT_GetButton() == kRightButton) {
        showListMenu(label);
        return;
    }
    TAREA_DefNfy(label, code);
    if (code == kNfyPointerEntered) {
        updateStatusText(
            "Hold down the right mouse button to display commands available for "
            "this list");
        WGT_MouseHandled(label);
    }
}
