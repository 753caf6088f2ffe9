#include "core/Platform.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "core/Log.h"

namespace {
constexpr const char* kLogSource = "../platform";

void logBell() {
    OKA_LOG("beep");
}

BellProc bellProc = logBell;  // the display's bell, once one is installed
}  // namespace

uint32_t currentMilliseconds() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

NodeType nodeTypeOf(const char* path) {
    struct stat info;
    if (path == nullptr || stat(path, &info) != 0) return kNodeNone;
    if (S_ISREG(info.st_mode)) return kNodeFile;
    if (S_ISDIR(info.st_mode)) return kNodeDirectory;
    return kNodeOther;
}

bool isReadablePath(const char* path) {
    return path != nullptr && access(path, R_OK) == 0;
}

bool createDirectory(const char* path, unsigned int permissions) {
    return path != nullptr && mkdir(path, mode_t(permissions)) == 0;
}

int forEachDirectoryEntry(const char* directory, DirectoryEntryProc procedure, void* data) {
    if (directory == nullptr || procedure == nullptr) return 0;
    DIR* handle = opendir(directory);
    if (handle == nullptr) return 0;
    std::vector<std::string> names;
    while (dirent* entry = readdir(handle)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strncmp(name, "..", 2) == 0) continue;
        names.emplace_back(name);
    }
    closedir(handle);
    std::sort(names.begin(), names.end());
    int result = 1;
    for (const std::string& name : names) result = procedure(directory, name.c_str(), data);
    return result;
}

bool currentDirectory(char* buffer, int size) {
    if (buffer == nullptr || size < 2 || getcwd(buffer, size_t(size) - 1) == nullptr) return false;
    size_t length = std::strlen(buffer);
    if (length == 0 || buffer[length - 1] != '/') {
        buffer[length] = '/';
        buffer[length + 1] = '\0';
    }
    return true;
}

void setBellProc(BellProc bell) {
    bellProc = bell != nullptr ? bell : logBell;
}

void ringBell() {
    bellProc();
}
