#include "kelvane/WorkspaceWindow.h"

#include <string>

#include "core/Globals.h"
#include "core/Log.h"
#include "kelvane/ComponentArea.h"
#include "kelvane/ComponentLists.h"
#include "kelvane/IdentificationStatus.h"
#include "kelvane/ProjectColumns.h"
#include "kelvane/ToolIconBar.h"
#include "kelvane/ToolManagerApp.h"
#include "kelvane/WorkspaceCommands.h"
#include "messaging/MessageCenter.h"
#include "projects/ProjectManager.h"
#include "toolkit/Toolkit.h"
#include "workspace/HelpManager.h"
#include "workspace/WindowManager.h"

WinObj* gWorkspaceWindow = nullptr;
ColorObj* gWindowBgColor = nullptr;

namespace {
constexpr const char* kLogSource = "../workspace";
constexpr TypeCode kWorkspaceWindowType = typeCode("TMAN");
constexpr int kStatusLineIndex = 0;
constexpr int kFirstButtonIndex = 1;
constexpr int kLastButtonIndex = 9;
constexpr int kToolIconPanelIndex = 10;
constexpr int kComponentAreaIndex = 11;  // its child 0 is the project list
constexpr int kArrowCursor = 0;
constexpr const char* kHelpKey = "ToolManager";

IdentificationStatus identificationStatus;  // the window's part in long identifications

// The project list and its columns show the project, and the status line
// how identification is getting on, while the window exists.
void handOverProjectList(WinObj* window) {
    WgtObj* area = window ? RES_GetNthChild(window, kComponentAreaIndex) : nullptr;
    gProjectColumns.attach(area ? dynamic_cast<LBoxObj*>(RES_GetNthChild(area, 0)) : nullptr);
    gProjectManager->getFileIdentifier().setProgress(window ? &identificationStatus : nullptr);
}

// The id of the menu bar item just chosen, 0 when there is none.
int chosenMenuId(WinObj* window) {
    MenuObj* menu = MBAR_ChosenGetMenu(WIN_GetMenuBar(window));
    return menu != nullptr ? MENU_ChosenGetId(menu) : 0;
}

void workspaceWindowNfy(WinObj* window, int code) {
    switch (code) {
        case kNfyPointerMoved:
            if (pointerOnColumnBoundary()) {
                WGT_UseCursor(window, gResizeHorCursor);
                updateStatusText("Click and drag to resize the component lists");
            } else {
                WGT_UseCursor(window, CURS_LoadById(kArrowCursor));
            }
            WGT_MouseHandled(window);
            WIN_DefNfy(window, code);
            break;
        case kNfyPointerEntered:
            WIN_DefNfy(window, code);
            if (!pointerOnColumnBoundary()) {
                updateStatusText(nullptr);
                WGT_MouseHandled(window);
            }
            break;
        case kNfyWindowDestroyed:
            gFinished = 1;
            gToolIconBar->setPanel(nullptr);
            handOverProjectList(nullptr);
            delete gWindowManager->removeWindowRec(window);
            WIN_DefNfy(window, code);
            gWorkspaceWindow = nullptr;
            break;
        case kNfyMenuChosen:
            // The help manager sees every choice first; it passes the code
            // to the default procedure itself.
            if (!gHelpManager->handleHelpMItems(window, kHelpKey, nullptr)) {
                runWorkspaceCommand(chosenMenuId(window));
            }
            break;
        case kNfyKeyDown:
            gHelpManager->checkHelpKey(kHelpKey, window, nullptr);
            WIN_DefNfy(window, code);
            break;
        default:
            WIN_DefNfy(window, code);
    }
}

// Buttons run the command of their name's leading digit.
void commandButtonNfy(TButObj* button, int code) {
    int command = buttonCommand(RES_GetName(button));
    switch (code) {
        case kNfyPointerEntered:
            if (const char* text = buttonStatusText(command)) updateStatusText(text);
            WGT_MouseHandled(button);
            break;
        case kNfyActivated:
            runWorkspaceCommand(command);
            break;
        case kNfyFocusGained:
            break;
        default:
            TBUT_DefNfy(button, code);
    }
}
}  // namespace

void updateStatusText(const char* text) {
    auto* statusLine =
        gWorkspaceWindow
            ? dynamic_cast<TAreaObj*>(RES_GetNthChild(gWorkspaceWindow, kStatusLineIndex))
            : nullptr;
    if (statusLine == nullptr) return;
    // The label always starts with a blank, which keeps the text off the frame.
    std::string label = " ";
    if (text) label += text;
    if (label != TAREA_GetLabel(statusLine)) TAREA_SetLabel(statusLine, label.c_str());
}

void updateWorkspaceTitle() {
    if (gWorkspaceWindow != nullptr)
        WIN_SetLabel(gWorkspaceWindow, gProjectManager->getProjectTitle());
}

void createWorkspaceWindow() {
    WinObj* window = WIN_Load("kelvane", "workspace");
    if (window == nullptr) {
        OKA_LOG("createWorkspaceWindow: the kelvane library has no workspace window");
        return;
    }
    RES_SetNfyProcDS(window, workspaceWindowNfy, 0);
    gHelpManager->addMenu(window);
    gHelpManager->addMenuItem(window, "&About the OKA", kAboutCommand, nullptr, ' ', 1, 0);
    for (int i = kFirstButtonIndex; i <= kLastButtonIndex; ++i) {
        if (auto* button = dynamic_cast<TButObj*>(RES_GetNthChild(window, i))) {
            RES_SetNfyProcDS(button, commandButtonNfy, 0);
        }
    }
    gWorkspaceWindow = window;
    WIN_Init(window);
    WIN_SetIcon(window, getToolIcon(&gMessageCenter->getOwnToolInfo()));
    gToolIconBar->setPanel(dynamic_cast<PanelObj*>(RES_GetNthChild(window, kToolIconPanelIndex)));
    installComponentListProcedures(window);
    handOverProjectList(window);
    gWindowManager->addWindowRec(kWorkspaceWindowType, window, nullptr, nullptr);
    gWindowBgColor = WGT_GetBgColor(window);
    // The project was loaded at start-up, before there was a window to title.
    updateWorkspaceTitle();
    WIN_Show(window);
}
