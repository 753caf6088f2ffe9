// The fixture of the project tests: an in-process Tool Manager
// (ToolManagerHarness) and files to put into its project.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "ScriptedTool.h"
#include "ToolManagerHarness.h"

class ProjectTest : public ::testing::Test {
  protected:
    std::unique_ptr<Message> deliver(Message* message) { return manager.deliver(message); }
    int32_t registerTool(const ScriptedTool& tool) {
        return manager.registerTool(tool.info, "/opt/oka/bin/scripted");
    }
    void restart() { manager.restart(); }
    // A file below the temporary HOME with `content`; its full path.
    std::string makeFile(const std::string& name, const std::string& content = "text\n") {
        std::filesystem::path path = home.path() / "src" / name;
        writeFile(path, content);
        return path.string();
    }

    ToolManagerHarness manager;
    const TempHome& home = manager.home;
    const std::filesystem::path& installation = manager.installation;
};
