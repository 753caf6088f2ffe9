// Watch copies: what a watcher of the Tool Manager's traffic receives for
// each message ('WCPY'), and the one-line rendering that okamsg prints.
//
//   param type   content
//   0     'DATA' 8 bytes: when the message was seen, microseconds since the
//                epoch, big-endian
//   1     'IDNT' direction: 'RECV' received, 'SEND' sent, 'RELY' relayed
//   2     'LONG' copies this watcher has lost so far (dropped while its
//                connection was full)
//   3     'DATA' the message's 444-byte wire header (type, parameter types
//                and lengths, sender, destination, reply flag)
//   4     'DATA' the first min(length, kWatchPreviewBytes) bytes of each
//                parameter, back to back
//
// Lifecycle notices ('NOTE', MessageTypes.h) travel on the same connection
// and are rendered here too.
#pragma once

#include <cstdint>
#include <string>

#include "messaging/Message.h"

inline constexpr int kWatchPreviewBytes = 48;
// A text parameter is shown up to this many characters.
inline constexpr int kWatchTextCut = 40;

// Notice events.
inline constexpr TypeCode kNoticeToolAdded = typeCode("TADD");
inline constexpr TypeCode kNoticeToolReregistered = typeCode("TREG");
inline constexpr TypeCode kNoticeToolUnloaded = typeCode("TUNL");
inline constexpr TypeCode kNoticeToolRemoved = typeCode("TREM");
inline constexpr TypeCode kNoticeProjectChanged = typeCode("PROJ");

// The copy of `message` as seen now; `dropped` is the watcher's loss so far.
Message* makeWatchCopy(const Message& message, TypeCode direction, uint32_t dropped);
// A notice of `event` about `tool` (null for the project) or the project at `path`.
Message* makeNotice(TypeCode event, const ToolInfo* tool, const char* path);

// One line for a 'WCPY' or a 'NOTE' (without the newline); "" for anything
// else or a malformed copy.
std::string describeWatchedMessage(const Message& message);
// The type of the message a 'WCPY' carries, or 0.
TypeCode watchedType(const Message& copy);
