// Handlers of the project messages.
#include "projects/ProjectMessages.h"

#include <utility>
#include <vector>

#include "core/Log.h"
#include "messaging/MessageCenter.h"
#include "projects/EngineInfo.h"
#include "projects/GlobalPathManager.h"
#include "projects/NewEngineWindow.h"
#include "projects/OKAFile.h"
#include "projects/ProjectManager.h"
#include "projects/ProjectRecords.h"
#include "projects/SourceDisplay.h"
#include "projects/TextParams.h"

namespace {
constexpr const char* kLogSource = "../projmsgs";

// True when `params` more parameters fit in the reply.
bool roomFor(const Message* reply, int params) {
    return reply->paramCount + params <= kMaxMessageParams;
}
}  // namespace

int32_t addFileMsg(Message* message, Message*) {
    char path[kPathSize];
    if (!readTextParam(message, 0, path, sizeof path)) return kErrorTextTooLong;
    return gProjectManager->addFileToProject(path).code();
}

int32_t removeFileMsg(Message* message, Message*) {
    char path[kPathSize];
    if (!readTextParam(message, 1, path, sizeof path)) return kErrorTextTooLong;
    return gProjectManager->removeFileFromProject(message->getTypeParam(0), path).code();
}

int32_t addEngineMsg(Message* message, Message*) {
    char machine[kMachineFieldSize];
    if (!readTextParam(message, 0, machine, sizeof machine)) return kErrorTextTooLong;
    return gProjectManager->addEngineToProject(new EngineInfo(machine, message->getLongParam(1)))
        .code();
}

int32_t removeEngineMsg(Message* message, Message*) {
    char machine[kMachineFieldSize];
    // A longer name can never have been added, so nothing matches it.
    if (!readTextParam(message, 0, machine, sizeof machine)) return 0;
    return gProjectManager->removeEngineFromProject(machine, message->getLongParam(1)).code();
}

int32_t getCurrentProjectPathMsg(Message*, Message* reply) {
    const char* path = gProjectManager->getProjectPath();
    if (path[0] != '\0') reply->addTextParam(path);
    return 0;
}

int32_t getFilePickerDirectoryMsg(Message*, Message* reply) {
    const char* directory = gProjectManager->getFilePickerDirectory();
    if (directory[0] != '\0') reply->addTextParam(directory);
    return gMessageCenter->getLastError();
}

int32_t setFilePickerDirectoryMsg(Message* message, Message*) {
    char directory[kPathSize];
    if (message->paramCount != 1) return gMessageCenter->getLastError();
    if (!readTextParam(message, 0, directory, sizeof directory)) return kErrorTextTooLong;
    gProjectManager->setFilePickerDirectory(directory);
    return gMessageCenter->getLastError();
}

int32_t getFilesInCurrentProjectMsg(Message* message, Message* reply) {
    TypeCode wanted = message->getTypeParam(0);
    MasterComponentList& lists = gProjectManager->getMasterComponentList();
    for (long i = 0; i < lists.getCount(); ++i) {
        ComponentList* list = lists.getNthList(i);
        for (long j = 0; j < list->getCount(); ++j) {
            auto* file = dynamic_cast<OKAFile*>(list->get(j));
            if (file == nullptr) continue;
            if (wanted != kWildcardType && file->getItemType() != wanted) continue;
            if (!roomFor(reply, 1)) {
                OKA_LOG("getFilesInCurrentProjectCommand: reply full, files left out");
                i = lists.getCount();
                break;
            }
            uint8_t record[kFileRecordSize];
            encodeFileRecord(file->getPathname(), record);
            reply->addParam(kParamS255, record, kFileRecordSize);
        }
    }
    OKA_LOG("getFilesInCurrentProjectCommand REPLY->numberOfParams = %d", int(reply->paramCount));
    return 0;
}

int32_t getComponentListsMsg(Message*, Message* reply) {
    MasterComponentList& lists = gProjectManager->getMasterComponentList();
    for (long i = 0; i < lists.getCount(); ++i) {
        if (!roomFor(reply, 2)) {
            OKA_LOG("getComponentLists: reply full, lists left out");
            break;
        }
        ComponentList* list = lists.getNthList(i);
        reply->addTextParam(list->getName());
        reply->addTypeParam(list->getTypeIdent());
    }
    return 0;
}

int32_t getEnginesMsg(Message*, Message* reply) {
    std::vector<uint8_t> entries;
    ComponentList* engines =
        gProjectManager->getMasterComponentList().getComponentList(kEngineType);
    for (long j = 0; engines != nullptr && j < engines->getCount(); ++j) {
        auto* engine = dynamic_cast<EngineInfo*>(engines->get(j));
        if (engine == nullptr) continue;
        entries.resize(entries.size() + kEngineRecordSize);
        encodeEngineRecord(engine->getMachine(), engine->getPort(),
                           entries.data() + entries.size() - kEngineRecordSize);
    }
    reply->addLongParam(int32_t(entries.size() / kEngineRecordSize));
    reply->addParam(kParamData, entries.data(), long(entries.size()));
    return 0;
}

void registerProjectMessageHandlers() {
    const std::pair<const MessageType&, MessageHandlerProc> handlers[] = {
        {kGetProjectFilesMsg, getFilesInCurrentProjectMsg},
        {kGetComponentListsMsg, getComponentListsMsg},
        {kGetEnginesMsg, getEnginesMsg},
        {kGetPickerDirectoryMsg, getFilePickerDirectoryMsg},
        {kSetPickerDirectoryMsg, setFilePickerDirectoryMsg},
        {kCreateEngineRequestMsg, createEngineRequestMsg},
        {kDisplaySourceFileMsg, displaySourceFileMsg},
        {kAddProjectPathsMsg, GlobalPathManager::addGlobalPathsMsg},
        {kAddFileMsg, addFileMsg},
        {kRemoveFileMsg, removeFileMsg},
        {kRemoveEngineMsg, removeEngineMsg},
        {kAddEngineMsg, addEngineMsg},
        {kGetProjectPathMsg, getCurrentProjectPathMsg},
    };
    for (const auto& [type, handlerProc] : handlers) {
        gMessageCenter->registerMessageHandler(type, handlerProc);
    }
}
