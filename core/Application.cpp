#include "core/Application.h"

#include "core/Globals.h"
#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "projects/GlobalPathManager.h"
#include "projects/ProjectManager.h"
#include "projects/ProjectMessages.h"
#include "storage/PrefMan.h"
#include "toolkit/Event.h"
#include "toolkit/ResourceLibrary.h"
#include "toolkit/SystemServices.h"
#include "tools/CommandManager.h"
#include "tools/ToolMessages.h"
#include "tools/ToolRegistry.h"
#include "workspace/GlobalWindowManager.h"
#include "workspace/WindowManager.h"

PrefMan* gPreferencesManager = nullptr;
CursObj* gResizeHorCursor = nullptr;
char gHelpViewerName[kPathSize] = "";

namespace {
constexpr const char* kLogSource = "../kelvane";
constexpr TypeCode kHelpViewerRecord = typeCode("HTPT");

// Describes the Tool Manager to every tool: the sender of all it sends.
void fillOwnToolInfo() {
    ToolInfo& own = gMessageCenter->getOwnToolInfo();
    own.toolType = typeCode("TOOL");
    own.isSourceViewer = 0;
    copyText(own.name, sizeof own.name, "Tool Manager");
    copyText(own.company, sizeof own.company, "Perivale, Inc.");
}

// The help viewer program chosen in the preferences, when one was stored.
void readHelpViewerName() {
    char name[kPathSize] = "";
    long length =
        gPreferencesManager->readNthPreference(kHelpViewerRecord, 1, name, sizeof name - 1);
    if (gPreferencesManager->getLastError() == 0 && length > 0) {
        copyText(gHelpViewerName, kPathSize, name);
    }
}
}  // namespace

bool initializeApplication() {
    initializeGlobals("kelvane", kToolManagerPort);
    loadResourceLibrary("kelvane", "kelvane.dat");
    fillOwnToolInfo();
    gPreferencesManager = new PrefMan(kPreferencesFileType);
    if (gPreferencesManager->getLastError() != 0) return false;
    gToolRegistry = new ToolRegistry();
    if (gToolRegistry->getLastError() != 0) return false;
    gGlobalWindowManager = new GlobalWindowManager(gPreferencesManager);
    if (gGlobalWindowManager->getLastError() != 0) return false;
    gCommandManager = new CommandManager();
    if (gCommandManager->getLastError() != 0) return false;
    gProjectManager = new ProjectManager(gPreferencesManager);
    if (gProjectManager->getLastError() != 0) return false;
    gGlobalPathManager = new GlobalPathManager(gProjectManager);
    if (gGlobalPathManager->getLastError() != 0) return false;
    readHelpViewerName();
    registerToolMessageHandlers();
    registerProjectMessageHandlers();
    // The stored project is loaded here rather than by the workspace window,
    // so that a Tool Manager without a display has its project too.
    gProjectManager->loadProject(nullptr, false);
    gResizeHorCursor = RES_LoadInit("shared", "resizeHor");
    return true;
}

void runMainLoop() {
    while (!gFinished) {
        EVENT_UpdateCursor();
        EVENT_ProcessPending();
        gMessageCenter->poll();
        gToolRegistry->tickleAllTools();
    }
}

void shutDownApplication() {
    OKA_LOG("Closing all tool windows");
    gToolRegistry->broadcastMessageType(typeCode("CWIN"));
    gWindowManager->setAllWindowsVisibility(false, true);
    uint32_t start = TIME_GetCurMillisecs();
    while (TIME_GetCurMillisecs() - start < kShutdownDrainMs) {
        EVENT_ProcessPending();
        gMessageCenter->poll();
    }
    OKA_LOG("Leaving Tool Manager");
    // The registry goes first: its destructor sends 'QUIT' to every loaded tool.
    delete gToolRegistry;
    gToolRegistry = nullptr;
    delete gCommandManager;
    gCommandManager = nullptr;
    // The path manager writes the project's paths into the still open project file.
    delete gGlobalPathManager;
    gGlobalPathManager = nullptr;
    delete gProjectManager;
    gProjectManager = nullptr;
    // Window positions are saved here, before the preferences file closes.
    delete gGlobalWindowManager;
    gGlobalWindowManager = nullptr;
    delete gPreferencesManager;
    gPreferencesManager = nullptr;
    cleanUpGlobals();
}
