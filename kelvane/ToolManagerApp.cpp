#include "kelvane/ToolManagerApp.h"

#include <poll.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "core/Globals.h"
#include "core/Log.h"
#include "core/Platform.h"
#include "kelvane/PreferencesWindow.h"
#include "kelvane/TerminalNotice.h"
#include "kelvane/ToolIconBar.h"
#include "kelvane/WorkspaceWindow.h"
#include "messaging/MessageCenter.h"
#include "projects/GlobalPathManager.h"
#include "projects/ProjectFilePicker.h"
#include "projects/ProjectManager.h"
#include "projects/ProjectMessages.h"
#include "projects/RunCommandRequest.h"
#include "storage/PrefMan.h"
#include "toolkit/resources/ResourceLibrary.h"
#include "toolkit/widgets/Event.h"
#include "tools/CommandManager.h"
#include "tools/Environment.h"
#include "tools/RegisteredTool.h"
#include "tools/ToolLauncher.h"
#include "tools/ToolMessages.h"
#include "tools/WatchHub.h"
#include "workspace/FindInSourceView.h"
#include "workspace/GlobalWindowManager.h"
#include "workspace/HelpManager.h"
#include "workspace/WindowLayer.h"
#include "workspace/WindowManager.h"

PrefMan* gPreferencesManager = nullptr;
CursObj* gResizeHorCursor = nullptr;

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

ToolInfo* currentSourceTool() {
    return gToolRegistry->getCurrentSourceTool();
}

void projectChanged(const char* path) {
    updateWorkspaceTitle();
    gWatchHub->projectChanged(path);
}

// The port file's text, or nothing when there is no port file.
std::optional<std::string> readPortFile() {
    std::ifstream file(TCPTransport::portFilePath());
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Puts the port file back as it was before this start, so that a start
// that cannot run leaves no sign of a Tool Manager (a later start would
// wait for the tools of a crash that never happened) and does not turn
// away the tools of one that runs.
void restorePortFile(const std::optional<std::string>& text) {
    std::string path = TCPTransport::portFilePath();
    if (!text) {
        std::remove(path.c_str());
        return;
    }
    std::ofstream file(path, std::ios::trunc);
    file << *text;
}

// No port file: the next Tool Manager knows that no tools wait for it. A
// port file that names another port belongs to a Tool Manager started
// meanwhile, whose tools read it, and stays.
void removeOwnPortFile() {
    const std::string own = std::to_string(gMessageCenter->getTransport().getPort()) + "\n";
    if (readPortFile() == own) std::remove(TCPTransport::portFilePath().c_str());
}

// The preferences file was invalid (damaged, or of another type or
// version) and kept as it was; how to get at what it holds.
void tellKeptPreferences(const char* path) {
    tellTerminal(
        "the preferences file %s is invalid and was kept as it is; running without "
        "preferences. 'okadb check %s' lists its problems, 'okadb check --repair %s' "
        "writes what can be saved to %s.repaired",
        path, path, path, path);
}

// Deletes a manager and clears its global.
template <typename Manager>
void deleteGlobal(Manager*& global) {
    delete global;
    global = nullptr;
}
}  // namespace

ToolManagerApp::ToolManagerApp(const Options& startOptions) : options(startOptions) {}

ToolManagerApp::~ToolManagerApp() {
    if (globalsCreated) gWindowManager->setAllWindowsVisibility(false, true);
    deleteManagers();
}

int32_t ToolManagerApp::initializeApplication() {
    globalsCreated = true;
    // Listening rewrites the port file; an orderly end removes it.
    std::optional<std::string> portFile = readPortFile();
    previousEndedInOrder = !portFile;
    installWindowLayer();
    if (int32_t error = initializeGlobals("kelvane", options.port)) {
        if (error == kErrorNoInstallation) {
            restorePortFile(portFile);
            tellTerminal(
                "the environment variable OKA is not set: set it to the installation's "
                "root folder");
        }
        return error;
    }
    std::string library = std::string(gResourcesDirectory) + "kelvane.dat";
    if (!fileExists(library.c_str())) {
        tellTerminal("OKA=%s is not an installation: %s is missing", gOkaDirectory,
                     library.c_str());
    }
    loadResourceLibrary("kelvane", "kelvane.dat");
    fillOwnToolInfo();
    gPreferencesManager = new PrefMan(kPreferencesFileType);
    if (int32_t error = gPreferencesManager->getLastError()) return error;
    if (!gPreferencesManager->isOpen()) tellKeptPreferences(gPreferencesManager->getPath());
    gToolRegistry = new ToolRegistry(options.tickleClock);
    // The icons follow the registry first, so a new tool's icon is there
    // before its arrival sets off anything else.
    gToolIconBar = new ToolIconBar();
    gToolRegistry->addListener(gToolIconBar);
    gGlobalWindowManager = new GlobalWindowManager(gPreferencesManager);
    if (int32_t error = gGlobalWindowManager->getLastError()) return error;
    gCommandManager = new CommandManager();
    gToolRegistry->addListener(gCommandManager);
    gCommandManager->setCommandContext(&commandContext);
    gProjectManager = new ProjectManager(gPreferencesManager);
    if (int32_t error = gProjectManager->getLastError()) return error;
    gToolRegistry->addListener(gProjectManager);
    installProjectFileSource();
    // Notices go out once the others have followed the change.
    gWatchHub = new WatchHub();
    gToolRegistry->addListener(gWatchHub);
    gProjectManager->setProjectChangeHook(projectChanged);
    gGlobalPathManager = new GlobalPathManager(&gProjectManager->getProjectFile());
    if (int32_t error = gGlobalPathManager->getLastError()) return error;
    gHelpManager = new HelpManager(1, nullptr);
    readStoredHelpViewer();
    registerToolMessageHandlers();
    registerProjectMessageHandlers();
    registerRunCommandRequestHandler();
    setSourceToolLookup(currentSourceTool);
    registerFindInSourceViewHandlers();
    // The stored project is loaded here rather than by the workspace window,
    // so that a Tool Manager without a display has its project too.
    // A project that does not open was alerted by its file and shows in the title.
    (void)gProjectManager->loadProject(nullptr, false);
    gResizeHorCursor = RES_LoadInit("shared", "resizeHor");
    return 0;
}

void ToolManagerApp::startTools() {
    if (previousEndedInOrder) {
        // Each tool that cannot be started is logged; the others run.
        (void)launchTools(nullptr);
        return;
    }
    OKA_LOG("the previous Tool Manager did not end in order: its tools have %u ms to come back",
            kRestartGraceMs);
    toolLaunchPending = true;
    toolLaunchDue = TIME_GetCurMillisecs() + kRestartGraceMs;
}

void ToolManagerApp::launchMissingTools() {
    toolLaunchPending = false;
    OKA_LOG("starting the tools that did not come back");
    for (const std::string& program : toolListPrograms()) {
        bool running = false;
        for (long i = 0; i < gToolRegistry->getToolCount() && !running; ++i) {
            const RegisteredTool* tool = gToolRegistry->getRegisteredTool(i);
            running =
                tool->loaded && tool->executableName != nullptr && program == tool->executableName;
        }
        if (!running) (void)launchTools(program.c_str());  // a failure is logged
    }
}

void ToolManagerApp::runMainLoop() {
    while (!gFinished) {
        EVENT_UpdateCursor();
        EVENT_ProcessPending();
        gMessageCenter->poll(0);
        gToolRegistry->tickleAllTools();
        reapStartedPrograms();  // a tool that ended leaves no zombie behind
        // Copies go to the watchers once the messages of the turn are
        // answered, not between a request's arrival and its reply.
        if (!gMessageCenter->hasQueuedMessages()) gWatchHub->flushWatchers();
        if (toolLaunchPending && int32_t(TIME_GetCurMillisecs() - toolLaunchDue) >= 0) {
            launchMissingTools();
        }
        waitForInput();
    }
}

void ToolManagerApp::waitForInput() {
    // Queued messages are handled one a turn, so the next turn starts at once.
    if (gMessageCenter->hasQueuedMessages()) return;
    pollfd inputs[2];
    nfds_t count = 0;
    for (int descriptor :
         {gMessageCenter->getTransport().listenerDescriptor(), EVENT_GetConnectionDescriptor()}) {
        if (descriptor >= 0) inputs[count++] = pollfd{descriptor, POLLIN, 0};
    }
    int timeout = EVENT_MillisecsUntilDue(TCPTransport::kPollTimeoutMs);
    if (::poll(inputs, count, timeout) < 0 && errno != EINTR) {
        OKA_LOG("main loop: poll failed - %s", std::strerror(errno));
    }
}

void ToolManagerApp::shutDownApplication() {
    OKA_LOG("Closing all tool windows");
    gToolRegistry->broadcastMessageType(kCloseWindowsMsg.code);
    gWindowManager->setAllWindowsVisibility(false, true);
    uint32_t start = TIME_GetCurMillisecs();
    while (TIME_GetCurMillisecs() - start < kShutdownDrainMs) {
        EVENT_ProcessPending();
        gMessageCenter->poll();
        gWatchHub->flushWatchers();
    }
    OKA_LOG("Leaving Tool Manager");
    removeOwnPortFile();
    deleteManagers();
}

void ToolManagerApp::deleteManagers() {
    // The watchers go before the registry, which still tells and sends as it goes.
    if (gToolRegistry != nullptr && gWatchHub != nullptr) gToolRegistry->removeListener(gWatchHub);
    deleteGlobal(gWatchHub);
    // The registry goes first of the managers: its destructor sends 'QUIT'
    // to every loaded tool.
    deleteGlobal(gToolRegistry);
    deleteGlobal(gToolIconBar);
    deleteGlobal(gCommandManager);
    // The path manager writes the project's paths into the still open project file.
    deleteGlobal(gGlobalPathManager);
    deleteGlobal(gProjectManager);
    // Window positions are saved here, before the preferences file closes.
    deleteGlobal(gGlobalWindowManager);
    deleteGlobal(gHelpManager);
    deleteGlobal(gPreferencesManager);
    if (globalsCreated) cleanUpGlobals();
    globalsCreated = false;
}
