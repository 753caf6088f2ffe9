// The in-process Tool Manager of the project tests and benchmarks.
#include "ProjectHarness.h"

#include "ScriptedTool.h"
#include "TestSupport.h"
#include "core/Globals.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "messaging/TCPTransport.h"
#include "projects/GlobalPathManager.h"
#include "projects/ProjectManager.h"
#include "projects/ProjectMessages.h"
#include "storage/PrefMan.h"
#include "tools/ToolMessages.h"
#include "tools/ToolRegistry.h"

namespace {
// The registry never probes: its clock stands still.
uint32_t frozenClock() { return 1000; }
}  // namespace

ProjectHarness::ProjectHarness(const std::filesystem::path& home)
    : installation(home / "oka") {
    TCPTransport::forgetToolManagerPort();
    std::filesystem::create_directories(installation / "include");
    std::filesystem::create_directories(installation / "doc" / "html");
    gOkaDirectory = newStringCopy((installation.string() + "/").c_str());
    gMessageCenter = new MessageCenter(findFreePort());
    gKelvaneToolInfo.port = gMessageCenter->getOwnToolInfo().port;
    gToolRegistry = new ToolRegistry(frozenClock);
    registerToolMessageHandlers();
    registerProjectMessageHandlers();
    preferences = new PrefMan(kPreferencesFileType, kPreferencesVersion,
                              (home / "kelvane.prf").c_str(), "preferences", true);
    gProjectManager = new ProjectManager(preferences);
    gGlobalPathManager = new GlobalPathManager(gProjectManager);
}

ProjectHarness::~ProjectHarness() {
    delete gToolRegistry;
    gToolRegistry = nullptr;
    delete gGlobalPathManager;
    gGlobalPathManager = nullptr;
    delete gProjectManager;
    gProjectManager = nullptr;
    delete preferences;
    delete gMessageCenter;
    gMessageCenter = nullptr;
    delete[] gOkaDirectory;
    gOkaDirectory = nullptr;
    TCPTransport::forgetToolManagerPort();
}

void ProjectHarness::restart() {
    delete gGlobalPathManager;
    delete gProjectManager;
    gProjectManager = new ProjectManager(preferences);
    gGlobalPathManager = new GlobalPathManager(gProjectManager);
    gProjectManager->loadProject(nullptr, false);
}

std::unique_ptr<Message> ProjectHarness::deliver(Message* message) {
    message->wantsReply = 1;
    return std::unique_ptr<Message>(gMessageCenter->dispatchMessage(message));
}

int32_t ProjectHarness::registerTool(const ScriptedTool& tool) {
    auto* message = new Message(typeCode("REGT"), nullptr);
    uint8_t bytes[kToolInfoSize];
    encodeToolInfo(tool.info, bytes);
    message->addParam(kParamData, bytes, kToolInfoSize);
    message->addTextParam("/opt/oka/bin/scripted");
    message->sender = tool.info;
    return deliver(message)->getLongParam(0);
}
