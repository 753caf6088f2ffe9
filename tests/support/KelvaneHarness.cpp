#include "KelvaneHarness.h"

#include <unistd.h>

#include <csignal>
#include <map>

#include "core/Utilities.h"
#include "toolkit/base/SystemServices.h"

KelvaneHarness::KelvaneHarness()
    : temporaryHome(std::make_unique<TempHome>()),
      home(temporaryHome->path()),
      root(makeInstallation(home.path())) {
    TCPTransport::forgetToolManagerPort();
}

KelvaneHarness::KelvaneHarness(const std::filesystem::path& givenHome,
                               const std::filesystem::path& installation)
    : home(givenHome), root(installation) {
    std::filesystem::create_directories(givenHome);
    TCPTransport::forgetToolManagerPort();
}

KelvaneHarness::~KelvaneHarness() {
    if (kelvane) stop();
    TCPTransport::forgetToolManagerPort();
}

void KelvaneHarness::installSampleTools() {
    std::filesystem::path scripts = std::filesystem::path(OKA_SOURCE_ROOT) / "resources" / "bin";
    for (const char* script : {"okasampleviewer", "okasamplerunner"})
        std::filesystem::copy_file(scripts / script, root / "bin" / script);
    std::filesystem::copy_file(builtProgram("okasample"), root / "bin" / "okasample");
    writeFile(root / "bin" / "resource" / "toollist", "okasampleviewer okasamplerunner\n");
}

std::vector<ToolListing> KelvaneHarness::listTools() {
    std::vector<ToolListing> tools;
    auto reply = ask(newRequest("TLST"));
    for (int i = 1; reply && i < reply->paramCount; ++i) {
        ToolListing listing;
        if (decodeToolListing(reply->getParam(i), reply->getParamLength(i), listing))
            tools.push_back(listing);
    }
    return tools;
}

bool KelvaneHarness::sampleToolsReady() {
    std::map<std::string, size_t> commands;
    for (const ToolListing& tool : listTools())
        if (tool.loaded) commands[TypeIdentToCStr(tool.info.toolType)] = tool.commands.size();
    return commands == std::map<std::string, size_t>{{"SRUN", 3}, {"SVWR", 2}};
}

std::vector<std::string> KelvaneHarness::environment() const {
    return {"HOME=" + home.path().string(), "OKA=" + root.string()};
}

bool KelvaneHarness::start(const std::vector<std::string>& extraEnvironment) {
    launch(extraEnvironment);
    return waitUntilListening(5000);
}

void KelvaneHarness::launch(const std::vector<std::string>& extraEnvironment) {
    std::filesystem::remove(home.okaDirectory() / "okaport");
    startProcess(extraEnvironment);
}

void KelvaneHarness::startProcess(const std::vector<std::string>& extraEnvironment) {
    std::vector<std::string> variables = environment();
    variables.insert(variables.end(), extraEnvironment.begin(), extraEnvironment.end());
    kelvane = std::make_unique<ChildProcess>(
        builtProgram("kelvane"),
        headless ? std::vector<std::string>{"--headless"} : std::vector<std::string>{}, variables,
        home.path());
}

void KelvaneHarness::kill() {
    kelvane->signal(SIGKILL);
    stop();  // its SIGTERM finds the process already gone
}

bool KelvaneHarness::restartAfterCrash() {
    std::filesystem::path portFile = home.okaDirectory() / "okaport";
    std::error_code ignored;
    auto before = std::filesystem::last_write_time(portFile, ignored);
    startProcess({});
    return waitUntil([&] { return std::filesystem::last_write_time(portFile, ignored) != before; },
                     5000) &&
           waitUntilListening(5000);
}

bool KelvaneHarness::waitUntilListening(int timeoutMs) {
    if (!waitForFile(home.okaDirectory() / "okaport", timeoutMs)) return false;
    port = std::stoi(readFile(home.okaDirectory() / "okaport"));
    // The tool side reads the port file afresh, as a newly started tool does.
    TCPTransport::forgetToolManagerPort();
    tool = std::make_unique<MessageCenter>();
    return true;
}

int KelvaneHarness::stop() {
    kelvane->signal(SIGTERM);
    int status = kelvane->waitForExit(10000);
    kelvane.reset();
    tool.reset();
    return status;
}

std::unique_ptr<Message> KelvaneHarness::ask(Message* message, uint32_t timeoutMs) {
    message->destination.port = port;
    message->wantsReply = 1;
    message->replyTimeout = timeoutMs;
    return std::unique_ptr<Message>(tool->sendMessage(message));
}

bool KelvaneHarness::isRegistered(TypeCode type) {
    auto reply = ask(newRequest("LOOK", type));
    return reply && reply->paramCount == 3 && reply->getBoolParam(1);
}

bool KelvaneHarness::waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    uint32_t deadline = TIME_GetCurMillisecs() + uint32_t(timeoutMs);
    while (int32_t(deadline - TIME_GetCurMillisecs()) > 0) {
        if (condition()) return true;
        if (tool)
            tool->poll();  // answers kelvane meanwhile; waits up to 50 ms
        else
            usleep(50000);
    }
    return condition();
}
