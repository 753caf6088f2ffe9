// A whole Tool Manager in the test's own process, built by ToolManagerApp
// exactly as kelvane builds it: in a temporary HOME with a throw-away
// installation, listening on a free port, without a window and without
// launching tools. The registry's liveness probes follow a clock the test
// drives. Messages are handed to it as if a tool had sent them.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "TestSupport.h"
#include "kelvane/ToolManagerApp.h"
#include "messaging/Message.h"

class ToolManagerHarness {
  public:
    ToolManagerHarness();
    ToolManagerHarness(const ToolManagerHarness&) = delete;
    ToolManagerHarness& operator=(const ToolManagerHarness&) = delete;
    ~ToolManagerHarness();

    // Starts a Tool Manager (the constructor starts the first).
    void start();
    // Ends it; its managers save what they keep.
    void stop();
    // Ends this Tool Manager and starts a new one in the same HOME and
    // installation, as a restart of kelvane does.
    void restart();

    // Hands `message` to the Tool Manager as if `from` had sent it; the reply.
    std::unique_ptr<Message> deliver(Message* message, const ToolInfo& from = ToolInfo{});
    // 'REGT' from `tool` with program path `path`; the reply's error.
    int32_t registerTool(const ToolInfo& tool, const char* path = "/opt/oka/bin/sampletool");

    // The Tool Manager's log so far.
    std::string log() const;
    bool logContains(const std::string& fragment) const;

    static uint32_t clockNow;  // the registry's clock, driven by the tests
    static uint32_t testClock() { return clockNow; }

    TempHome home;                        // log, port file, preferences and projects live here
    std::filesystem::path installation;   // OKA: resource libraries, include/, doc/html/
    std::unique_ptr<ToolManagerApp> app;  // the running Tool Manager, or null once stopped

  private:
    std::filesystem::path previousDirectory;  // restored at the end
};
