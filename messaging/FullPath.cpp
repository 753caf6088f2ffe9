#include "messaging/FullPath.h"

#include <memory>

#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"

namespace {
constexpr const char* kLogSource = "../utilities";

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
}  // namespace

char* makeFullPath(const char* partialPath, const ToolInfo& managerInfo, bool /*askUser*/) {
    if (partialPath != nullptr && partialPath[0] == '/') return newStringCopy(partialPath);
    char* result = nullptr;
    if (partialPath != nullptr && partialPath[0] != '\0') {
        // Offering the file picker when the path does not resolve comes with
        // the picker itself; until then an unresolved path stays unresolved.
        result = resolveThroughToolManager(partialPath, managerInfo);
    }
    if (result != nullptr) {
        OKA_LOG("makeFullPath: resolved partial path to %s", result);
    } else {
        OKA_LOG("makeFullPath: did not resolve partial path");
    }
    return result;
}
