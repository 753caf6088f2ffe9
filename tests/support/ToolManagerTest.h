// The fixture of the tests that need a whole Tool Manager in their process
// (ToolManagerHarness), with fake tools to register.
#pragma once

#include <gtest/gtest.h>

#include <memory>

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

    ToolManagerHarness manager;
    uint32_t& clockNow = ToolManagerHarness::clockNow;
};
