// A peer that speaks the wire protocol with plain sockets, independent of
// TCPTransport, so tests can send exact bytes and read what was sent.
#pragma once

#include <cstdint>
#include <string>

#include "messaging/Message.h"

// The bytes of `message` as they go on the wire.
std::string wireBytes(const Message& message);
// Connects to `port` on loopback and writes `bytes`; false if it cannot
// connect. Like the environment's own senders it keeps its end open until
// the receiver has closed (at most 3 s), so that a Tool Manager can tell
// its user; sendRawBytes returns at once and leaves that wait to a
// background thread, sendRawBytesAndWait waits itself.
bool sendRawBytes(int port, const std::string& bytes);
bool sendRawBytesAndWait(int port, const std::string& bytes);
// Connects, writes `bytes` and keeps the connection open for `holdMs`.
bool sendRawBytesAndHold(int port, const std::string& bytes, int holdMs);
// Connects, writes `bytes` and closes at once, before the receiver has read.
bool sendRawBytesAndLeave(int port, const std::string& bytes);

// A listening socket on `port` of loopback (0: a free one) that collects
// one connection; port() is 0 when `port` was taken.
class RawListener {
  public:
    explicit RawListener(int port = 0);
    ~RawListener();
    int port() const { return boundPort; }
    // Everything sent on the next connection, or "" after `timeoutMs`.
    std::string receiveOne(int timeoutMs = 3000);

  private:
    int descriptor;
    int boundPort;
};
