// Runs a program of the build as a child process for end-to-end tests, and
// a throw-away installation root for it.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

// The build's program `name` (build/bin/name), found through OKA_BUILD_DIR.
std::filesystem::path builtProgram(const std::string& name);
// The file `relative` of the source tree, found through OKA_SOURCE_DIR.
std::filesystem::path sourceFile(const std::string& relative);

// What a command run through the shell printed, and its exit status (-1
// when a signal ended it).
struct CommandRun {
    int status;
    std::string output;  // standard output; add 2>&1 to the command for errors too
};
CommandRun runCommand(const std::string& command);

class ChildProcess {
  public:
    // Starts `program` with `arguments`; `environment` entries NAME=VALUE are
    // added to (or replace) the test's own environment. The child runs in
    // `workingDirectory` when one is given (files it makes there stay out of
    // the build tree).
    ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment,
                 const std::filesystem::path& workingDirectory = {});
    ~ChildProcess();  // kills the child if it still runs

    pid_t pid() const { return child; }
    void signal(int number) const;
    // Waits up to `timeoutMs`; the exit status (minus the signal number when
    // killed by one), or -1000 if still running. Later calls repeat it.
    int waitForExit(int timeoutMs);

  private:
    pid_t child = -1;     // the child's process id
    bool reaped = false;  // it has exited and been waited for
    int exitStatus = 0;   // its status once reaped
};

// Polls until `path` exists and is not empty, up to `timeoutMs`.
bool waitForFile(const std::filesystem::path& path, int timeoutMs);

// Makes an installation root below `directory` (bin/resource with the
// bundled resource libraries and an empty tool list, include, doc/html).
std::filesystem::path makeInstallation(const std::filesystem::path& directory);
