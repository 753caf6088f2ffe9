#include "ChildProcess.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "TestSupport.h"

std::filesystem::path builtProgram(const std::string& name) {
    const char* build = std::getenv("OKA_BUILD_DIR");
    return std::filesystem::path(build ? build : OKA_BINARY_DIR) / "bin" / name;
}

std::filesystem::path sourceFile(const std::string& relative) {
    const char* source = std::getenv("OKA_SOURCE_DIR");
    return std::filesystem::path(source ? source : OKA_SOURCE_ROOT) / relative;
}

CommandRun runCommand(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {-1, ""};
    std::string output;
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, count);
    int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

ChildProcess::ChildProcess(const std::filesystem::path& program,
                           const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment,
                           const std::filesystem::path& workingDirectory) {
    child = fork();
    if (child != 0) return;
    for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
    if (!workingDirectory.empty() && chdir(workingDirectory.c_str()) != 0) _exit(126);
    std::string programText = program.string();
    std::vector<char*> argv = {programText.data()};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(programText.c_str(), argv.data());
    _exit(127);
}

ChildProcess::~ChildProcess() {
    if (!reaped && child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
}

void ChildProcess::signal(int number) const {
    if (!reaped) kill(child, number);
}

int ChildProcess::waitForExit(int timeoutMs) {
    if (reaped) return exitStatus;
    int status = 0;
    auto exited = [&] { return waitpid(child, &status, WNOHANG) == child; };
    if (!pollUntil(exited, timeoutMs)) return -1000;
    reaped = true;
    exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    return exitStatus;
}

bool waitForFile(const std::filesystem::path& path, int timeoutMs) {
    std::error_code error;
    return pollUntil(
        [&] {
            auto size = std::filesystem::file_size(path, error);
            return !error && size > 0;
        },
        timeoutMs);
}

std::filesystem::path makeInstallation(const std::filesystem::path& directory) {
    std::filesystem::path root = directory / "oka";
    std::filesystem::path resources = root / "bin" / "resource";
    std::filesystem::create_directories(resources);
    std::error_code error;
    std::filesystem::copy(sourceFile("resources/resource"), resources,
                          std::filesystem::copy_options::recursive, error);
    writeFile(resources / "toollist", "");
    std::filesystem::create_directories(root / "include");
    std::filesystem::create_directories(root / "doc" / "html");
    return root;
}
