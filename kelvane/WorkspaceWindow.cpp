#include "kelvane/WorkspaceWindow.h"

#include <string>

#include "core/Globals.h"
#include "core/Log.h"
#include "kelvane/ComponentLists.h"
#include "kelvane/ToolIconBar.h"
#include "messaging/MessageCenter.h"
#include "projects/ProjectManager.h"
#include "toolkit/Toolkit.h"
#include "workspace/WindowManager.h"

WinObj* gWorkspaceWindow = nullptr;

namespace {
constexpr const char* kLogSource = "../workspace";
constexpr TypeCode kWorkspaceWindowType = typeCode("TMAN");
constexpr int kStatusLineIndex = 0;
constexpr int kToolIconPanelIndex = 10;
constexpr int kComponentAreaIndex = 11;  // its child 0 is the project list

// The project list goes to the project manager, which fills it.
void handOverProjectList(WinObj* window) {
    WgtObj* area = window ? RES_GetNthChild(window, kComponentAreaIndex) : nullptr;
    gProjectManager->setProjectListBox(area ? dynamic_cast<LBoxObj*>(RES_GetNthChild(area, 0))
                                            : nullptr);
}

void workspaceWindowNfy(WinObj* window, int code) {
    if (code == kNfyWindowDestroyed) {
        gFinished = 1;
        gToolIconBar->setPanel(nullptr);
        handOverProjectList(nullptr);
        delete gWindowManager->removeWindowRec(window);
        gWorkspaceWindow = nullptr;
    }
    WIN_DefNfy(window, code);
}
}  // namespace

void updateStatusText(const char* text) {
    auto* statusLine = gWorkspaceWindow ? dynamic_cast<TAreaObj*>(
                                              RES_GetNthChild(gWorkspaceWindow, kStatusLineIndex))
                                        : nullptr;
    if (statusLine == nullptr) return;
    // The label always starts with a blank, which keeps the text off the frame.
    std::string label = " ";
    if (text) label += text;
    if (label != TAREA_GetLabel(statusLine)) TAREA_SetLabel(statusLine, label.c_str());
}

void createWorkspaceWindow() {
    WinObj* window = WIN_Load("kelvane", "workspace");
    if (window == nullptr) {
        OKA_LOG("createWorkspaceWindow: the kelvane library has no workspace window");
        return;
    }
    RES_SetNfyProcDS(window, workspaceWindowNfy, 0);
    gWorkspaceWindow = window;
    WIN_Init(window);
    WIN_SetIcon(window, getToolIcon(&gMessageCenter->getOwnToolInfo()));
    gToolIconBar->setPanel(dynamic_cast<PanelObj*>(RES_GetNthChild(window, kToolIconPanelIndex)));
    installComponentListProcedures(window);
    handOverProjectList(window);
    gWindowManager->addWindowRec(kWorkspaceWindowType, window, nullptr, nullptr);
    WIN_Show(window);
}
