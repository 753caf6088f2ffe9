// The workspace's commands. The menu bar's items carry their ids; the
// buttons carry them by the first digit of their resource name ("1newProject"
// runs command 101), and show a status text while the pointer is over them.
#pragma once

inline constexpr int kQuitCommand = 107;
inline constexpr int kAboutCommand = 700;

// Runs command `id`; other ids do nothing.
void runWorkspaceCommand(int id);
// The command of the button named `resourceName`; 0 when the name does not
// begin with a digit 1 to 9.
int buttonCommand(const char* resourceName);
// The status text of a button's command; null for a command without a button.
const char* buttonStatusText(int id);
