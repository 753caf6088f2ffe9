// The fixture of the project tests: a temporary HOME with captured log
// lines and an in-process Tool Manager (ProjectHarness).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "ProjectHarness.h"
#include "ScriptedTool.h"
#include "TestSupport.h"

class ProjectTest : public ::testing::Test {
protected:
    std::unique_ptr<Message> deliver(Message* message) { return harness.deliver(message); }
    int32_t registerTool(const ScriptedTool& tool) { return harness.registerTool(tool); }
    void restart() { harness.restart(); }
    // A file below the temporary HOME with `content`; its full path.
    std::string makeFile(const std::string& name, const std::string& content = "text\n") {
        std::filesystem::path path = home.path() / "src" / name;
        writeFile(path, content);
        return path.string();
    }

    TempHome home;
    LogCapture log;
    ProjectHarness harness{home.path()};
    const std::filesystem::path& installation = harness.installation;
    PrefMan*& preferences = harness.preferences;
};
