#include "messaging/WatchReader.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

#include "core/Platform.h"
#include "messaging/MessageTypes.h"

namespace {
// Waits up to `timeoutMs` for `descriptor` to become readable.
bool waitReadable(int descriptor, int timeoutMs) {
    pollfd waiting{descriptor, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&waiting, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}
}  // namespace

int32_t WatchReader::start(int port, TypeCode filter, uint32_t timeoutMs) {
    TCPTransport& transport = center.getTransport();
    Message request(kWatchMsg.code, nullptr);
    request.addTypeParam(filter);
    request.destination.port = port;
    request.sender = center.getOwnToolInfo();
    request.wantsReply = 1;
    request.replyTimeout = timeoutMs;
    if (Status sent = transport.sendMessage(request); !sent.ok()) {
        return sent.code() == kErrorPeerGone ? kWatchNoToolManager : kWatchNoReply;
    }

    uint32_t deadline = currentMilliseconds() + timeoutMs;
    bool replied = false;
    while (!(replied && stream.isOpen())) {
        int left = int32_t(deadline - currentMilliseconds());
        if (left <= 0 || !waitReadable(transport.listenerDescriptor(), left)) return kWatchNoReply;
        Socket connection(::accept(transport.listenerDescriptor(), nullptr, nullptr));
        if (!connection.isOpen()) continue;
        std::unique_ptr<Message> message(transport.getMessage(connection.get()));
        if (!message) continue;
        if (message->type == kReplyMessage) {
            if (int32_t error = message->getLongParam(0)) return error;
            replied = true;
        } else if (message->type == kWatchCopyMsg.code && !stream.isOpen()) {
            stream = std::move(connection);
            first = std::move(message);
        }
    }
    return 0;
}

std::unique_ptr<Message> WatchReader::next(int timeoutMs) {
    if (first) return std::move(first);
    if (closed || !stream.isOpen() || !waitReadable(stream.get(), timeoutMs)) return nullptr;
    std::unique_ptr<Message> message(center.getTransport().getMessage(stream.get()));
    if (!message) {
        // A stream that fails in the middle of a message cannot be resynchronised.
        closed = true;
        stream.reset();
    }
    return message;
}
