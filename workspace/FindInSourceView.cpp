#include "workspace/FindInSourceView.h"

#include <cstring>
#include <memory>
#include <string>

#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "messaging/MessageTypes.h"
#include "messaging/PortLabel.h"
#include "toolkit/Toolkit.h"
#include "workspace/HelpManager.h"
#include "workspace/WindowManager.h"

char* gSearchString = nullptr;
unsigned char gCaseSensitive = 0;
unsigned char gTextChanged = 1;
WinObj* gFindWindow = nullptr;
TEdObj* gTextArea = nullptr;
TButObj* gCaseSensitiveButton = nullptr;

namespace {
constexpr const char* kLogSource = "../findInSourceView";
constexpr TypeCode kFindWindowType = typeCode("FSCW");
constexpr const char* kHelpKey = "SourceFind";
constexpr int kTextChild = 1;
constexpr int kCaseChild = 2;
constexpr int kFindChild = 3;

SourceToolLookup gSourceToolLookup = nullptr;

void replaceSearchString(const char* text) {
    delete[] gSearchString;
    gSearchString = newStringCopy(text != nullptr ? text : "");
}

// A Find from the field or the button: an edited field supplies the text.
void findFromWindow() {
    if (gTextChanged && gTextArea != nullptr) replaceSearchString(TED_GetStr(gTextArea));
    findInSourceView();
}

void findWindowNfy(WinObj* window, int code) {
    if (code == kNfyWindowClosed) {
        delete gWindowManager->removeWindowRec(window);
        gFindWindow = nullptr;
        gTextArea = nullptr;
        gCaseSensitiveButton = nullptr;
    }
    if ((code == kNfyKeyDown || code == kNfyWindowClosed) && gHelpManager != nullptr) {
        gHelpManager->checkHelpKey(kHelpKey, window, nullptr);
    }
    WIN_DefNfy(window, code);
}

void textFieldNfy(TEdObj* field, int code) {
    // Return searches here; the default procedure would press Find as well.
    if (code == kNfyEnterKey) {
        findFromWindow();
        return;
    }
    TED_DefNfy(field, code);
    if (code == kNfyInit && gSearchString != nullptr) {
        TED_SetStr(field, gSearchString);
        gTextChanged = 0;
    } else if (code == kNfyKeyTyped) {
        gTextChanged = 1;
    }
}

void caseToggleNfy(TButObj* button, int code) {
    TBUT_DefNfy(button, code);
    if (code == kNfyInit) {
        TBUT_SetSelected(button, gCaseSensitive != 0);
    } else if (code == kNfyActivated) {
        gCaseSensitive = !gCaseSensitive;
    }
}

void findButtonNfy(TButObj* button, int code) {
    TBUT_DefNfy(button, code);
    if (code == kNfyActivated) findFromWindow();
}

// Handlers: 'AFSV', 'SFSV', 'GFSV'.
int32_t askFindInSourceViewMsg(Message*, Message*) {
    askFindInSourceView();
    return 0;
}

int32_t setFindInSourceViewStringMsg(Message* message, Message*) {
    long length = message->getParamLength(0);
    if (length < 1) {
        OKA_LOG("setFindInSourceViewStringMsg received a zero length parameter");
        return 0;
    }
    // The text ends at its terminator or, without one, with the parameter.
    const char* data = reinterpret_cast<const char*>(message->getParam(0));
    setSourceViewSearchString(std::string(data, strnlen(data, size_t(length))).c_str());
    return 0;
}

int32_t getFindInSourceViewParamsMsg(Message*, Message* reply) {
    getSourceViewParams(reply);
    return gMessageCenter->getLastError();
}
}  // namespace

void setSourceToolLookup(SourceToolLookup lookup) {
    gSourceToolLookup = lookup;
}

void askFindInSourceView() {
    if (gFindWindow != nullptr) {
        WIN_PopToFront(gFindWindow);
        return;
    }
    WinObj* window = WIN_Load("kelvane", "FindWindow");
    if (window == nullptr) return;
    gTextArea = dynamic_cast<TEdObj*>(RES_GetNthChild(window, kTextChild));
    gCaseSensitiveButton = dynamic_cast<TButObj*>(RES_GetNthChild(window, kCaseChild));
    auto* findButton = dynamic_cast<TButObj*>(RES_GetNthChild(window, kFindChild));
    RES_SetNfyProcDS(window, findWindowNfy, 0);
    RES_SetNfyProcDS(gTextArea, textFieldNfy, 0);
    RES_SetNfyProcDS(gCaseSensitiveButton, caseToggleNfy, 0);
    RES_SetNfyProcDS(findButton, findButtonNfy, 0);
    gFindWindow = window;
    WIN_Init(window);
    gWindowManager->addWindowRec(kFindWindowType, window, nullptr, nullptr);
    WIN_Show(window);
}

void setSourceViewSearchString(const char* text) {
    replaceSearchString(text);
    if (gTextArea != nullptr) TED_SetStr(gTextArea, gSearchString);
}

void getSourceViewParams(Message* reply) {
    long length = gSearchString != nullptr ? long(std::strlen(gSearchString)) : 0;
    reply->addParam(kParamData, gSearchString != nullptr ? gSearchString : "", length);
    reply->addBoolParam(gCaseSensitive != 0);
}

void findInSourceView() {
    ToolInfo* tool = gSourceToolLookup != nullptr ? gSourceToolLookup() : nullptr;
    if (tool == nullptr || gSearchString == nullptr || gSearchString[0] == '\0') {
        okaBeep();
        return;
    }
    auto* request = new Message(kFindInSourceMsg.code, tool);
    request->wantsReply = 1;
    request->addBoolParam(false);
    request->addParam(kParamData, gSearchString, long(std::strlen(gSearchString)) + 1);
    request->addBoolParam(gCaseSensitive != 0);
    const ToolInfo viewer = *tool;  // the registry's entry may change while we wait
    std::unique_ptr<Message> reply(gMessageCenter->sendMessage(request));
    if (!reply) {
        OKA_LOG("findInSourceView received a nil reply from the %s%s", viewer.name,
                toolLabel(viewer).c_str());
        okaBeep();
    } else if (reply->paramCount < 2) {
        OKA_LOG("findInSourceView not enough parameters in the reply");
        okaBeep();
    } else if (!reply->getBoolParam(1)) {
        okaBeep();
    }
}

void registerFindInSourceViewHandlers() {
    gMessageCenter->registerMessageHandler(kAskFindInSourceMsg, askFindInSourceViewMsg);
    gMessageCenter->registerMessageHandler(kSetFindTextMsg, setFindInSourceViewStringMsg);
    gMessageCenter->registerMessageHandler(kGetFindParamsMsg, getFindInSourceViewParamsMsg);
}
