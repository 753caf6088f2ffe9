#include "tools/ToolLauncher.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "core/Globals.h"
#include "core/Log.h"
#include "core/Utilities.h"

namespace {
constexpr const char* kLogSource = "../kelvane";

// The shell command for one word of the list, or empty when the word does
// not name `name` (when a name is given).
std::string commandForEntry(const std::string& word, const char* okaDirectory, const char* name) {
    char command[3 * kPathSize];
    if (word.rfind("..", 0) == 0 || word.rfind('/', 0) == 0) {
        char directory[kPathSize];
        char file[kPathSize];
        extractFilename(word.c_str(), file);
        extractPathname(word.c_str(), directory);
        if (name != nullptr && std::strcmp(name, file) != 0) return {};
        std::snprintf(command, sizeof command, "%s%c%s &", directory, '/', file);
    } else {
        if (name != nullptr && word != name) return {};
        std::snprintf(command, sizeof command, "%sbin%c%s &", okaDirectory, '/', word.c_str());
    }
    return command;
}
}  // namespace

std::vector<std::string> toolLaunchCommands(const char* listPath, const char* okaDirectory,
                                            const char* name) {
    std::vector<std::string> commands;
    std::ifstream list(listPath);
    std::string word;
    while (list >> word) {
        if (word[0] == '#') continue;
        std::string command = commandForEntry(word, okaDirectory, name);
        if (command.empty()) continue;
        commands.push_back(command);
        if (name != nullptr) break;
    }
    return commands;
}

namespace {
// The installation's tool list, or "toollist" in the current directory.
void toolListPath(char* listPath) {
    formatPath(listPath, "%stoollist", gResourcesDirectory);
    if (!fileExists(listPath)) copyText(listPath, kPathSize, "toollist");
}
}  // namespace

std::vector<std::string> toolListPrograms() {
    char listPath[kPathSize];
    toolListPath(listPath);
    std::vector<std::string> programs;
    std::ifstream list(listPath);
    std::string word;
    while (list >> word) {
        if (word[0] == '#') continue;
        char file[kPathSize];
        extractFilename(word.c_str(), file);
        programs.push_back(file);
    }
    return programs;
}

void launchTools(const char* name) {
    char listPath[kPathSize];
    toolListPath(listPath);
    for (const std::string& command : toolLaunchCommands(listPath, gOkaDirectory, name)) {
        OKA_LOG("about to launch %s", command.c_str());
        if (std::system(command.c_str()) < 0) {
            OKA_LOG("system call to launch %s failed: errno = %d", command.c_str(), errno);
        }
    }
}
