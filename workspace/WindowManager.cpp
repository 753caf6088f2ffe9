// Window records, remembered positions and activation of every program.
#include "workspace/WindowManager.h"

#include <memory>

#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "toolkit/widgets/WinObj.h"
#include "workspace/WindowBox.h"

namespace {
constexpr const char* kLogSource = "../windowmgr";

// Reply to 'GWIN': error, found, 8-byte box, position id.
bool isUsableGetWindowReply(const Message* reply) {
    return reply != nullptr && reply->paramCount >= 4 && reply->getLongParam(0) == 0 &&
           reply->getParamLength(2) >= kWindowBoxSize;
}
}  // namespace

WindowManager* gWindowManager = nullptr;

WindowManager::WindowManager(bool isManagerProcess) : isManagerProcess(isManagerProcess) {
    registerHandlers();
}

WindowManager::~WindowManager() {
    while (records != nullptr) delete removeWindowRec(records->window);
    for (TypeCode type : {kShowWindowsMsg.code, kHideWindowsMsg.code, kCloseWindowsMsg.code})
        gMessageCenter->removeMessageHandler(type);
    if (!isManagerProcess) gMessageCenter->removeMessageHandler(kDeactivateSourceMsg.code);
}

void WindowManager::registerHandlers() {
    gMessageCenter->registerMessageHandler(kShowWindowsMsg, showAllWindowsMsg);
    gMessageCenter->registerMessageHandler(kHideWindowsMsg, hideAllWindowsMsg);
    gMessageCenter->registerMessageHandler(kCloseWindowsMsg, closeAllWindowsMsg);
    // In the Tool Manager 'DSRC' belongs to the tool registry.
    if (!isManagerProcess) {
        gMessageCenter->registerMessageHandler(kDeactivateSourceMsg, deactivateSourceViewerMsg);
    }
}

WindowRec* WindowManager::addWindowRec(TypeCode type, WinObj* window, TButObj* button,
                                       WindowActivationProc activationProc) {
    auto* record = new WindowRec;
    auto request = std::make_unique<Message>(kGetWindowPositionMsg.code, &gKelvaneToolInfo);
    request->addTypeParam(type);
    request->wantsReply = 1;
    std::unique_ptr<Message> reply(gMessageCenter->sendMessage(request.release()));
    if (isUsableGetWindowReply(reply.get())) {
        record->position = decodeWindowBox(reply->getParam(2));
        record->positionId = reply->getLongParam(3);
        if (reply->getBoolParam(1)) WIN_Configure(window, &record->position);
    } else {
        // The window keeps the geometry of its resource.
        OKA_LOG("no remembered position for window type %s", TypeIdentToCStr(type));
    }
    record->windowType = type;
    record->window = window;
    record->button = button;
    record->activationProc = activationProc;
    record->next = records;
    if (records != nullptr) records->prev = record;
    records = record;
    setActiveViewer(window, 1);
    return record;
}

void WindowManager::unlink(WindowRec* record) {
    if (record->prev != nullptr) record->prev->next = record->next;
    if (record->next != nullptr) record->next->prev = record->prev;
    if (records == record) records = record->next;
    record->next = record->prev = nullptr;
}

WindowRec* WindowManager::removeWindowRec(WinObj* window) {
    WindowRec* record = getWindowRec(window);
    if (record == nullptr) return nullptr;
    unlink(record);
    if (record->windowType == kSourceWindowType && record->active) {
        sendToolManagerMsg(kDeactivateSourceMsg.code);
    }
    Rect16 box;
    WGT_GetResBox(window, &box);
    uint8_t bytes[kWindowBoxSize];
    encodeWindowBox(box, bytes);
    auto update = std::make_unique<Message>(kUpdateWindowPositionMsg.code, &gKelvaneToolInfo);
    update->addTypeParam(record->windowType);
    update->addParam(kParamData, bytes, kWindowBoxSize);
    update->addLongParam(record->positionId);
    gMessageCenter->sendMessage(update.release());
    return record;
}

WindowRec* WindowManager::getWindowRec(WinObj* window) {
    for (WindowRec* record = records; record != nullptr; record = record->next) {
        if (record->window == window) return record;
    }
    return nullptr;
}

bool WindowManager::windowTypeExists(TypeCode type) {
    return getWindowRecOfType(type) != nullptr;
}

WindowRec* WindowManager::getWindowRecOfType(TypeCode type) {
    // New records are linked at the head.
    for (WindowRec* record = records; record != nullptr; record = record->next) {
        if (record->windowType == type) return record;
    }
    return nullptr;
}

WindowRec* WindowManager::getActiveViewer(TypeCode type) {
    for (WindowRec* record = records; record != nullptr; record = record->next) {
        if (record->windowType == type && record->active) return record;
    }
    return nullptr;
}

void WindowManager::setActiveViewer(WinObj* window, unsigned char activate) {
    // Windows registered without a button never take part in activation.
    if (records == nullptr || records->button == nullptr) return;
    WindowRec* record = getWindowRec(window);
    if (record == nullptr) return;
    bool isSource = record->windowType == kSourceWindowType;
    if (!activate) {
        record->active = 0;
        if (isSource) sendToolManagerMsg(kDeactivateSourceMsg.code);
        return;
    }
    if (isSource) sendToolManagerMsg(kActivateSourceMsg.code);
    for (WindowRec* other = records; other != nullptr; other = other->next) {
        if (other->windowType != record->windowType) continue;
        other->active = other->window == window;
        if (other->activationProc)
            other->activationProc(other->window, other->button, other->active);
    }
}

void WindowManager::setAllWindowsVisibility(bool visible, bool close) {
    if (close) {
        // The record goes first, so the box is reported while the window
        // still exists; a destroy notification that removes its own record
        // then finds nothing. Taking the head each time stays safe whatever
        // the notifications remove.
        while (records != nullptr) {
            WinObj* window = records->window;
            delete removeWindowRec(window);
            WIN_TerminateGetStatus(window);
        }
        return;
    }
    for (WindowRec* record = records; record != nullptr;) {
        WindowRec* next = record->next;
        if (visible) {
            WIN_Show(record->window);
        } else {
            WIN_Minimize(record->window);
        }
        record = next;
    }
}

void WindowManager::sendToolManagerMsg(TypeCode code) {
    gMessageCenter->sendMessage(new Message(code, &gKelvaneToolInfo));
}

int32_t WindowManager::showAllWindowsMsg(Message*, Message*) {
    gWindowManager->setAllWindowsVisibility(true, false);
    return 0;
}

int32_t WindowManager::hideAllWindowsMsg(Message*, Message*) {
    gWindowManager->setAllWindowsVisibility(false, false);
    return 0;
}

int32_t WindowManager::closeAllWindowsMsg(Message*, Message*) {
    gWindowManager->setAllWindowsVisibility(false, true);
    return 0;
}

int32_t WindowManager::deactivateSourceViewerMsg(Message*, Message*) {
    WindowManager* manager = gWindowManager;
    for (WindowRec* record = manager->records; record != nullptr; record = record->next) {
        if (record->windowType != kSourceWindowType || record->active != 1) continue;
        // No message goes back, so the Tool Manager's 'DSRC' never loops.
        if (record->activationProc) record->activationProc(record->window, record->button, 0);
        record->active = 0;
        break;
    }
    return 0;
}
