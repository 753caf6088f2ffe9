// GlobalPathManager: resolution order, the 'PATH' records and the handlers.
#include "projects/GlobalPathManager.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/Globals.h"
#include "core/Log.h"
#include "messaging/MessageCenter.h"
#include "projects/ProjectRecords.h"
#include "projects/TextParams.h"
#include "storage/PrefMan.h"

GlobalPathManager* gGlobalPathManager = nullptr;

namespace {
constexpr const char* kLogSource = "../pathmgr";

// "directory[/]partial" into `out` when it fits; false for a longer path.
bool joinPath(char* out, const char* directory, const char* separator, const char* partial) {
    int length = std::snprintf(out, kPathSize, "%s%s%s", directory, separator, partial);
    return length >= 0 && length < int(kPathSize);
}

// The candidate when it fits and names an existing file.
std::optional<std::string> tryCandidate(const char* directory, const char* separator,
                                        const char* partial) {
    char candidate[kPathSize];
    if (!joinPath(candidate, directory, separator, partial) || !fileExists(candidate))
        return std::nullopt;
    return candidate;
}
}  // namespace

GlobalPathManager::GlobalPathManager(PrefMan* file)
    : projectFile(file), paths(kDefaultChunkSize, true, false) {
    formatPath(includeDirectory, sizeof includeDirectory, "%sinclude%c", gOkaDirectory, '/');
    formatPath(htmlDirectory, sizeof htmlDirectory, "%sdoc%chtml%c", gOkaDirectory, '/', '/');
    (void)readPathsFromDisk();  // the outcome stays in the last error
    gMessageCenter->registerMessageHandler(kResolvePathMsg, resolvePathMsg);
}

GlobalPathManager::~GlobalPathManager() {
    if (Status written = writePathsToDisk(); !written.ok())
        OKA_LOG("project paths not saved (%d)", int(written.code()));
    gMessageCenter->removeMessageHandler(kResolvePathMsg.code);
}

std::optional<std::string> GlobalPathManager::resolvePathname(const char* partial) const {
    if (partial == nullptr || partial[0] == '\0') return std::nullopt;
    if (partial[0] == '/') {
        if (auto found = tryCandidate("", "", partial)) return found;
    }
    if (auto found = tryCandidate(includeDirectory, "", partial)) return found;
    if (auto found = tryCandidate(htmlDirectory, "", partial)) return found;
    for (long i = 0; i < paths.getCount(); ++i) {
        const char* directory = static_cast<StringItem*>(paths.get(i))->getString();
        size_t length = std::strlen(directory);
        const char* separator = length > 0 && directory[length - 1] == '/' ? "" : "/";
        if (auto found = tryCandidate(directory, separator, partial)) return found;
    }
    return std::nullopt;
}

void GlobalPathManager::addUniquePath(const char* path) {
    auto* item = new StringItem(path);
    Item* replaced = paths.replace(item);
    delete replaced;
    if (pathnamesWindow != nullptr) setFieldFromPaths(pathnamesWindow);
}

Status GlobalPathManager::readPathsFromDisk() {
    return remember(readPaths());
}

Status GlobalPathManager::readPaths() {
    if (projectFile == nullptr || !projectFile->isOpen()) return kSuccess;
    Result<std::vector<std::string>> records = projectFile->readPreferencesOfType(kPathRecord);
    if (!records.ok()) return records.status();
    for (const std::string& record : records.value()) {
        char path[kPathSize];
        copyText(path, sizeof path, record.data(), record.size());
        paths.include(new StringItem(path));
    }
    return kSuccess;
}

Status GlobalPathManager::writePathsToDisk() {
    if (projectFile == nullptr || !projectFile->isOpen()) return remember(kSuccess);
    std::vector<PreferenceRecord> records;
    for (long i = 0; i < paths.getCount(); ++i) {
        const char* path = static_cast<StringItem*>(paths.get(i))->getString();
        records.push_back({path, long(std::strlen(path)) + 1});
    }
    return remember(
        projectFile->replacePreferencesOfType(kPathRecord, records.data(), long(records.size())));
}

Status GlobalPathManager::loadProjectPaths() {
    paths.removeAll();
    Status status = readPaths();
    if (pathnamesWindow != nullptr) setFieldFromPaths(pathnamesWindow);
    return remember(status);
}

int32_t GlobalPathManager::resolvePathMsg(Message* message, Message* reply) {
    char partial[kPathSize];
    bool fits = readTextParam(message, 0, partial, sizeof partial);
    OKA_LOG("Asked to resolve partial path: %s", partial);
    std::optional<std::string> fullPath;
    if (fits) fullPath = gGlobalPathManager->resolvePathname(partial);
    if (fullPath) {
        OKA_LOG("Successfully resolved as: %s", fullPath->c_str());
    } else {
        OKA_LOG("unable to resolve path");
    }
    reply->addBoolParam(fullPath.has_value());
    reply->addTextParam(fullPath ? fullPath->c_str() : "");
    return 0;
}

int32_t GlobalPathManager::addGlobalPathsMsg(Message* message, Message*) {
    int32_t result = 0;
    for (int index = 0; index < message->paramCount; ++index) {
        char path[kPathSize];
        if (!readTextParam(message, index, path, sizeof path)) {
            result = kErrorTextTooLong;
            continue;
        }
        if (path[0] != '\0') gGlobalPathManager->addUniquePath(path);
    }
    return result;
}
