#include "tools/WatchStream.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "core/Log.h"
#include "core/Platform.h"
#include "messaging/WatchCopy.h"
#include "messaging/WireFormat.h"

namespace {
constexpr const char* kLogSource = "../watch";
}  // namespace

WatchStream::WatchStream(const ToolInfo& watcherInfo, TypeCode typeFilter)
    : watcher(watcherInfo), filter(typeFilter), lastProgress(currentMilliseconds()) {
    connection.reset(openTCPSocket(true));
    if (!connection.isOpen()) return;
    // A small kernel buffer keeps what one watcher can hold bounded too.
    int size = kSendBufferBytes;
    ::setsockopt(connection.get(), SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(uint16_t(watcher.port));
    if (::connect(connection.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 &&
        errno != EINPROGRESS) {
        OKA_LOG("watcher on port %d cannot be reached - %s", watcher.port, std::strerror(errno));
        connection.reset();
    }
}

void WatchStream::offerCopy(const Message& message, TypeCode direction, const ToolInfo& self) {
    if (filter != kWildcardType && filter != message.type) return;
    std::unique_ptr<Message> copy(makeWatchCopy(message, direction, dropped));
    queue(*copy, self);
}

void WatchStream::offer(Message& message, const ToolInfo& self) {
    queue(message, self);
}

void WatchStream::queue(Message& message, const ToolInfo& self) {
    message.sender = self;
    message.destination = watcher;
    std::string bytes = encodeMessage(message);
    if (queued.size() - queuedStart + bytes.size() > kMaxQueuedBytes) {
        ++dropped;
        return;
    }
    if (queuedStart == queued.size()) lastProgress = currentMilliseconds();
    queued += bytes;
    if (queued.size() - queuedStart >= kFlushAtBytes) flush();
}

bool WatchStream::flush() {
    if (failed || !connection.isOpen()) return false;
    while (queuedStart < queued.size()) {
        ssize_t written = ::send(connection.get(), queued.data() + queuedStart,
                                 queued.size() - queuedStart, MSG_DONTWAIT | kSendWithoutSignal);
        if (written > 0) {
            queuedStart += size_t(written);
            lastProgress = currentMilliseconds();
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return int32_t(currentMilliseconds() - lastProgress) < int32_t(kStallLimitMs);
        }
        failed = true;
        return false;
    }
    // Everything went out: start the next queue from the beginning.
    queued.clear();
    queuedStart = 0;
    return true;
}
