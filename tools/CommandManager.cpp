// The command manager: commands published by the tools, the default-command
// choice and the 'CMDS' message that runs a command.
#include "tools/CommandManager.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "tools/ToolCommand.h"
#include "tools/ToolRegistry.h"

namespace {
constexpr const char* kLogSource = "../commands";
}  // namespace

CommandManager* gCommandManager = nullptr;

CommandManager::CommandManager() : commands(kDefaultChunkSize, true, false) {}

Status CommandManager::addCommand(const char* name, const ToolInfo* tool, long requirement,
                                  TypeCode requiresType) {
    auto command = std::make_unique<ToolCommand>(name, tool, requirement, requiresType);
    if (commands.find(command.get())) return Status(kErrorDuplicateCommand);
    commands.include(command.release());
    OKA_LOG("added command to tool manager");
    return kSuccess;
}

Status CommandManager::removeCommand(const char* name, TypeCode toolType) {
    long index = findCommand(name, toolType);
    if (index == -1) return Status(kErrorCommandNotFound);
    removeCommandByNumber(index);
    return kSuccess;
}

void CommandManager::removeCommandByNumber(long index) {
    delete commands.removei(index);
}

long CommandManager::findCommand(const char* name, TypeCode toolType) const {
    for (long i = commands.getCount() - 1; i >= 0; --i) {
        auto* command = static_cast<const ToolCommand*>(commands.get(i));
        if (command->toolInfo.toolType == toolType &&
            std::strcmp(command->commandName, name) == 0) {
            return i;
        }
    }
    return -1;
}

ToolCommand* CommandManager::lookupCommand(const char* name, TypeCode toolType) {
    long index = findCommand(name, toolType);
    return index == -1 ? nullptr : static_cast<ToolCommand*>(commands.get(index));
}

ToolCommand* CommandManager::getNthCommand(long index) {
    if (index < 0 || index >= commands.getCount()) return nullptr;
    return static_cast<ToolCommand*>(commands.get(index));
}

bool CommandManager::isDuplicateCommand(const char* name) const {
    int found = 0;
    for (long i = 0; i < commands.getCount() && found < 2; ++i) {
        if (std::strcmp(static_cast<const ToolCommand*>(commands.get(i))->commandName, name) == 0) {
            ++found;
        }
    }
    return found >= 2;
}

void CommandManager::getCommandLabel(const ToolCommand* command, char* label,
                                     size_t labelSize) const {
    if (isDuplicateCommand(command->commandName)) {
        std::snprintf(label, labelSize, "%s (%s)", command->commandName, command->toolInfo.name);
    } else {
        copyText(label, labelSize, command->commandName);
    }
}

ToolCommand* CommandManager::getDefaultCommand(long kind, TypeCode type) {
    List candidates(kDefaultChunkSize, false, true);
    for (long i = 0; i < commands.getCount(); ++i) {
        auto* command = static_cast<ToolCommand*>(commands.get(i));
        bool engineOrNothing = kind == kComponentKindEngine && command->requirement == 3;
        bool exactNeed = command->requirement != 0 && command->requirement == kind &&
                         (kind != kComponentKindFile || command->requiresType == type);
        if (engineOrNothing || exactNeed) candidates.include(command);
    }
    candidates.sort(false);
    for (long i = 0; i < candidates.getCount(); ++i) {
        auto* command = static_cast<ToolCommand*>(candidates.get(i));
        if (gToolRegistry->toolIsLoaded(command->toolInfo.toolType)) return command;
    }
    return nullptr;
}

void CommandManager::updateAllCommandsToolInfo(const ToolInfo* tool) {
    for (long i = 0; i < commands.getCount(); ++i) {
        auto* command = static_cast<ToolCommand*>(commands.get(i));
        if (command->toolInfo.toolType == tool->toolType) command->toolInfo = *tool;
    }
}

CommandSelection CommandManager::readSelection() const {
    return commandContext != nullptr ? commandContext->selectedComponent() : CommandSelection{};
}

void CommandManager::executeCommand(const ToolCommand* command) {
    OKA_LOG("user choose command %s", command->commandName);
    CommandSelection selection = readSelection();
    if (selection.kind == 0 && commandContext != nullptr) {
        if (command->requirement == kComponentKindEngine) {
            commandContext->openNewEngineWindow();
        } else if (command->requirement == kComponentKindFile) {
            commandContext->chooseFileForCommand();
            selection = readSelection();
        }
    }
    if (selection.kind == 0 && command->requirement == kComponentKindFile) return;
    if (selection.kind == kComponentKindFile && command->requirement == kComponentKindEngine)
        return;
    if (selection.kind == kComponentKindEngine) commandContext->logSelectedEngine();
    sendCommand(command, selection);
}

Status CommandManager::runCommand(const ToolCommand* command, const CommandSelection& selection,
                                  TypeCode fileType) {
    OKA_LOG("command %s requested", command->commandName);
    if (!command->commandMatchesRequires(selection.kind, fileType, true)) {
        OKA_LOG("command %s does not run on what was given: nothing sent", command->commandName);
        return Status(kErrorRequirementNotMet);
    }
    sendCommand(command, selection);
    return kSuccess;
}

void CommandManager::sendCommand(const ToolCommand* command, const CommandSelection& selection) {
    auto message = std::make_unique<Message>(kRunCommandMsg.code, &command->toolInfo);
    message->addTextParam(command->commandName, kParamST31);
    bool engine = selection.kind == kComponentKindEngine;
    bool file = selection.kind == kComponentKindFile;
    const char* machine = engine ? selection.machine : "";
    int32_t port = engine ? selection.port : 0;
    message->addTextParam(machine, kParamST31);
    message->addLongParam(port);
    message->addTextParam(file ? selection.path : "", kParamST31);
    if (file) {
        OKA_LOG("Sending message to tool %s with machine %s, port %d, and pathname %s",
                command->commandName, machine, int(port), selection.path);
    } else {
        OKA_LOG("Sending message to tool %s with machine %s, port %d, and null pathname",
                command->commandName, machine, int(port));
    }
    gMessageCenter->sendMessage(message.release());
}

int32_t CommandManager::addCommandMsg(Message* message, Message*) {
    char name[kPathSize];
    message->getTextParam(0, name, sizeof name);
    CommandManager* manager = gCommandManager;
    return manager
        ->remember(manager->addCommand(name, &message->sender, message->getLongParam(1),
                                       message->getTypeParam(2)))
        .code();
}
