// An in-process Tool Manager for the project tests: a message center on a
// free port in a temporary HOME and installation, the tool registry, the
// preferences, the project manager and the path manager with their
// handlers; and scripted tools, child processes that answer 'IDFL' as told.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "messaging/Message.h"

class PrefMan;

// How a scripted tool answers 'IDFL' for the paths ending in `suffix`.
struct IdentifyRule {
    enum Kind { recognise, refuse, error, silent };
    std::string suffix;
    Kind kind = recognise;
    std::string typeName;   // recognise: parameter 2
    TypeCode type = 0;      // recognise: parameter 3
    std::string description;  // recognise: parameter 4, left out when empty
};

// A tool in a child process: it listens on its own port and answers 'IDFL'
// by the first rule whose suffix ends the path (refusing when none does);
// every path it was asked about and every 'FADD' it got are appended to a
// journal file, one line each ("IDFL path", "FADD path TYPE").
class ScriptedTool {
public:
    ScriptedTool(const std::filesystem::path& journal, const char* name, TypeCode type,
                 std::vector<IdentifyRule> rules);
    ~ScriptedTool();
    std::vector<std::string> journal() const;
    // Waits until the journal holds `line`, up to two seconds.
    bool waitForLine(const std::string& line) const;

    ToolInfo info;

private:
    std::filesystem::path journalPath;
    pid_t child = -1;
};

class ProjectTest : public ::testing::Test {
protected:
    ProjectTest();
    ~ProjectTest() override;

    // Hands `message` to the Tool Manager as if a tool had sent it; the reply.
    std::unique_ptr<Message> deliver(Message* message);
    int32_t registerTool(const ScriptedTool& tool);
    // A file below the temporary HOME with `content`; its full path.
    std::string makeFile(const std::string& name, const std::string& content = "text\n");
    // Destroys and recreates the project and path managers, as a restart does.
    void restart();

    TempHome home;
    LogCapture log;
    std::filesystem::path installation;
    PrefMan* preferences = nullptr;
};
