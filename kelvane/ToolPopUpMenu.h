// The pop-up menu of a tool icon: the tool's commands (enabled when the tool
// is loaded and the command fits the selected component), "Default Source
// Viewer" for a loaded source viewer, "Load Tool" or "Unload Tool", and
// "Tool Information...". Choices are told apart by label, so a command
// named like a built-in item acts as that item.
#pragma once

// Opens the menu of the tool named `toolName` at the pointer and carries out
// the choice; nothing when no such tool is registered.
void openToolPopUpMenu(const char* toolName);
