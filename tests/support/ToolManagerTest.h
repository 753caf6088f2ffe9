// The fixture of the tests that need a whole Tool Manager in their process
// (ToolManagerHarness), with fake tools to register.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FakeTool.h"
#include "ToolManagerHarness.h"
#include "messaging/MessageCenter.h"

class ToolManagerTest : public ::testing::Test {
  protected:
    std::unique_ptr<Message> deliver(Message* message, const ToolInfo& from = ToolInfo{}) {
        return manager.deliver(message, from);
    }
    int32_t registerFrom(const FakeTool& tool, const char* path = "/opt/oka/bin/sampletool") {
        return manager.registerTool(tool.info, path);
    }
    // The tool publishes a command with 'ADDC'; the reply's error.
    int32_t publish(const FakeTool& tool, const char* name, int32_t requirement,
                    TypeCode type = kWildcardType);
    // The four 'CMDS' parameters that `tool` receives next, as
    // "name|machine|port|path"; "nothing" when none arrives.
    static std::string receivedCommand(FakeTool& tool);

    ToolManagerHarness manager;
    uint32_t& clockNow = ToolManagerHarness::clockNow;
};
