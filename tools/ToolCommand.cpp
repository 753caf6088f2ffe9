// Tool commands: equality, ordering and the matching rule of the menus.
#include "tools/ToolCommand.h"

#include <cstring>

#include "core/Utilities.h"
#include "tools/CommandManager.h"

ToolCommand::ToolCommand(const char* name, const ToolInfo* tool, long requirement,
                         TypeCode requiresType)
    : Item(kToolCommandItem),
      commandName(newStringCopy(name ? name : "")),
      requirement(requirement),
      requiresType(requiresType) {
    if (tool != nullptr) toolInfo = *tool;
}

ToolCommand::~ToolCommand() {
    delete[] commandName;
}

bool ToolCommand::commandMatchesRequires(long kind, TypeCode type, bool fromToolMenu) const {
    if (requirement == 3) return fromToolMenu || kind == kComponentKindEngine;
    if (requirement == 0) return fromToolMenu;
    return requirement == kind && (kind != kComponentKindFile || requiresType == type);
}

bool ToolCommand::isEqual(const Item* other) const {
    auto* command = dynamic_cast<const ToolCommand*>(other);
    if (command == nullptr || command->getItemType() != getItemType()) return false;
    return toolInfo.toolType == command->toolInfo.toolType &&
           std::strcmp(commandName, command->commandName) == 0;
}

long ToolCommand::compare(const Item* other) const {
    if (getItemType() != kToolCommandItem) return -1;
    auto* command = dynamic_cast<const ToolCommand*>(other);
    if (command == nullptr || command->getItemType() != kToolCommandItem) return 1;
    // Commands of one name from several tools are told apart by tool name.
    if (gCommandManager->isDuplicateCommand(commandName)) {
        return std::strcmp(toolInfo.name, command->toolInfo.name);
    }
    return std::strcmp(commandName, command->commandName);
}
