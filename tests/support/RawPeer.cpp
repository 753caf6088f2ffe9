#include "RawPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "messaging/WireFormat.h"

namespace {
sockaddr_in loopbackAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(uint16_t(port));
    return address;
}

int connectLoopback(int port) {
    int descriptor = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopbackAddress(port);
    if (connect(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(descriptor);
        return -1;
    }
    return descriptor;
}

// Closes `descriptor` once the receiver has closed its end, or after 3 s.
void closeAfterReceiver(int descriptor) {
    pollfd waiting{descriptor, POLLIN, 0};
    char discarded[64];
    while (poll(&waiting, 1, 3000) > 0 && recv(descriptor, discarded, sizeof discarded, 0) > 0) {
    }
    close(descriptor);
}

int connectAndWrite(int port, const std::string& bytes) {
    int descriptor = connectLoopback(port);
    if (descriptor < 0) return -1;
    send(descriptor, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    shutdown(descriptor, SHUT_WR);
    return descriptor;
}
}  // namespace

std::string wireBytes(const Message& message) {
    return encodeMessage(message);
}

bool sendRawBytesAndHold(int port, const std::string& bytes, int holdMs) {
    int descriptor = connectLoopback(port);
    if (descriptor < 0) return false;
    send(descriptor, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (holdMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
    close(descriptor);
    return true;
}

bool sendRawBytesAndLeave(int port, const std::string& bytes) {
    return sendRawBytesAndHold(port, bytes, 0);
}

bool sendRawBytes(int port, const std::string& bytes) {
    int descriptor = connectAndWrite(port, bytes);
    if (descriptor < 0) return false;
    std::thread(closeAfterReceiver, descriptor).detach();
    return true;
}

bool sendRawBytesAndWait(int port, const std::string& bytes) {
    int descriptor = connectAndWrite(port, bytes);
    if (descriptor < 0) return false;
    closeAfterReceiver(descriptor);
    return true;
}

RawListener::RawListener(int port) : descriptor(socket(AF_INET, SOCK_STREAM, 0)), boundPort(0) {
    sockaddr_in address = loopbackAddress(port);
    if (bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(descriptor, 16) != 0)
        return;
    socklen_t length = sizeof address;
    getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length);
    boundPort = ntohs(address.sin_port);
}

RawListener::~RawListener() {
    close(descriptor);
}

std::string RawListener::receiveOne(int timeoutMs) {
    pollfd waiting{descriptor, POLLIN, 0};
    if (poll(&waiting, 1, timeoutMs) <= 0) return "";
    int connection = accept(descriptor, nullptr, nullptr);
    std::string bytes;
    char buffer[4096];
    ssize_t count;
    while ((count = recv(connection, buffer, sizeof buffer, 0)) > 0)
        bytes.append(buffer, size_t(count));
    close(connection);
    return bytes;
}
