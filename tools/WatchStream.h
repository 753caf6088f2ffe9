// WatchStream: the Tool Manager's connection to one watcher of its traffic.
// The Tool Manager answers everybody from one thread, so nothing here may
// wait: the connection is non-blocking, copies wait in a bounded queue, a
// copy that does not fit is dropped and counted (the count travels in every
// later copy), and a watcher whose connection fails, or that takes nothing
// while copies wait for kStallLimitMs, is given up.
//
// Copies are written in bulk: the main loop flushes every stream once per
// turn, after the message being handled was answered, so a watched round
// trip pays for building its copies and not for a write and a wake-up of
// the watcher per message. A queue holding kFlushAtBytes is written at once,
// which keeps copies flowing while the Tool Manager waits on tools.
#pragma once

#include <cstdint>
#include <string>

#include "messaging/Message.h"
#include "messaging/Socket.h"

class WatchStream {
  public:
    static constexpr size_t kMaxQueuedBytes = 256 * 1024;
    static constexpr int kSendBufferBytes = 64 * 1024;
    static constexpr uint32_t kStallLimitMs = 5000;
    static constexpr size_t kFlushAtBytes = 16 * 1024;

    // Connects, without waiting, to the watcher described by `watcher`;
    // only messages of type `filter` ('****': all) are copied to it.
    WatchStream(const ToolInfo& watcher, TypeCode filter);

    bool isOpen() const { return connection.isOpen(); }
    int port() const { return watcher.port; }
    uint32_t droppedCount() const { return dropped; }

    // Queues a watch copy of `message`, if the filter lets it through.
    void offerCopy(const Message& message, TypeCode direction, const ToolInfo& self);
    // Queues `message` itself (a notice); the filter does not apply.
    void offer(Message& message, const ToolInfo& self);
    // Writes what the connection takes now. False when the watcher is to be
    // given up: its connection failed, or it has taken nothing for too long.
    bool flush();

  private:
    void queue(Message& message, const ToolInfo& self);

    ToolInfo watcher;        // where the copies go
    TypeCode filter;         // the type copied, or '****'
    Socket connection;       // non-blocking, to the watcher's port
    std::string queued;      // wire bytes not yet written, from queuedStart on
    size_t queuedStart = 0;  // bytes of `queued` already written
    uint32_t dropped = 0;    // copies that did not fit
    uint32_t lastProgress;   // when the connection last took bytes (or had none waiting)
    bool failed = false;     // the connection reported an error
};
