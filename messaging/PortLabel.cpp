#include "messaging/PortLabel.h"

namespace {
PortNamer installedNamer = nullptr;  // the Tool Manager's registry's, or null
}  // namespace

void setPortNamer(PortNamer namer) {
    installedNamer = namer;
}

std::string portLabel(int port) {
    if (installedNamer == nullptr) return {};
    std::string name = installedNamer(port);
    return name.empty() ? name : " [" + name + "]";
}

std::string toolLabel(const ToolInfo& tool) {
    return " [" + describeTool(tool) + "]";
}
