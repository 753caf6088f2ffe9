// CommandManager: every command that the tools published with 'ADDC', in
// order of arrival. The workspace offers them in its pop-up menus, picks the
// default command for a double-clicked component and runs a chosen command,
// which sends 'CMDS' to the command's tool:
//
//   param type   content
//   0     'ST31' the command name
//   1     'ST31' machine name of the selected engine descriptor, else empty
//   2     'LONG' port of the selected engine descriptor, else 0
//   3     'ST31' full path of the selected file, else empty
//
// Commands stay listed when their tool is unloaded or leaves; menus show them
// disabled and the default command skips them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/HasErrorReporting.h"
#include "messaging/ToolInfo.h"
#include "storage/List.h"
#include "tools/RegisteredTool.h"
#include "tools/ToolRegistryListener.h"

class Message;
class ToolCommand;

inline constexpr int32_t kErrorDuplicateCommand = -401;
inline constexpr int32_t kErrorCommandNotFound = -402;
// A command run by request lacks the file or engine it needs (RCMD).
inline constexpr int32_t kErrorRequirementNotMet = -403;

// The component selected in the project lists when a command runs.
struct CommandSelection {
    long kind = 0;             // 0 nothing, kComponentKindFile or kComponentKindEngine
    const char* machine = "";  // the engine descriptor's machine name
    int32_t port = 0;          // the engine descriptor's port
    const char* path = "";     // the file's full path
};

// What a command runs on and how the user is asked for it: the component
// selected in the workspace, the add-engine window, the file picker. The
// Tool Manager installs its workspace's; without one a command runs on
// nothing.
class CommandContext {
  public:
    virtual ~CommandContext() = default;
    // The selected component; kind 0 when nothing is selected.
    virtual CommandSelection selectedComponent() = 0;
    // Logs the selected engine descriptor under the heading "Selected engine".
    virtual void logSelectedEngine() = 0;
    // Opens the add-engine window; it is not modal, so this returns at once.
    virtual void openNewEngineWindow() = 0;
    // Lets the user pick a file for a command (modal); a file added this
    // way becomes the selected component.
    virtual void chooseFileForCommand() = 0;
};

class CommandManager : public HasErrorReporting, public ToolRegistryListener {
  public:
    CommandManager();
    CommandManager(const CommandManager&) = delete;
    CommandManager& operator=(const CommandManager&) = delete;

    // A tool that comes back runs on a new port; its commands must follow it.
    void toolReregistered(const RegisteredTool& tool) override {
        updateAllCommandsToolInfo(&tool.toolInfo);
    }

    // -401 (and nothing added) when the tool already published `name`; the
    // 'ADDC' handler remembers the outcome as the last error. Lookups leave
    // the last error alone.
    Status addCommand(const char* name, const ToolInfo* tool, long requirement,
                      TypeCode requiresType);
    // -402 when the tool has no command `name`.
    Status removeCommand(const char* name, TypeCode toolType);
    void removeCommandByNumber(long index);
    // Index of the tool's command `name`, searching from the last; -1 if none.
    long findCommand(const char* name, TypeCode toolType) const;
    ToolCommand* lookupCommand(const char* name, TypeCode toolType);
    ToolCommand* getNthCommand(long index);
    long getCommandCount() const { return commands.getCount(); }
    // True when two or more tools publish a command of this name.
    bool isDuplicateCommand(const char* name) const;
    // The command's label in the component menu: its name, followed by the
    // tool's name in parentheses when several tools publish the name.
    void getCommandLabel(const ToolCommand* command, char* label, size_t labelSize) const;
    // The command to run on a double-clicked component: among the commands
    // that need exactly such a component, the first in sorted order whose
    // tool is loaded; null when there is none.
    ToolCommand* getDefaultCommand(long kind, TypeCode type);
    // Gives the tool's commands a fresh copy of its ToolInfo (its new port).
    void updateAllCommandsToolInfo(const ToolInfo* tool);

    // Sends 'CMDS' for `command` on the selected component. With nothing
    // selected, a command that needs a file lets the user pick one first
    // (nothing is sent when none is picked), and one that needs an engine
    // opens the add-engine window and is sent at once without one. Nothing
    // is sent when an engine command finds a file selected.
    void executeCommand(const ToolCommand* command);
    // Runs `command` on the component described by `selection` (its type in
    // `fileType` for a file) without asking anybody, as a choice in the
    // tool's pop-up menu would with that component selected: success when
    // 'CMDS' went to the tool, -403 (and nothing sent) when the command does
    // not work on such a component or on none.
    Status runCommand(const ToolCommand* command, const CommandSelection& selection,
                      TypeCode fileType);
    // `context` (not owned; null: none) tells executeCommand the selection.
    void setCommandContext(CommandContext* context) { commandContext = context; }

    // Handler of 'ADDC': name 'ST31', requirement 'LONG', requiresType 'IDNT'.
    static int32_t addCommandMsg(Message* message, Message* reply);

  private:
    CommandSelection readSelection() const;
    // Sends 'CMDS' for `command` with the component of `selection`.
    void sendCommand(const ToolCommand* command, const CommandSelection& selection);

    List commands;                             // owned ToolCommands in order of arrival
    CommandContext* commandContext = nullptr;  // the workspace's, or null
};

extern CommandManager* gCommandManager;
