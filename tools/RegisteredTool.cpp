// Registry entries: a tool's description, its loaded flag and program name.
#include "tools/RegisteredTool.h"

#include "core/Utilities.h"

RegisteredTool::RegisteredTool() : Item(kRegisteredToolItem) {}

RegisteredTool::RegisteredTool(const ToolInfo* info) : Item(kRegisteredToolItem) {
    setToolInfo(info);
}

RegisteredTool::~RegisteredTool() {
    delete[] executableName;
}

void RegisteredTool::setToolInfo(const ToolInfo* info) {
    if (info != nullptr) toolInfo = *info;
}

void RegisteredTool::setExecutableName(const char* path) {
    delete[] executableName;
    executableName = nullptr;
    if (path == nullptr) return;
    char name[kPathSize];
    extractFilename(path, name, sizeof name);
    executableName = newStringCopy(name);
}

bool RegisteredTool::isEqual(const Item* other) const {
    auto* tool = dynamic_cast<const RegisteredTool*>(other);
    return tool != nullptr && tool->getItemType() == getItemType() &&
           tool->toolInfo.toolType == toolInfo.toolType;
}
