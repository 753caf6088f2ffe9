// The fixture of the tests that need a whole Tool Manager in their process
// (ToolManagerHarness), with fake tools to register and its windows driven
// headless: the automation is reset around each test, the workspace window
// closed at its end, and the next alert can be scripted and looked at.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeTool.h"
#include "ToolManagerHarness.h"
#include "messaging/MessageCenter.h"
#include "toolkit/Toolkit.h"

class ToolManagerTest : public ::testing::Test {
  protected:
    ToolManagerTest();
    ~ToolManagerTest() override;

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

    // What the user saw of an alert.
    struct ShownAlert {
        std::string title;
        std::string message;
        IconObj* icon = nullptr;
        std::vector<std::string> buttons;  // labels of the visible buttons, in order
    };
    // The next alert is looked at (into `alerts`), then answered with
    // button `answer` (1..3).
    void answerNextAlert(int answer);
    // The next file picker accepts `path` typed into its name field.
    static void pickerAccepts(const std::string& path);
    // The items the last pop-up menu offered: "---" for a separator, a
    // disabled item's label after "-", a checked one's after "+".
    static std::vector<std::string> lastPopUpLabels();

    ToolManagerHarness manager;
    uint32_t& clockNow = ToolManagerHarness::clockNow;
    std::vector<ShownAlert> alerts;  // the alerts looked at, oldest first
};
