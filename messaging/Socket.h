// Socket: owns one socket descriptor and closes it when it goes away.
#pragma once

#include <unistd.h>

#include <utility>

class Socket {
  public:
    Socket() = default;
    explicit Socket(int openDescriptor) : descriptor(openDescriptor) {}
    Socket(Socket&& other) noexcept : descriptor(std::exchange(other.descriptor, -1)) {}
    Socket& operator=(Socket&& other) noexcept {
        if (this != &other) reset(std::exchange(other.descriptor, -1));
        return *this;
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket() { reset(); }

    int get() const { return descriptor; }
    bool isOpen() const { return descriptor >= 0; }
    void reset(int replacement = -1) {
        if (descriptor >= 0) ::close(descriptor);
        descriptor = replacement;
    }

  private:
    int descriptor = -1;  // the owned descriptor, or -1
};
