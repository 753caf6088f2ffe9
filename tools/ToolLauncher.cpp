#include "tools/ToolLauncher.h"

#include <cstring>
#include <fstream>

#include "core/Globals.h"
#include "core/Log.h"
#include "core/Platform.h"
#include "core/Utilities.h"

namespace {
constexpr const char* kLogSource = "../kelvane";

// The program one word of the list names, or empty when the word does not
// name `name` (when a name is given).
std::string programForEntry(const std::string& word, const char* okaDirectory, const char* name) {
    if (word.rfind("..", 0) == 0 || word.rfind('/', 0) == 0) {
        char file[kPathSize];
        extractFilename(word.c_str(), file, sizeof file);
        if (name != nullptr && std::strcmp(name, file) != 0) return {};
        return word;
    }
    if (name != nullptr && word != name) return {};
    return std::string(okaDirectory) + "bin/" + word;
}
}  // namespace

std::vector<std::string> toolLaunchPrograms(const char* listPath, const char* okaDirectory,
                                            const char* name) {
    std::vector<std::string> programs;
    std::ifstream list(listPath);
    std::string word;
    while (list >> word) {
        if (word[0] == '#') continue;
        std::string program = programForEntry(word, okaDirectory, name);
        if (program.empty()) continue;
        programs.push_back(program);
        if (name != nullptr) break;
    }
    return programs;
}

namespace {
// The installation's tool list, or "toollist" in the current directory.
std::string toolListPath() {
    std::string installed = std::string(gResourcesDirectory) + "toollist";
    return fileExists(installed.c_str()) ? installed : "toollist";
}
}  // namespace

std::vector<std::string> toolListPrograms() {
    std::string listPath = toolListPath();
    std::vector<std::string> programs;
    std::ifstream list(listPath);
    std::string word;
    while (list >> word) {
        if (word[0] == '#') continue;
        char file[kPathSize];
        extractFilename(word.c_str(), file, sizeof file);
        programs.push_back(file);
    }
    return programs;
}

Status launchTools(const char* name) {
    std::string listPath = toolListPath();
    Status outcome;
    for (const std::string& program : toolLaunchPrograms(listPath.c_str(), gOkaDirectory, name)) {
        OKA_LOG("about to launch %s", program.c_str());
        Status started = startDetached({program});
        if (!started.ok()) {
            OKA_LOG("could not launch %s: %s", program.c_str(), std::strerror(started.code()));
            outcome = started;
        }
    }
    return outcome;
}
