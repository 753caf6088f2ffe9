// An in-process Tool Manager for the tests of the tool registry, the
// commands and the window bookkeeping: a message center on a free port in a
// temporary HOME, the registry on a clock the test drives, the command
// manager, and fake tools that listen on their own ports and collect what
// the Tool Manager sends them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "TestSupport.h"
#include "messaging/MessageCenter.h"
#include "messaging/TCPTransport.h"

// A tool process as the Tool Manager sees it: a ToolInfo and a listening port.
class FakeTool {
public:
    FakeTool(const char* name, TypeCode type, bool isSourceViewer = false);

    // The next message sent to the tool, or null after `timeoutMs`.
    std::unique_ptr<Message> receive(int timeoutMs = 2000);
    // The types of every message that arrives until `quietMs` pass without one.
    std::vector<TypeCode> drainTypes(int quietMs = 300);
    // Stops listening, as a tool that died.
    void die() { transport.reset(); }

    ToolInfo info;

private:
    std::unique_ptr<TCPTransport> transport;
};

class ToolManagerTest : public ::testing::Test {
protected:
    ToolManagerTest();
    ~ToolManagerTest() override;

    // Hands `message` to the Tool Manager as if `from` had sent it; the reply.
    std::unique_ptr<Message> deliver(Message* message, const ToolInfo& from);
    // 'REGT' from `tool` with program path `path`; the reply's error.
    int32_t registerFrom(const FakeTool& tool, const char* path = "/opt/oka/bin/sampletool");

    static uint32_t clockNow;  // the registry's clock, driven by the tests
    static uint32_t testClock() { return clockNow; }

    TempHome home;
    LogCapture log;
};
