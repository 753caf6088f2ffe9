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

// True when the candidate fits and names an existing file; fills `fullPath`.
bool tryCandidate(char* fullPath, const char* directory, const char* separator,
                  const char* partial) {
    char candidate[kPathSize];
    if (!joinPath(candidate, directory, separator, partial) || !fileExists(candidate)) return false;
    copyText(fullPath, kPathSize, candidate);
    return true;
}
}  // namespace

GlobalPathManager::GlobalPathManager(PrefMan* file)
    : projectFile(file), paths(kDefaultChunkSize, true, false) {
    formatPath(includeDirectory, sizeof includeDirectory, "%sinclude%c", gOkaDirectory, '/');
    formatPath(htmlDirectory, sizeof htmlDirectory, "%sdoc%chtml%c", gOkaDirectory, '/', '/');
    readPathsFromDisk();
    gMessageCenter->registerMessageHandler(kResolvePathMsg, resolvePathMsg);
}

GlobalPathManager::~GlobalPathManager() {
    writePathsToDisk();
    gMessageCenter->removeMessageHandler(kResolvePathMsg.code);
}

bool GlobalPathManager::resolvePathname(const char* partial, char* fullPath) {
    lastError = 0;
    fullPath[0] = '\0';
    if (partial == nullptr || partial[0] == '\0') return false;
    if (partial[0] == '/' && tryCandidate(fullPath, "", "", partial)) return true;
    if (tryCandidate(fullPath, includeDirectory, "", partial)) return true;
    if (tryCandidate(fullPath, htmlDirectory, "", partial)) return true;
    for (long i = 0; i < paths.getCount(); ++i) {
        const char* directory = static_cast<StringItem*>(paths.get(i))->getString();
        size_t length = std::strlen(directory);
        const char* separator = length > 0 && directory[length - 1] == '/' ? "" : "/";
        if (tryCandidate(fullPath, directory, separator, partial)) return true;
    }
    return false;
}

void GlobalPathManager::addUniquePath(const char* path) {
    auto* item = new StringItem(path);
    Item* replaced = paths.replace(item);
    delete replaced;
    if (pathnamesWindow != nullptr) setFieldFromPaths(pathnamesWindow);
}

void GlobalPathManager::readPathsFromDisk() {
    if (projectFile == nullptr || !projectFile->isOpen()) return;
    std::vector<std::string> records;
    projectFile->readPreferencesOfType(kPathRecord, records);
    for (const std::string& record : records) {
        char path[kPathSize];
        copyText(path, sizeof path, record.data(), record.size());
        paths.include(new StringItem(path));
    }
}

void GlobalPathManager::writePathsToDisk() {
    if (projectFile == nullptr || !projectFile->isOpen()) return;
    std::vector<PreferenceRecord> records;
    for (long i = 0; i < paths.getCount(); ++i) {
        const char* path = static_cast<StringItem*>(paths.get(i))->getString();
        records.push_back({path, long(std::strlen(path)) + 1});
    }
    projectFile->replacePreferencesOfType(kPathRecord, records.data(), long(records.size()));
}

void GlobalPathManager::loadProjectPaths() {
    paths.removeAll();
    readPathsFromDisk();
    if (pathnamesWindow != nullptr) setFieldFromPaths(pathnamesWindow);
}

int32_t GlobalPathManager::resolvePathMsg(Message* message, Message* reply) {
    char partial[kPathSize];
    bool fits = readPathParam(message, 0, partial);
    OKA_LOG("Asked to resolve partial path: %s", partial);
    char fullPath[kPathSize] = "";
    bool resolved = fits && gGlobalPathManager->resolvePathname(partial, fullPath);
    if (resolved) {
        OKA_LOG("Successfully resolved as: %s", fullPath);
    } else {
        OKA_LOG("unable to resolve path");
    }
    reply->addBoolParam(resolved);
    reply->addTextParam(fullPath);
    return 0;
}

int32_t GlobalPathManager::addGlobalPathsMsg(Message* message, Message*) {
    int32_t result = 0;
    for (int index = 0; index < message->paramCount; ++index) {
        char path[kPathSize];
        if (!readPathParam(message, index, path)) {
            result = kErrorTextTooLong;
            continue;
        }
        if (path[0] != '\0') gGlobalPathManager->addUniquePath(path);
    }
    gGlobalPathManager->setLastError(result);
    return result;
}
