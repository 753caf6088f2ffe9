// The environment's protocol: every message type that the Tool Manager and
// the tools send or answer, each with the parameters its receiver checks
// (in order; an empty template: no parameters). Senders build messages from
// the same entries, so both sides agree by construction. A reply ('RPLY',
// kReplyMessage in Message.h) carries the handler's error as its 'EROR'
// parameter 0 and the results listed here after it.
#pragma once

#include "messaging/Message.h"

// A message type with the template its receivers check.
struct MessageType {
    TypeCode code;           // the type on the wire
    MessageTemplate params;  // what the receiver's handler is registered with
};

// ---- Answered by every program's window manager.
inline constexpr MessageType kShowWindowsMsg{typeCode("SHOW"), {}};
inline constexpr MessageType kHideWindowsMsg{typeCode("HIDE"), {}};
inline constexpr MessageType kCloseWindowsMsg{typeCode("CWIN"), {}};

// ---- Answered by the Tool Manager.
// A tool's 84-byte ToolInfo and its program path.
inline constexpr MessageType kRegisterToolMsg{typeCode("REGT"),
                                              makeTemplate({kParamData, kParamS255})};
inline constexpr MessageType kUnregisterToolMsg{typeCode("UNRT"), makeTemplate({kParamType})};
// Reply: 'BOOL' found and, when found, 'DATA' the ToolInfo.
inline constexpr MessageType kLookupToolMsg{typeCode("LOOK"), makeTemplate({kParamType})};
// Window type, 8-byte box, position id.
inline constexpr MessageType kUpdateWindowPositionMsg{
    typeCode("UWIN"), makeTemplate({kParamType, kParamData, kParamLong})};
// Reply: 'BOOL' found, 'DATA' 8-byte box, 'LONG' position id.
inline constexpr MessageType kGetWindowPositionMsg{typeCode("GWIN"), makeTemplate({kParamType})};
// Reply: 'BOOL' resolved, 'S255' full path.
inline constexpr MessageType kResolvePathMsg{typeCode("RSLV"), makeTemplate({kParamS255})};
// Command name, what it requires, the type it requires.
inline constexpr MessageType kAddCommandMsg{typeCode("ADDC"),
                                            makeTemplate({kParamST31, kParamLong, kParamType})};
// Reply: one 'S255' per file of the type ('****' for all).
inline constexpr MessageType kGetProjectFilesMsg{typeCode("GFCP"), makeTemplate({kParamType})};
// Reply: per component list 'S255' name, 'IDNT' type.
inline constexpr MessageType kGetComponentListsMsg{typeCode("GCCP"), {}};
// Reply: 'LONG' count n, 'DATA' n engine entries of 36 bytes.
inline constexpr MessageType kGetEnginesMsg{typeCode("GENG"), {}};
// Reply: 'S255' directory, only when there is one.
inline constexpr MessageType kGetPickerDirectoryMsg{typeCode("GCFP"), {}};
inline constexpr MessageType kSetPickerDirectoryMsg{typeCode("SCFP"), makeTemplate({kParamS255})};
// Opens the add-engine window; the 'LONG' is not read.
inline constexpr MessageType kCreateEngineRequestMsg{typeCode("CRRQ"), makeTemplate({kParamLong})};
// Reply: one 'DATA' ToolInfo per tool that can display source.
inline constexpr MessageType kGetSourceViewersMsg{typeCode("GSAT"), {}};
// The sender became the active source viewer / there is none any more.
inline constexpr MessageType kActivateSourceMsg{typeCode("ASRC"), {}};
inline constexpr MessageType kDeactivateSourceMsg{typeCode("DSRC"), {}};
inline constexpr MessageType kAddProjectPathsMsg{typeCode("ADGP"),
                                                 makeTemplate({kParamS255, kParamS255})};
inline constexpr MessageType kAddFileMsg{typeCode("ADDF"), makeTemplate({kParamS255})};
inline constexpr MessageType kRemoveFileMsg{typeCode("REMF"),
                                            makeTemplate({kParamType, kParamS255})};
// Machine name and port of an engine.
inline constexpr MessageType kRemoveEngineMsg{typeCode("REME"),
                                              makeTemplate({kParamS255, kParamLong})};
inline constexpr MessageType kAddEngineMsg{typeCode("ADDE"),
                                           makeTemplate({kParamS255, kParamLong})};
// Reply: 'S255' path, only when there is one.
inline constexpr MessageType kGetProjectPathMsg{typeCode("GCPP"), {}};
// Relayed to every registered tool as received: a changed source file, and
// compiled file components.
inline constexpr MessageType kSourceChangedMsg{typeCode("SCHG"), makeTemplate({kParamS255})};
inline constexpr MessageType kFilesCompiledMsg{typeCode("FCMP"), makeTemplate({kParamData})};
// The help viewer and help documents: 'HDTM' and 'HMEM' follow as separate
// messages to the sender.
inline constexpr MessageType kGetHelpDefaultsMsg{typeCode("HGDM"), {}};
// The find-in-source window: open it, set its search text (the text with or
// without its terminator), give its settings (reply: 'DATA' search text
// without terminator, 'BOOL' case-sensitive).
inline constexpr MessageType kAskFindInSourceMsg{typeCode("AFSV"), {}};
inline constexpr MessageType kSetFindTextMsg{typeCode("SFSV"), makeTemplate({kParamData})};
inline constexpr MessageType kGetFindParamsMsg{typeCode("GFSV"), {}};

// ---- Sent by the Tool Manager, answered by tools.
// The help viewer program's name.
inline constexpr MessageType kHelpViewerMsg{typeCode("HDTM"), makeTemplate({kParamS255})};
// One help document: menu label and file.
inline constexpr MessageType kHelpMenuItemMsg{typeCode("HMEM"),
                                              makeTemplate({kParamS255, kParamS255})};
inline constexpr MessageType kQuitMsg{typeCode("QUIT"), {}};
// Reply: 'BOOL' recognised and, when recognised, 'S255' type name,
// 'IDNT' type, optionally 'S255' description.
inline constexpr MessageType kIdentifyFileMsg{typeCode("IDFL"), makeTemplate({kParamS255})};
// Many files at once: 'DATA' the paths; the tool library answers it through
// the tool's 'IDFL' handler. Reply: 'DATA' one answer per path (IdentifyBatch.h).
inline constexpr MessageType kIdentifyBatchMsg{typeCode("IDFB"), makeTemplate({kParamData})};
// Path and type of a file added to the project.
inline constexpr MessageType kFileAddedMsg{typeCode("FADD"),
                                           makeTemplate({kParamS255, kParamType})};
// Command name, engine machine, engine port, file path.
inline constexpr MessageType kRunCommandMsg{
    typeCode("CMDS"), makeTemplate({kParamST31, kParamST31, kParamLong, kParamST31})};
// Path, resolve flag, then parameters agreed between the requester and the
// viewer; parameter 7 lets the Tool Manager ask the user, 10 names the
// viewer's tool type (0: any). The Tool Manager relays it to a viewer.
inline constexpr MessageType kDisplaySourceFileMsg{
    typeCode("DISF"),
    makeTemplate({kParamS255, kParamBool, kParamLong, kParamShort, kParamBool, kParamLong,
                  kParamBool, kParamBool, kParamData, kParamLong, kParamType, kParamLong})};
// 'BOOL' 0, search text with its terminator, case-sensitive. Reply: 'BOOL' found.
inline constexpr MessageType kFindInSourceMsg{typeCode("FISV"),
                                              makeTemplate({kParamBool, kParamData, kParamBool})};

// ---- Introspection, watching and lifecycle notices, answered by the Tool
// Manager. Tools that never send these receive nothing new.
// Reply: one 'DATA' tool record per registered tool (ToolListing.h).
inline constexpr MessageType kListToolsMsg{typeCode("TLST"), {}};
// The sender's port receives, on one connection of its own, a 'WCPY' for
// every message the Tool Manager receives, sends or relays whose type
// matches the 'IDNT' filter ('****' for all), and every 'NOTE'.
inline constexpr MessageType kWatchMsg{typeCode("WTCH"), makeTemplate({kParamType})};
// The sender's port receives a 'NOTE' for every lifecycle event.
inline constexpr MessageType kSubscribeNoticesMsg{typeCode("NTFY"), {}};
// Runs a tool's published command as a choice in the workspace's pop-up menus
// does, with the file or engine given here in place of the selection and
// without opening a window: tool name, command name, file path (empty: none),
// engine machine (empty: none), engine port. A refusal's reply carries, after
// its error, an 'S255' line saying why.
inline constexpr MessageType kRunCommandRequestMsg{
    typeCode("RCMD"), makeTemplate({kParamST31, kParamST31, kParamS255, kParamST31, kParamLong})};
// Its refusals besides those of every message (and -305: the tool is not loaded).
inline constexpr int32_t kRunCommandNoSuchTool = -302;
inline constexpr int32_t kRunCommandNoSuchCommand = -402;
inline constexpr int32_t kRunCommandRequirementNotMet = -403;

// ---- Sent by the Tool Manager to watchers and subscribers.
// Event ('TADD' added, 'TREG' re-registered, 'TUNL' unloaded, 'TREM'
// removed, 'PROJ' project changed), the tool's 84-byte ToolInfo (zero for
// 'PROJ'), the project path (empty for tool events).
inline constexpr MessageType kNoticeMsg{typeCode("NOTE"),
                                        makeTemplate({kParamType, kParamData, kParamS255})};
// A watched message (WatchCopy.h): 8-byte time, direction, copies dropped
// so far, the 444-byte wire header, the first bytes of each parameter.
inline constexpr MessageType kWatchCopyMsg{
    typeCode("WCPY"), makeTemplate({kParamData, kParamType, kParamLong, kParamData, kParamData})};

// Every message type above, for a sender that checks a message before it
// goes out (okamsg). A new type is added here too.
inline constexpr const MessageType* kMessageTypes[] = {
    &kShowWindowsMsg,
    &kHideWindowsMsg,
    &kCloseWindowsMsg,
    &kRegisterToolMsg,
    &kUnregisterToolMsg,
    &kLookupToolMsg,
    &kUpdateWindowPositionMsg,
    &kGetWindowPositionMsg,
    &kResolvePathMsg,
    &kAddCommandMsg,
    &kGetProjectFilesMsg,
    &kGetComponentListsMsg,
    &kGetEnginesMsg,
    &kGetPickerDirectoryMsg,
    &kSetPickerDirectoryMsg,
    &kCreateEngineRequestMsg,
    &kGetSourceViewersMsg,
    &kActivateSourceMsg,
    &kDeactivateSourceMsg,
    &kAddProjectPathsMsg,
    &kAddFileMsg,
    &kRemoveFileMsg,
    &kRemoveEngineMsg,
    &kAddEngineMsg,
    &kGetProjectPathMsg,
    &kSourceChangedMsg,
    &kFilesCompiledMsg,
    &kGetHelpDefaultsMsg,
    &kAskFindInSourceMsg,
    &kSetFindTextMsg,
    &kGetFindParamsMsg,
    &kHelpViewerMsg,
    &kHelpMenuItemMsg,
    &kQuitMsg,
    &kIdentifyFileMsg,
    &kIdentifyBatchMsg,
    &kFileAddedMsg,
    &kRunCommandMsg,
    &kDisplaySourceFileMsg,
    &kFindInSourceMsg,
    &kListToolsMsg,
    &kWatchMsg,
    &kSubscribeNoticesMsg,
    &kRunCommandRequestMsg,
    &kNoticeMsg,
    &kWatchCopyMsg,
};

// The entry of kMessageTypes for `code`, or null.
constexpr const MessageType* findMessageType(TypeCode code) {
    for (const MessageType* type : kMessageTypes) {
        if (type->code == code) return type;
    }
    return nullptr;
}
