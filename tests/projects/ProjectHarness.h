// An in-process Tool Manager for the project tests and benchmarks: a message
// center on a free port, an installation below `home`, the tool registry,
// the preferences, the project manager and the path manager with their
// handlers. Scripted tools (ScriptedTool.h) answer its 'IDFL' requests.
#pragma once

#include <filesystem>
#include <memory>

#include "messaging/Message.h"

class PrefMan;
class ScriptedTool;

class ProjectHarness {
public:
    explicit ProjectHarness(const std::filesystem::path& home);
    ProjectHarness(const ProjectHarness&) = delete;
    ProjectHarness& operator=(const ProjectHarness&) = delete;
    ~ProjectHarness();

    // Hands `message` to the Tool Manager as if a tool had sent it; the reply.
    std::unique_ptr<Message> deliver(Message* message);
    // 'REGT' from `tool`; the reply's error.
    int32_t registerTool(const ScriptedTool& tool);
    // Destroys and recreates the project and path managers and loads the
    // stored project, as a restart does.
    void restart();

    std::filesystem::path installation;  // root with include/ and doc/html/
    PrefMan* preferences = nullptr;      // the Tool Manager's preferences
};
