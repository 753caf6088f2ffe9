#include "projects/RunCommandRequest.h"

#include <cstring>
#include <string>

#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "projects/ComponentList.h"
#include "projects/EngineInfo.h"
#include "projects/GlobalPathManager.h"
#include "projects/MasterComponentList.h"
#include "projects/OKAFile.h"
#include "projects/ProjectManager.h"
#include "projects/ProjectRecords.h"
#include "tools/CommandManager.h"
#include "tools/ToolCommand.h"
#include "tools/ToolRegistry.h"

namespace {
constexpr const char* kLogSource = "../runcommand";
// The refusals that senders of 'RCMD' tell apart are those of the registry
// and the commands.
static_assert(kRunCommandNoSuchTool == kErrorToolNotFound);
static_assert(kRunCommandNoSuchCommand == kErrorCommandNotFound);
static_assert(kRunCommandRequirementNotMet == kErrorRequirementNotMet);

// The project's file component at exactly `path`, or null.
const OKAFile* projectFileAt(const char* path) {
    MasterComponentList& lists = gProjectManager->getMasterComponentList();
    for (long i = 0; i < lists.getCount(); ++i) {
        ComponentList* list = lists.getNthList(i);
        for (long j = 0; list != nullptr && j < list->getCount(); ++j) {
            auto* file = dynamic_cast<const OKAFile*>(list->get(j));
            if (file != nullptr && file->getPathname() != nullptr &&
                std::strcmp(file->getPathname(), path) == 0)
                return file;
        }
    }
    return nullptr;
}

// The project's file for `path` as given, or else as the project paths
// resolve it (a partial name).
const OKAFile* findProjectFile(const char* path) {
    if (const OKAFile* file = projectFileAt(path)) return file;
    std::optional<std::string> resolved = gGlobalPathManager->resolvePathname(path);
    return resolved ? projectFileAt(resolved->c_str()) : nullptr;
}

// What a command that refused the request needs, as "Run needs ...".
std::string describeNeed(const ToolCommand& command) {
    std::string text = std::string(command.commandName) + " needs ";
    if (command.requirement == kComponentKindFile)
        return text + "a project file of type " + TypeIdentToCStr(command.requiresType);
    if (command.requirement == kComponentKindEngine) return text + "an engine of the project";
    return text + "what its requirement " + std::to_string(command.requirement) + " names";
}

// The refusal of a request: the error, with one line saying why as the
// reply's result.
int32_t refuse(Message* reply, int32_t error, const std::string& why) {
    OKA_LOG("RCMD refused: %s", why.c_str());
    reply->addTextParam(why.c_str());
    return error;
}

int32_t runCommandRequestMsg(Message* message, Message* reply) {
    char toolName[kToolNameSize];
    char commandName[kToolNameSize];
    char path[kPathSize];
    char machine[kMachineFieldSize];
    message->getTextParam(0, toolName, sizeof toolName);
    message->getTextParam(1, commandName, sizeof commandName);
    message->getTextParam(2, path, sizeof path);
    message->getTextParam(3, machine, sizeof machine);
    int32_t port = message->getLongParam(4);

    const ToolInfo* tool = gToolRegistry->lookupToolByName(toolName);
    if (tool == nullptr) {
        return refuse(reply, kErrorToolNotFound, std::string("no tool named ") + toolName);
    }
    const ToolCommand* command = gCommandManager->lookupCommand(commandName, tool->toolType);
    if (command == nullptr) {
        return refuse(reply, kErrorCommandNotFound,
                      std::string(toolName) + " has no command " + commandName);
    }
    if (!gToolRegistry->toolIsLoaded(tool->toolType)) {
        return refuse(reply, kErrorUnloadWhileUnloaded, std::string(toolName) + " is not loaded");
    }

    CommandSelection selection;
    TypeCode fileType = 0;
    if (path[0] != '\0') {
        const OKAFile* file = findProjectFile(path);
        if (file == nullptr) {
            return refuse(reply, kErrorRequirementNotMet,
                          std::string(path) + " is not a file of the project");
        }
        selection = {kComponentKindFile, "", 0, file->getPathname()};
        fileType = file->getItemType();
    } else if (machine[0] != '\0') {
        Item* engine = nullptr;
        if (!gProjectManager->getComponentByIdent(&engine, kEngineType, machine, port)) {
            return refuse(reply, kErrorRequirementNotMet,
                          std::string(machine) + ":" + std::to_string(port) +
                              " is not an engine of the project");
        }
        static_cast<const EngineInfo*>(engine)->log("Requested engine");
        selection = {kComponentKindEngine, machine, port, ""};
    }
    int32_t result = gCommandManager->runCommand(command, selection, fileType).code();
    if (result == kErrorRequirementNotMet) return refuse(reply, result, describeNeed(*command));
    // A send that finds the tool's port closed unloads the tool at once.
    if (!gToolRegistry->toolIsLoaded(tool->toolType)) {
        return refuse(
            reply, kErrorUnloadWhileUnloaded,
            std::string(toolName) + " did not take the command: it is gone and now unloaded");
    }
    return result;
}
}  // namespace

void registerRunCommandRequestHandler() {
    gMessageCenter->registerMessageHandler(kRunCommandRequestMsg, runCommandRequestMsg);
}
