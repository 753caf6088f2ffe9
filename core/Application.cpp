#include "core/Application.h"

#include "core/Globals.h"
#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "toolkit/SystemServices.h"
#include "workspace/WindowManager.h"

namespace {
constexpr const char* kLogSource = "../kelvane";

// Describes the Tool Manager to every tool: the sender of all it sends.
void fillOwnToolInfo() {
    ToolInfo& own = gMessageCenter->getOwnToolInfo();
    own.toolType = typeCode("TOOL");
    own.isSourceViewer = 0;
    copyText(own.name, sizeof own.name, "Tool Manager");
    copyText(own.company, sizeof own.company, "Perivale, Inc.");
}
}  // namespace

bool initializeApplication() {
    initializeGlobals("kelvane", kToolManagerPort);
    fillOwnToolInfo();
    return true;
}

void runMainLoop() {
    while (!gFinished) {
        gMessageCenter->poll();
    }
}

void shutDownApplication() {
    OKA_LOG("Closing all tool windows");
    gWindowManager->setAllWindowsVisibility(false, true);
    uint32_t start = TIME_GetCurMillisecs();
    while (TIME_GetCurMillisecs() - start < kShutdownDrainMs) gMessageCenter->poll();
    OKA_LOG("Leaving Tool Manager");
    cleanUpGlobals();
}
