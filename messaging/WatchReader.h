// WatchReader: the watcher's end of the Tool Manager's watch stream. It asks
// with 'WTCH' and then takes, on its own listener, two connections: the
// reply, and the stream, which opens with a copy of the 'WTCH' and stays
// open. Messages are then read one after the other from the stream.
#pragma once

#include <cstdint>
#include <memory>

#include "messaging/Message.h"
#include "messaging/MessageCenter.h"
#include "messaging/Socket.h"

// start() results besides the reply's own error code.
inline constexpr int32_t kWatchNoToolManager = -1420;  // nothing listens on the port
inline constexpr int32_t kWatchNoReply = -1421;        // no reply or no stream in time

class WatchReader {
  public:
    // Listens with `center`'s listener; `center` outlives the reader.
    explicit WatchReader(MessageCenter& messageCenter) : center(messageCenter) {}

    // Asks the Tool Manager on `port` for copies of messages of `filter`
    // ('****': all) and waits up to `timeoutMs` for its reply and the stream.
    int32_t start(int port, TypeCode filter, uint32_t timeoutMs);
    // The next message of the stream, waiting up to `timeoutMs`; null when
    // none came or the stream ended (isClosed).
    std::unique_ptr<Message> next(int timeoutMs);
    bool isClosed() const { return closed; }

  private:
    MessageCenter& center;
    Socket stream;                   // the open stream, once it came
    std::unique_ptr<Message> first;  // the stream's first message, not yet taken
    bool closed = false;             // the stream ended
};
