#include "projects/NewEngineWindow.h"

#include "core/Log.h"
#include "core/TypeCode.h"
#include "projects/EngineInfo.h"
#include "projects/ProjectManager.h"
#include "toolkit/resources/ResourceLibrary.h"
#include "toolkit/widgets/PanelObj.h"
#include "toolkit/widgets/TButObj.h"
#include "toolkit/widgets/TEdObj.h"
#include "toolkit/widgets/WinObj.h"
#include "workspace/ErrorText.h"
#include "workspace/HelpManager.h"
#include "workspace/WindowManager.h"

namespace {
constexpr const char* kLogSource = "../engines";
constexpr TypeCode kNewEngineWindowType = typeCode("ADDW");
constexpr const char* kDefaultMachine = "localhost";
constexpr int32_t kDefaultPort = 7777;

enum EngineWindowChild { kMachineField = 0, kPortField = 1, kConfirmButton = 2, kCancelButton = 3 };

TEdObj* field(WinObj* window, EngineWindowChild child) {
    return static_cast<TEdObj*>(RES_GetNthChild(window, child));
}

// The window's record goes before the window, reporting its place.
void forgetWindow(WinObj* window) {
    delete gWindowManager->removeWindowRec(window);
}

void engineWindowNfy(WinObj* window, int code) {
    if (code == kNfyWindowDestroyed) forgetWindow(window);
    if (code == kNfyKeyDown) gHelpManager->checkHelpKey("AddEngine", window, nullptr);
    WIN_DefNfy(window, code);
}

// The window's client data holds the unique id of the descriptor being
// edited, 0 for a new one.
void confirmButtonNfy(TButObj* button, int code) {
    if (code != kNfyActivated) {
        TBUT_DefNfy(button, code);
        return;
    }
    WinObj* window = button->window();
    auto editedId = uint32_t(WGT_GetClientData(window));
    auto* engine = new EngineInfo(TED_GetStr(field(window, kMachineField)),
                                  TED_GetInt32(field(window, kPortField)), editedId);
    forgetWindow(window);
    engine->log("Created:");
    WIN_TerminateGetStatus(window);
    // A machine name too long for the project file is refused: say why.
    alertIfFailed(gProjectManager->addEngineToProject(engine));
}

void cancelButtonNfy(TButObj* button, int code) {
    if (code != kNfyActivated) {
        TBUT_DefNfy(button, code);
        return;
    }
    WinObj* window = button->window();
    forgetWindow(window);
    WIN_TerminateGetStatus(window);
}
}  // namespace

void displayNewEngineWindow(const EngineInfo* engine, int /*flag*/) {
    WinObj* window = WIN_Load("kelvane", "connectWindow");
    if (window == nullptr) {
        OKA_LOG("displayNewEngineWindow: the kelvane library has no connectWindow");
        return;
    }
    RES_SetNfyProcDS(window, engineWindowNfy, 0);
    auto* confirm = static_cast<TButObj*>(RES_GetNthChild(window, kConfirmButton));
    RES_SetNfyProcDS(confirm, confirmButtonNfy, 0);
    RES_SetNfyProcDS(static_cast<TButObj*>(RES_GetNthChild(window, kCancelButton)), cancelButtonNfy,
                     0);
    WIN_Init(window);
    gWindowManager->addWindowRec(kNewEngineWindowType, window, nullptr, nullptr);

    if (engine != nullptr) {
        engine->log("Editing engine");
        engine->log("Displaying existing engine, refCon = ");
        WGT_SetClientData(window, engine->getUniqueId());
    }
    TED_SetStr(field(window, kMachineField),
               engine != nullptr && engine->getMachine() ? engine->getMachine() : kDefaultMachine);
    TED_SetInt32(field(window, kPortField), engine != nullptr ? engine->getPort() : kDefaultPort);
    TBUT_SetLabel(confirm, engine != nullptr ? "Update" : "Add");
    WIN_Show(window);
}

int32_t createEngineRequestMsg(Message*, Message*) {
    displayNewEngineWindow(nullptr, 1);
    return 0;
}
