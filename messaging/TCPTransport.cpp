#include "messaging/TCPTransport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/ByteOrder.h"
#include "core/Log.h"
#include "core/Platform.h"
#include "core/Utilities.h"
#include "messaging/PortLabel.h"

namespace {
constexpr const char* kLogSource = "../tcpxport";
constexpr int kToolPortRange = 800;

int managerPortCache = 0;                           // the Tool Manager's port, 0 while unknown
volatile std::sig_atomic_t currentConnection = -1;  // connection being read, or -1
volatile std::sig_atomic_t disconnectedBySignal = 0;

bool isTickle(const uint8_t* bytes, long count) {
    return count == 4 && getBigEndian32(bytes) == kTickle;
}

// Milliseconds left before `deadline`, never negative.
int millisecondsUntil(uint32_t deadline) {
    int32_t left = int32_t(deadline - currentMilliseconds());
    return left > 0 ? left : 0;
}

in_addr lookUpLocalhost() {
    in_addr address{};
    address.s_addr = htonl(INADDR_LOOPBACK);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo("localhost", nullptr, &hints, &found) == 0 && found != nullptr) {
        address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
        freeaddrinfo(found);
    }
    return address;
}
}  // namespace

TCPTransport::TCPTransport(int requestedPort) : isManagerProcess(requestedPort > 0) {
    userCheck = std::make_unique<PeerUserCheck>();
    int firstPort =
        isManagerProcess ? requestedPort : getToolManagerPort() + std::rand() % kToolPortRange;
    std::signal(SIGPIPE, SIG_IGN);
    if (openListener(firstPort)) {
        OKA_LOG("opened listener - got port #%d", port);
        hostAddr = lookUpLocalhost();
        OKA_LOG("got the hostAddr = %u", unsigned(ntohl(hostAddr.s_addr)));
    } else {
        hostAddr = lookUpLocalhost();
    }
    lastTickleTime = currentMilliseconds() + uint32_t(std::rand() % 1000);
}

Socket TCPTransport::bindAndListen(int candidate, bool& hopeless) {
    hopeless = true;
    Socket listener(openTCPSocket());
    if (!listener.isOpen()) {
        OKA_LOG("tcptransport: socket create failed - %s", std::strerror(errno));
        return listener;
    }
    int reuse = 1;
    if (setsockopt(listener.get(), SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse) != 0) {
        OKA_LOG("tcptransport: socket REUSEADDR - %s", std::strerror(errno));
        listener.reset();
        return listener;
    }
    hopeless = false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    // Every peer connects to "localhost": no other machine may reach us.
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(uint16_t(candidate));
    // With SO_REUSEADDR two programs may both bind a port that nobody listens
    // on yet; only the first to listen gets it, so a failed listen means
    // the port is taken just as a failed bind does. The system's maximum
    // backlog: with a short queue a fast sender's connections are dropped
    // and its connect stalls for a second.
    if (::bind(listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener.get(), SOMAXCONN) != 0) {
        int error = errno;
        listener.reset();
        errno = error;
    }
    return listener;
}

bool TCPTransport::openListener(int firstPort) {
    int candidate = firstPort;
    bool hopeless;
    Socket listener = bindAndListen(candidate, hopeless);
    while (!listener.isOpen()) {
        if (hopeless) return false;
        if (--bindRetries == 0) {
            OKA_LOG("tcptransport: bind failed - %s", std::strerror(errno));
            return false;
        }
        OKA_LOG("tcptransport: bind retry %d (%s)", kBindAttempts - bindRetries,
                std::strerror(errno));
        listener = bindAndListen(++candidate, hopeless);
    }
    port = candidate;
    if (isManagerProcess) setToolManagerPort(port);
    OKA_LOG("tcptransport: listener socket = %d", listener.get());
    listenSocket = std::move(listener);
    return true;
}

TCPTransport::~TCPTransport() {
    if (listenSocket.isOpen()) ::shutdown(listenSocket.get(), SHUT_RDWR);
    // The last messages (a Tool Manager's 'QUIT' to every tool) are read
    // only while this end is open: they get a short while to be read.
    uint32_t deadline = currentMilliseconds() + kFinalLingerMs;
    for (closeReadConnections();
         !lingering.empty() && int32_t(deadline - currentMilliseconds()) > 0;
         closeReadConnections()) {
        std::vector<pollfd> waiting;
        for (const LingeringConnection& each : lingering)
            waiting.push_back({each.connection.get(), POLLIN, 0});
        ::poll(waiting.data(), waiting.size(), millisecondsUntil(deadline));
    }
}

bool TCPTransport::cutConnectionBeingRead() {
    int connection = currentConnection;
    if (connection < 0) return false;
    ::shutdown(connection, SHUT_RDWR);
    disconnectedBySignal = 1;
    return true;
}

Result<bool> TCPTransport::listenerReadable(int timeoutMs) {
    pollfd listener{listenerDescriptor(), POLLIN, 0};  // a negative descriptor is only waited out
    for (;;) {
        int result = ::poll(&listener, 1, timeoutMs);
        if (result >= 0) return (listener.revents & POLLIN) != 0;
        OKA_LOG("tcptransport: poll result = %d", result);
        if (errno == EINTR) continue;
        OKA_LOG("tcptransport: failed poll - %s", std::strerror(errno));
        return Status(kErrorWaitFailed);
    }
}

Result<Message*> TCPTransport::acceptMessage() {
    Socket connection(::accept(listenSocket.get(), nullptr, nullptr));
    if (!connection.isOpen()) {
        OKA_LOG("tcptransport: failed accept - %s", std::strerror(errno));
        return Status(kErrorAcceptFailed);
    }
    if (userCheck && !userCheck->admit(connection.get())) return nullptr;
    currentConnection = connection.get();
    if (gLogLevel > 0) OKA_LOG("poll: starting to receive a message");
    Message* message = getMessage(connection.get());
    if (message != nullptr && message->type == kReplyMessage) awaitingReply.reset();
    currentConnection = -1;
    if (disconnectedBySignal) {
        disconnectedBySignal = 0;
        OKA_LOG("disconnect by signal handler");
    }
    return message;
}

Result<Message*> TCPTransport::poll(int timeoutMs) {
    closeReadConnections();
    Result<bool> readable = listenerReadable(timeoutMs);
    if (!readable.ok()) return readable.status();
    if (readable.value()) return acceptMessage();
    if (!isManagerProcess &&
        int32_t(currentMilliseconds() - lastTickleTime) > int32_t(kToolTickleIntervalMs)) {
        // The periodic tickle only keeps the Tool Manager aware of us; a
        // failure is logged and changes nothing here.
        (void)ticklePort(getToolManagerPort());
    }
    return nullptr;
}

Message* TCPTransport::getMessage(int connection) {
    uint32_t deadline = currentMilliseconds() + kReceiveBudgetMs;
    uint8_t header[kWireHeaderSize];
    long received = 0;
    if (!receiveTCPData(connection, header, kWireHeaderSize, deadline, &received)) {
        if (!isTickle(header, received)) OKA_LOG("failed reading header");
        return nullptr;
    }
    auto message = std::make_unique<Message>();
    DeclaredParams declared;
    switch (decodeMessageHeader(header, *message, declared)) {
        case HeaderCheck::ok:
            break;
        case HeaderCheck::badParamCount:
            OKA_LOG("discarding message with %d params", int(declared.count));
            return nullptr;
        case HeaderCheck::badParamLength:
            OKA_LOG("discarding message with a negative param length");
            return nullptr;
        case HeaderCheck::tooLarge:
            OKA_LOG("discarding message larger than %d bytes a param or %ld in all",
                    int(kMaxWireParamLength), long(kMaxWireMessageLength));
            return nullptr;
    }
    OKA_LOG("read message type %s", TypeIdentToCStr(message->type));
    for (int i = 0; i < declared.count; ++i) {
        long length = declared.lengths[i];
        auto block = std::make_unique<uint8_t[]>(size_t(length > 0 ? length : 1));
        if (!receiveTCPData(connection, block.get(), length, deadline)) {
            OKA_LOG("failed reading param #%d", i);
            return nullptr;
        }
        message->addParam(declared.types[i], block.get(), length);
        if (gLogLevel > 0) OKA_LOG("read param #%d, length %ld", i, length);
    }
    return message.release();
}

namespace {
// Waits until the connect in progress on `socket` ends or `timeoutMs` pass;
// its error (0 when connected), ETIMEDOUT when the time ran out.
int awaitConnect(int socket, int timeoutMs) {
    uint32_t deadline = currentMilliseconds() + uint32_t(timeoutMs);
    for (;;) {
        pollfd waiting{socket, POLLOUT, 0};
        int ready = ::poll(&waiting, 1, millisecondsUntil(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return ready < 0 ? errno : ETIMEDOUT;
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length);
        return error;
    }
}

// Connects `socket` to `address` within `timeoutMs`; false with errno set
// (ETIMEDOUT when the receiver never took the connection). The socket is
// left blocking, as the rest of the transport expects.
bool connectWithin(int socket, const sockaddr_in& address, int timeoutMs) {
    int flags = ::fcntl(socket, F_GETFL);
    ::fcntl(socket, F_SETFL, flags | O_NONBLOCK);
    int error = ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0
                    ? 0
                    : errno;
    if (error == EINPROGRESS) error = awaitConnect(socket, timeoutMs);
    ::fcntl(socket, F_SETFL, flags);
    errno = error;
    return error == 0;
}
}  // namespace

Socket TCPTransport::connectTo(int destinationPort, ConnectFailure& failure, const char* context) {
    failure = ConnectFailure::none;
    Socket connection(openTCPSocket());
    if (!connection.isOpen()) {
        OKA_LOG("got error from socket: %s%s", std::strerror(errno), context);
        sleep(kSocketFailurePauseSeconds);
        failure = ConnectFailure::socket;
        return connection;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr = hostAddr;
    address.sin_port = htons(uint16_t(destinationPort));
    if (!connectWithin(connection.get(), address, kConnectTimeoutMs)) {
        failure = ConnectFailure::connect;
        connection.reset();
    }
    return connection;
}

Status TCPTransport::writeMessage(int connection, const Message& message) {
    // Header and parameters leave in one gathered write, so a message is not
    // split into small segments that wait for each other's acknowledgement.
    uint8_t header[kWireHeaderSize];
    encodeMessageHeader(message, header);
    std::vector<iovec> parts{{header, kWireHeaderSize}};
    for (int i = 0; i < message.paramCount; ++i) {
        parts.push_back(
            {const_cast<uint8_t*>(message.getParam(i)), size_t(message.getParamLength(i))});
    }
    long sent = sendTCPData(connection, parts);
    // A peer that reset the connection is as gone as one that refused it.
    int sendError = errno;
    Status failure(sendError == ECONNRESET || sendError == EPIPE ? kErrorPeerGone
                                                                 : kErrorSendFailed);
    std::string label = portLabel(message.destination.port);
    if (sent < kWireHeaderSize) {
        OKA_LOG("sendMessage: sending header failed: error = %s%s", std::strerror(sendError),
                label.c_str());
        return failure;
    }
    OKA_LOG("sendMessage: sent message of type %s", TypeIdentToCStr(message.type));
    long end = kWireHeaderSize;
    for (int i = 0; i < message.paramCount; ++i) {
        end += message.getParamLength(i);
        if (sent < end) {
            OKA_LOG("sendMessage: sending param #%d failed: error = %s%s", i,
                    std::strerror(sendError), label.c_str());
            return failure;
        }
        if (gLogLevel >= 2) {
            OKA_LOG("sendMessage: sent param #%d, length %ld", i, message.getParamLength(i));
        }
    }
    return kSuccess;
}

Status TCPTransport::sendMessage(const Message& message) {
    int destinationPort = message.destination.port;
    ConnectFailure failure;
    Socket connection = connectTo(destinationPort, failure, "");
    if (failure == ConnectFailure::socket) {
        OKA_LOG("sendMessage: socket create failed - %s%s", std::strerror(errno),
                portLabel(destinationPort).c_str());
        return Status(kErrorSendFailed);
    }
    if (failure == ConnectFailure::connect) {
        int error = errno;
        OKA_LOG("sendMessage: socket connect failed - for port %d error %s%s", destinationPort,
                std::strerror(error), portLabel(destinationPort).c_str());
        return Status(error == ECONNREFUSED ? kErrorPeerGone : kErrorSendFailed);
    }
    if (Status written = writeMessage(connection.get(), message); !written.ok()) return written;
    // The Tool Manager never waits for a tool: a stalled tool must not stall it.
    if (isManagerProcess) {
        lastSentConnection = connection.get();
        lastSentDropped = false;
        lingerUntilRead(std::move(connection));
    } else if (message.wantsReply) {
        keepUntilReply(std::move(connection));
    } else {
        awaitReceiverClose(connection.get());
    }
    return kSuccess;
}

void TCPTransport::keepUntilReply(Socket connection) {
    ::shutdown(connection.get(), SHUT_WR);
    // An earlier request still without its reply is given up.
    awaitingReply = std::move(connection);
}

void TCPTransport::lingerUntilRead(Socket connection) {
    ::shutdown(connection.get(), SHUT_WR);
    if (lingering.size() >= kMaxLingeringConnections) lingering.erase(lingering.begin());
    lingering.push_back({std::move(connection), currentMilliseconds() + kLingerMs});
}

void TCPTransport::closeReadConnections() {
    uint32_t now = currentMilliseconds();
    std::erase_if(lingering, [this, now](const LingeringConnection& each) {
        char discarded[64];
        ssize_t count = ::recv(each.connection.get(), discarded, sizeof discarded, MSG_DONTWAIT);
        bool open = count > 0 || (count < 0 && (errno == EAGAIN || errno == EINTR));
        bool done = !open || int32_t(now - each.deadline) >= 0;
        if (done && each.connection.get() == lastSentConnection) {
            // A receiver that ends with the message unread resets the connection.
            lastSentDropped = count < 0 && errno == ECONNRESET;
            lastSentConnection = -1;
        }
        return done;
    });
}

void TCPTransport::awaitReceiverClose(int connection) {
    ::shutdown(connection, SHUT_WR);
    uint32_t deadline = currentMilliseconds() + kReceiveBudgetMs;
    char discarded[64];
    for (;;) {
        pollfd waiting{connection, POLLIN, 0};
        int ready = ::poll(&waiting, 1, millisecondsUntil(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return;
        ssize_t count = ::recv(connection, discarded, sizeof discarded, MSG_DONTWAIT);
        if (count == 0 || (count < 0 && errno != EINTR && errno != EAGAIN)) return;
    }
}

Status TCPTransport::ticklePort(int tickledPort) {
    if (gLogLevel >= 2) OKA_LOG("sending tickle at port %d", tickledPort);
    bool sent = false;
    ConnectFailure failure;
    Socket connection = connectTo(tickledPort, failure, " while tickling");
    std::string label = portLabel(tickledPort);
    if (failure == ConnectFailure::socket) {
        OKA_LOG("sendMessage: socket create failed: %s while tickling%s", std::strerror(errno),
                label.c_str());
    } else if (failure == ConnectFailure::connect) {
        OKA_LOG("sendMessage: socket connect failed: %s while tickling%s", std::strerror(errno),
                label.c_str());
    } else {
        uint8_t tickle[4];
        putBigEndian32(tickle, kTickle);
        sent = sendTCPData(connection.get(), {{tickle, sizeof tickle}}) == sizeof tickle;
        if (!sent) {
            OKA_LOG("sendMessage: sending msgType failed: error = %s%s", std::strerror(errno),
                    label.c_str());
        }
        if (sent && isManagerProcess) {
            lingerUntilRead(std::move(connection));
        } else if (sent) {
            awaitReceiverClose(connection.get());
        }
    }
    connection.reset();
    if (!sent) OKA_LOG("failed to send tickle%s", label.c_str());
    lastTickleTime = currentMilliseconds();
    return sent ? kSuccess : Status(kErrorTickleFailed);
}

long TCPTransport::sendTCPData(int descriptor, std::vector<iovec> parts) {
    long length = 0;
    for (const iovec& part : parts) length += long(part.iov_len);
    long sent = 0;
    size_t first = 0;  // the first part not yet written completely
    while (sent < length) {
        msghdr gathered{};
        gathered.msg_iov = parts.data() + first;
        gathered.msg_iovlen = parts.size() - first;
        ssize_t result = ::sendmsg(descriptor, &gathered, kSendWithoutSignal);
        if (result < 0 && errno == EINTR) continue;
        if (result <= 0) {
            int error = errno;
            OKA_LOG(
                "sendTCPData, failed to send all packets, only sent %ld instead of %ld "
                "last error = %s",
                sent, length, std::strerror(error));
            errno = error;  // the caller tells a reset peer from other failures
            break;
        }
        sent += result;
        for (size_t written = size_t(result); first < parts.size() && written > 0;) {
            size_t taken = std::min(written, parts[first].iov_len);
            parts[first].iov_base = static_cast<uint8_t*>(parts[first].iov_base) + taken;
            parts[first].iov_len -= taken;
            written -= taken;
            if (parts[first].iov_len == 0) ++first;
        }
    }
    return sent;
}

bool TCPTransport::receiveTCPData(int descriptor, void* data, long length, uint32_t deadline,
                                  long* receivedOut) {
    auto* bytes = static_cast<uint8_t*>(data);
    long received = 0;
    int error = 0;
    // Read what has already arrived without waiting; only when the socket is
    // empty wait for more, and never past the deadline.
    while (received < length) {
        ssize_t result =
            ::recv(descriptor, bytes + received, size_t(length - received), MSG_DONTWAIT);
        if (result > 0) {
            received += result;
            continue;
        }
        if (result == 0) break;  // the sender closed the connection
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            error = errno;
            break;
        }
        pollfd waiting{descriptor, POLLIN, 0};
        int ready = ::poll(&waiting, 1, millisecondsUntil(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) {
            error = ready == 0 ? ETIMEDOUT : errno;
            break;
        }
    }
    if (receivedOut != nullptr) *receivedOut = received;
    if (received == length) return true;
    if (!isTickle(bytes, received)) {
        OKA_LOG(
            "receiveTCPData, failed to receive all packets, only received %ld instead of %ld "
            "last error = %s",
            received, length, error ? std::strerror(error) : "none");
    }
    return false;
}

std::string TCPTransport::portFilePath() {
    char directory[kPathSize];
    // A directory that cannot be made shows when the file cannot be opened.
    (void)getValidPreferencesDirectory(directory, sizeof directory);
    return std::string(directory) + "okaport";
}

int TCPTransport::getToolManagerPort() {
    if (managerPortCache != 0) return managerPortCache;
    std::string path = portFilePath();
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) {
        OKA_LOG("Failed opening %s", path.c_str());
        return 0;
    }
    int value = 0;
    if (std::fscanf(file, "%d", &value) == 1) managerPortCache = value;
    std::fclose(file);
    return managerPortCache;
}

void TCPTransport::setToolManagerPort(int newPort) {
    managerPortCache = newPort;
    std::string path = portFilePath();
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        OKA_LOG("Failed opening %s", path.c_str());
        return;
    }
    std::fprintf(file, "%d\n", newPort);
    std::fclose(file);
}

void TCPTransport::forgetToolManagerPort() {
    managerPortCache = 0;
}
