#include "kelvane/PreferencesWindow.h"

#include <cstring>
#include <string>

#include "core/Log.h"
#include "kelvane/ToolManagerApp.h"
#include "storage/PrefMan.h"
#include "toolkit/Toolkit.h"
#include "tools/ToolRegistry.h"
#include "workspace/ErrorText.h"
#include "workspace/HelpManager.h"

namespace {
constexpr const char* kLogSource = "../preferences";
constexpr TypeCode kHelpViewerRecord = typeCode("HTPT");
constexpr const char* kHelpKey = "KelvanePrefs";
constexpr int kOkChild = 0;
constexpr int kCancelChild = 1;
constexpr int kHelpGroupChild = 2;  // its child 0 is the viewer field

TEdObj* viewerField(WinObj* window) {
    WgtObj* group = RES_GetNthChild(window, kHelpGroupChild);
    return group != nullptr ? dynamic_cast<TEdObj*>(RES_GetNthChild(group, 0)) : nullptr;
}

void okButtonNfy(TButObj* button, int code) {
    if (code == kNfyActivated) {
        WinObj* window = WGT_GetWin(button);
        TEdObj* field = viewerField(window);
        std::string viewer = field != nullptr ? TED_GetStr(field) : "";
        // The form goes first: nothing of it is used below.
        WIN_TerminateGetStatus(window);
        changeHelpViewer(viewer.c_str());
        return;
    }
    TBUT_DefNfy(button, code);
}

void cancelButtonNfy(TButObj* button, int code) {
    if (code == kNfyActivated) {
        WIN_TerminateGetStatus(WGT_GetWin(button));
        return;
    }
    TBUT_DefNfy(button, code);
}

void preferencesWindowNfy(WinObj* window, int code) {
    if (code == kNfyKeyDown && gHelpManager != nullptr) {
        gHelpManager->checkHelpKey(kHelpKey, window, nullptr);
    }
    WIN_DefNfy(window, code);
}
}  // namespace

WinObj* displayKelvanePreferences() {
    WinObj* window = WIN_Load("kelvane", "kelvanePreferences");
    if (window == nullptr) return nullptr;
    RES_SetNfyProcDS(window, preferencesWindowNfy, 0);
    RES_SetNfyProcDS(dynamic_cast<TButObj*>(RES_GetNthChild(window, kOkChild)), okButtonNfy, 0);
    RES_SetNfyProcDS(dynamic_cast<TButObj*>(RES_GetNthChild(window, kCancelChild)), cancelButtonNfy,
                     0);
    WIN_Init(window);
    // The form shows the program help really runs, not a stored name that
    // gives way to another.
    std::string viewer = gHelpManager != nullptr ? gHelpManager->getViewerInUse() : std::string();
    if (TEdObj* field = viewerField(window)) TED_SetStr(field, viewer.c_str());
    WIN_Show(window);
    return window;
}

void changeHelpViewer(const char* viewerName) {
    PreferenceRecord record{viewerName, long(std::strlen(viewerName)) + 1};
    // The viewer is used for the run even when it could not be stored.
    alertIfFailed(gPreferencesManager->replacePreferencesOfType(kHelpViewerRecord, &record, 1));
    OKA_LOG("help viewer set to \"%s\"", viewerName);
    gHelpManager->setViewerName(viewerName);
    for (long i = 0; i < gToolRegistry->getToolCount(); ++i) {
        gHelpManager->sendViewerNameMessage(gToolRegistry->lookupToolByNumber(i));
    }
}

void readStoredHelpViewer() {
    char name[kPathSize] = "";
    Result<long> length =
        gPreferencesManager->readNthPreference(kHelpViewerRecord, 1, name, sizeof name - 1);
    if (length.valueOr(0) > 0 && name[0] != '\0') {
        gHelpManager->setViewerName(name);
    }
}
