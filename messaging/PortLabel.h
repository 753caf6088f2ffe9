// PortLabel: names the program behind a port in log lines about failed
// sends, replies and probes. Only the Tool Manager knows which tool listens
// where; its registry installs the namer. Without one, or for a port no
// registered tool has, the label is empty.
#pragma once

#include <string>

#include "messaging/ToolInfo.h"

// Returns the program's name and type, as "Sample Runner (SRUN)", or "".
using PortNamer = std::string (*)(int port);

void setPortNamer(PortNamer namer);
// " [Sample Runner (SRUN)]" for a known port, else "": appended to a log line.
std::string portLabel(int port);
// The same for a tool whose description is at hand: " [Sample Runner (SRUN)]".
std::string toolLabel(const ToolInfo& tool);
