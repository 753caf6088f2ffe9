#include "workspace/WindowManager.h"

#include "core/Globals.h"
#include "messaging/MessageCenter.h"

WindowManager::WindowManager(bool isManagerProcess) : isManagerProcess(isManagerProcess) {
    registerHandlers();
}

WindowManager::~WindowManager() {
    for (TypeCode type : {typeCode("SHOW"), typeCode("HIDE"), typeCode("CWIN")}) {
        gMessageCenter->removeMessageHandler(type);
    }
    if (!isManagerProcess) gMessageCenter->removeMessageHandler(typeCode("DSRC"));
}

void WindowManager::registerHandlers() {
    MessageTemplate none;
    gMessageCenter->registerMessageHandler(typeCode("SHOW"), &none, showAllWindowsMsg);
    gMessageCenter->registerMessageHandler(typeCode("HIDE"), &none, hideAllWindowsMsg);
    gMessageCenter->registerMessageHandler(typeCode("CWIN"), &none, closeAllWindowsMsg);
    if (!isManagerProcess) {
        gMessageCenter->registerMessageHandler(typeCode("DSRC"), &none, deactivateSourceViewerMsg);
    }
}

// The program has no registered windows until the toolkit's windows exist,
// so there is nothing to show, minimize or close yet.
void WindowManager::setAllWindowsVisibility(bool /*visible*/, bool /*close*/) { lastError = 0; }

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
    return gWindowManager->getLastError();
}
