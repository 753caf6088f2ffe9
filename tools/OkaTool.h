// Joining the OKA environment from a tool program.
//
// A tool is a program of its own that the Tool Manager starts from its tool
// list. To take part it calls startTool first: this opens the log
// (~/.oka/okalog) and listens on a port near the Tool Manager's. It then
// registers handlers for the messages it wants
// (gMessageCenter->registerMessageHandler, a procedure or any callable such
// as a lambda holding the tool's state) and announces itself with
// registerWithToolManager ('REGT' with the tool's description and
// program path). Handlers come first because the Tool Manager asks the new
// tool questions (such as 'IDFL', identify a file) as soon as it has
// answered the registration; 'IDFB', many files at once, is answered by the
// library through the tool's 'IDFL' handler.
// From then on the tool:
//
//   - publishes its commands with publishCommand ('ADDC'); the Tool Manager
//     lists them in its menus and sends 'CMDS' when the user runs one;
//   - asks the Tool Manager with request (tools/ToolRequest.h), whose
//     result owns the reply;
//   - calls runToolLoop, which answers messages until the Tool Manager sends
//     'QUIT' (or gFinished is set); a tool with a loop of its own calls
//     followToolManager in it;
//   - answers 'SHOW', 'HIDE', 'CWIN' and 'DSRC'. A tool without windows
//     links okaenv alone and has nothing to do for them. A tool with windows
//     links okaenv-gui, starts the toolkit and calls installWindowLayer
//     (workspace/WindowLayer.h) before startTool, and calls
//     EVENT_ProcessPending from its own loop: its window manager
//     (gWindowManager) then shows, minimizes or closes every window
//     registered with addWindowRec, and gives each its remembered position.
//
// The Tool Manager probes the tool's port every 10 seconds; a tool that stops
// answering is marked unloaded until it registers again. A tool that ends on
// its own, not on 'QUIT' or a signal, calls unregisterFromToolManager first.
//
// When the Tool Manager dies and a new one starts, runToolLoop notices the
// new port file within a quarter of a second, registers the tool again,
// publishes its commands again and renews its notice subscription; the tool
// keeps its windows. Should the new Tool Manager refuse it (-301: a copy of the tool
// got there first) or no Tool Manager answer for 30 seconds, runToolLoop
// returns and the tool ends. A tool that wants to hear when tools come and
// go, or the project changes, calls subscribeToNotices.
//
// A minimal tool:
//
//   int32_t sayHello(Message*, Message*) { OKA_LOG("hello"); return 0; }
//
//   int main(int, char** argv) {
//       if (startTool("sample", {"Sample", "Example Co.", 1, 0, typeCode("SMPL"), false}) != 0)
//       return 1; gMessageCenter->registerMessageHandler(kRunCommandMsg, sayHello); if
//       (registerWithToolManager(argv[0]) != 0) return 1; publishCommand("Say Hello",
//       kRequiresNothing, kWildcardType); runToolLoop(); leaveEnvironment();
//   }
#pragma once

#include <cstdint>

#include "core/Globals.h"
#include "core/TypeCode.h"
#include "messaging/Message.h"
#include "messaging/MessageCenter.h"
#include "tools/Environment.h"
#include "tools/ToolRequest.h"

// What a tool tells the Tool Manager about itself.
struct ToolDescription {
    const char* name;     // display name (at most 31 characters): the icon's label
    const char* company;  // maker (at most 31 characters)
    int32_t majorVersion;
    int32_t minorVersion;
    TypeCode toolType;    // one tool of each type is registered at a time
    bool isSourceViewer;  // the tool can display source files ('DISF', 'FISV')
};

// What a published command needs to work on.
inline constexpr long kRequiresNothing = 0;
inline constexpr long kRequiresFile = 1;    // a project file of the command's type
inline constexpr long kRequiresEngine = 2;  // an engine descriptor
inline constexpr long kRequiresEngineOrNothing = 3;

// The Tool Manager did not answer a request (it is not running).
inline constexpr int32_t kErrorNoToolManager = kErrorNoReply;

// Starts the environment for program `programName` (the log's name) and
// describes the tool in every message it sends. Returns 0, or
// kErrorNoInstallation when OKA is not set: the tool cannot run then.
int32_t startTool(const char* programName, const ToolDescription& description);
// Registers the tool. This and publishCommand answer the tool's messages
// while they wait for the Tool Manager's reply, so message handlers must not
// call them.
// `programPath` is the program as the tool list starts it; the Tool Manager
// uses its last component to start the tool again. Returns 0, the Tool
// Manager's refusal (-301: a tool of this type is already running; gFinished
// is then set, so that the refused copy ends) or kErrorNoToolManager.
int32_t registerWithToolManager(const char* programPath);
// Publishes a command; 0, -401 for a name published before with another
// requirement, or kErrorNoToolManager. The Tool Manager keeps a tool's
// commands when the tool ends, so a tool started again finds them there:
// the same command (name, requirement and file type) counts as published.
// A command that changes its requirement needs a new name.
int32_t publishCommand(const char* name, long requirement, TypeCode requiresType);
// Answers messages until 'QUIT' arrives or gFinished is set, following a
// restarted Tool Manager; also ends when the Tool Manager refuses the tool
// or is gone for good. startTool makes SIGTERM, SIGHUP and SIGINT end it
// (Ctrl-C first cuts a connection being read from a silent sender); the
// tool then unregisters before runToolLoop returns.
void runToolLoop();
// The part of runToolLoop that follows the Tool Manager, for a tool with a
// loop of its own: call it after each gMessageCenter->poll().
void followToolManager();

// Told of each lifecycle event: `event` is 'TADD' (a tool was added),
// 'TREG' (re-registered), 'TUNL' (unloaded), 'TREM' (removed) with the
// tool's description, or 'PROJ' (the project changed) with the project path.
using NoticeCallback = void (*)(TypeCode event, const ToolInfo& tool, const char* projectPath);
// Asks the Tool Manager for notices ('NTFY'); `callback` receives them.
// 0, the Tool Manager's refusal, or kErrorNoToolManager.
int32_t subscribeToNotices(NoticeCallback callback);
// Removes the tool from the Tool Manager's registry.
void unregisterFromToolManager();
// Closes the listener and the log.
void leaveEnvironment();
