#include "ToolManagerHarness.h"

#include <cstdio>
#include <cstdlib>

#include "ChildProcess.h"
#include "core/Globals.h"
#include "messaging/MessageCenter.h"
#include "messaging/TCPTransport.h"

uint32_t ToolManagerHarness::clockNow = 0;

ToolManagerHarness::ToolManagerHarness()
    : installation(makeInstallation(home.path())),
      previousDirectory(std::filesystem::current_path()) {
    setenv("OKA", installation.c_str(), 1);
    // Without a stored project the Tool Manager opens "untitled.prj" in its
    // current directory: keep it in the temporary HOME.
    std::filesystem::current_path(home.path());
    start();
}

ToolManagerHarness::~ToolManagerHarness() {
    app.reset();
    TCPTransport::forgetToolManagerPort();
    std::filesystem::current_path(previousDirectory);
    unsetenv("OKA");
}

void ToolManagerHarness::start() {
    TCPTransport::forgetToolManagerPort();
    clockNow = 1000;
    gFinished = 0;  // a test that quit leaves it set
    ToolManagerApp::Options options;
    options.port = findFreePort();
    options.tickleClock = testClock;
    app = std::make_unique<ToolManagerApp>(options);
    // Nothing can be tested without it: end the test program loudly.
    if (int32_t error = app->initializeApplication()) {
        std::fprintf(stderr, "the in-process Tool Manager did not start: error %d\n", int(error));
        std::abort();
    }
}

void ToolManagerHarness::stop() {
    app.reset();
}

void ToolManagerHarness::restart() {
    stop();
    start();
}

std::unique_ptr<Message> ToolManagerHarness::deliver(Message* message, const ToolInfo& from) {
    message->sender = from;
    message->wantsReply = 1;
    std::unique_ptr<Message> reply(gMessageCenter->dispatchMessage(message));
    gMessageCenter->runWorkAfterReply();
    return reply;
}

int32_t ToolManagerHarness::registerTool(const ToolInfo& tool, const char* path) {
    return deliver(newRegistration(tool, path), tool)->getLongParam(0);
}

std::string ToolManagerHarness::log() const {
    return readFile(home.okaDirectory() / "okalog");
}

bool ToolManagerHarness::logContains(const std::string& fragment) const {
    return log().find(fragment) != std::string::npos;
}
