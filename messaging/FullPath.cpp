#include "messaging/FullPath.h"

#include <memory>

#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"

namespace {
constexpr const char* kLogSource = "../utilities";

AskForFileProc askForFile = nullptr;

// Asks the Tool Manager with 'RSLV'; a copy of the full path when it resolved.
char* resolveThroughToolManager(const char* partialPath, const ToolInfo& managerInfo) {
    auto* request = new Message(kResolvePathMsg.code, &managerInfo);
    request->wantsReply = 1;
    request->addTextParam(partialPath);
    OKA_LOG("makeFullPath: asking kelvane to resolve partial path <%s>", partialPath);
    std::unique_ptr<Message> reply(gMessageCenter->sendMessage(request));
    if (!reply) {
        OKA_LOG("makeFullPath: got NULL for reply");
        return nullptr;
    }
    if (gMessageCenter->getLastError() != 0) {
        OKA_LOG("makeFullPath got error %d", int(gMessageCenter->getLastError()));
        return nullptr;
    }
    if (reply->getLongParam(0) != 0 || !reply->getBoolParam(1)) return nullptr;
    char fullPath[kPathSize];
    reply->getTextParam(2, fullPath, sizeof fullPath);
    return newStringCopy(fullPath);
}
// Lets the user pick the file; its directory becomes a project path, so
// that the next request for a file there resolves without asking.
char* askUserForFile(const char* partialPath) {
    char chosen[kPathSize];
    if (askForFile == nullptr || !askForFile(partialPath, chosen, sizeof chosen) ||
        chosen[0] == '\0') {
        return nullptr;
    }
    char directory[kPathSize];
    extractPathname(chosen, directory, sizeof directory);
    auto* addPaths = new Message(kAddProjectPathsMsg.code, &gKelvaneToolInfo);
    addPaths->addTextParam(directory);
    addPaths->addTextParam(directory);
    delete gMessageCenter->sendMessage(addPaths);
    return newStringCopy(chosen);
}
}  // namespace

void setAskForFileProc(AskForFileProc procedure) {
    askForFile = procedure;
}

char* makeFullPath(const char* partialPath, const ToolInfo& managerInfo, bool askUser) {
    if (partialPath != nullptr && partialPath[0] == '/') return newStringCopy(partialPath);
    char* result = nullptr;
    if (partialPath != nullptr && partialPath[0] != '\0') {
        result = resolveThroughToolManager(partialPath, managerInfo);
        if (result == nullptr && askUser) result = askUserForFile(partialPath);
    }
    if (result != nullptr) {
        OKA_LOG("makeFullPath: resolved partial path to %s", result);
    } else {
        OKA_LOG("makeFullPath: did not resolve partial path");
    }
    return result;
}
