// MessageObserver: sees every message that a message center takes from the
// network or puts on it, for a live view of the traffic. Local deliveries
// (a program's messages to itself) are not seen. Observers must not send
// through the message center they observe.
#pragma once

#include "core/TypeCode.h"

class Message;

// How a seen message moved.
inline constexpr TypeCode kMessageReceived = typeCode("RECV");
inline constexpr TypeCode kMessageSent = typeCode("SEND");
// Sent while handling a message of the same type: passed on for another program.
inline constexpr TypeCode kMessageRelayed = typeCode("RELY");

class MessageObserver {
  public:
    virtual ~MessageObserver() = default;
    // `direction` is kMessageReceived, kMessageSent or kMessageRelayed.
    virtual void messageSeen(const Message& message, TypeCode direction) = 0;
    // The message center is about to wait for a reply: a moment to write
    // out what was seen, since nothing else runs until the reply comes.
    virtual void waitingForReply() {}
};
