// The modal tool information window ("toolInfoWindow"): a tool's icon, name
// (marked when unloaded), version and company.
#pragma once

struct ToolInfo;

void displayToolInfoWindow(const ToolInfo* tool);
