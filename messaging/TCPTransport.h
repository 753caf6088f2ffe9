// TCPTransport: carries messages between the programs of the environment on
// the local host. Every program listens on its own port; a sender opens a new
// connection for each message, writes it (see WireFormat.h) and closes it.
// Replies are ordinary messages sent back on a new connection. Tickles (the
// four bytes 'TIKL' alone on a connection) probe liveness.
//
// The Tool Manager listens on its well-known port (or the next free one) and
// publishes it in the port file "okaport" of the preferences directory;
// tools bind a port in the 800 ports above it.
//
// Reading a message never blocks indefinitely: the whole message must arrive
// within kReceiveBudgetMs, or the connection is dropped.
//
// Every listener is bound to the loopback address only, and refuses
// connections of other local users before reading them (PeerUserCheck), so
// every sender keeps its end of a connection open until the receiver has
// read the message: a peer that has closed first can no longer be
// identified. A tool's message that wants a reply keeps its connection
// until the reply comes (the receiver has read it by then), so the sender
// can wait for the reply at once; any other message waits for the receiver
// to close the connection. The Tool Manager never waits on a tool: it keeps
// its sent connections aside and closes each one when the tool has closed
// its end, or after kLingerMs.
#pragma once

#include <netinet/in.h>
#include <sys/uio.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Result.h"
#include "messaging/Message.h"
#include "messaging/PeerUserCheck.h"
#include "messaging/Socket.h"
#include "messaging/WireFormat.h"

inline constexpr int32_t kErrorWaitFailed = -1401;    // waiting for connections failed
inline constexpr int32_t kErrorTickleFailed = -1402;  // a tickle was not delivered
inline constexpr int32_t kErrorAcceptFailed = -1403;  // accepting a connection failed
// A message was not delivered: nothing listens on its port, or the receiver
// reset the connection (it is gone)...
inline constexpr int32_t kErrorPeerGone = -1404;
// ...or it failed otherwise (no socket, a send error, no listener yet).
inline constexpr int32_t kErrorSendFailed = -1405;

class TCPTransport {
  public:
    static constexpr int kBindAttempts = 100;
    static constexpr int kPollTimeoutMs = 50;
    static constexpr int kReceiveBudgetMs = 2000;
    // A receiver that has stopped accepting (a stopped tool whose queue of
    // connections is full) drops new connections silently; connecting then
    // gives up after this long instead of the system's minutes.
    static constexpr int kConnectTimeoutMs = 2000;
    static constexpr uint32_t kToolTickleIntervalMs = 60000;
    // Sent connections the Tool Manager keeps until their reader closes, at
    // most this many (then the oldest is closed) and this long: a tool that
    // reads a connection whose sender has closed refuses it, so a tool busy
    // for a while still gets what was sent meanwhile.
    static constexpr size_t kMaxLingeringConnections = 256;
    static constexpr uint32_t kLingerMs = 15000;
    // How long a transport that goes away waits for its last sent
    // connections to be read.
    static constexpr uint32_t kFinalLingerMs = 3000;

    // A port above 0 makes this the Tool Manager's transport; 0 picks a port
    // near the Tool Manager's. Failures are logged and leave no listener.
    explicit TCPTransport(int port);
    ~TCPTransport();

    // Waits at most `timeoutMs` for one connection and reads it. The value
    // is the message (the caller owns it), or null when none came or it was
    // refused or unreadable; failures to wait or accept are -1401 and -1403.
    Result<Message*> poll(int timeoutMs = kPollTimeoutMs);
    // Delivers `message` to the port of its destination; keeps no ownership.
    // Fails (logged) with kErrorPeerGone or kErrorSendFailed.
    Status sendMessage(const Message& message);
    // Sends a tickle; fails with -1402.
    Status ticklePort(int port);
    // Reads one message from `connection`; null when it is broken or invalid (logged).
    Message* getMessage(int connection);

    // True once the receiver of the last message the Tool Manager sent has
    // ended without reading it (its process died): no reply will come.
    bool lastSentWasDropped() const { return lastSentDropped; }

    int getPort() const { return port; }
    // The listening socket, for a loop that waits on it with other input; -1 without one.
    int listenerDescriptor() const { return listenSocket.isOpen() ? listenSocket.get() : -1; }

    // The Tool Manager's port, read from the port file at first need.
    static int getToolManagerPort();
    // Records the Tool Manager's port and writes the port file.
    static void setToolManagerPort(int port);
    // Forgets the cached port, so the next getToolManagerPort reads the file.
    static void forgetToolManagerPort();
    static std::string portFilePath();
    // For an interrupt handler: cuts the connection being read, if any (the
    // read then fails and the connection is dropped). True when one was cut.
    // Safe to call from a signal handler.
    static bool cutConnectionBeingRead();

  private:
    // Writes `parts` in order, normally in one system call; returns the
    // number of bytes written, less than their total on failure (logged).
    static long sendTCPData(int descriptor, std::vector<iovec> parts);
    // Reads exactly `length` bytes before `deadline` (currentMilliseconds).
    // `received`, when given, is set to the bytes read either way.
    static bool receiveTCPData(int descriptor, void* data, long length, uint32_t deadline,
                               long* received = nullptr);

    // A failed socket() is followed by a pause before the program goes on.
    static constexpr unsigned kSocketFailurePauseSeconds = 5;
    enum class ConnectFailure { none, socket, connect };

    bool openListener(int firstPort);
    // A socket listening on `candidate`, or a closed one: errno says why,
    // and `hopeless` when no other port would do better (logged).
    static Socket bindAndListen(int candidate, bool& hopeless);
    // Ends a sent connection: the receiver closes it once it has read
    // everything; until then the sender's end stays open so that the
    // receiver can still identify its user. Waits at most kReceiveBudgetMs.
    static void awaitReceiverClose(int connection);
    // Keeps the connection of a request open until its reply arrives.
    void keepUntilReply(Socket connection);
    // The Tool Manager's end of a sent connection: kept, without waiting,
    // until the receiver has read it and closed its end.
    void lingerUntilRead(Socket connection);
    // Closes the kept connections whose receiver has closed or whose time is up.
    void closeReadConnections();
    // A connection to `port` on localhost; closed when `failure` is set. A
    // failed socket() is logged (with `context` appended) and paused after.
    Socket connectTo(int port, ConnectFailure& failure, const char* context);
    // Sends the header and parameters of `message` on `connection`.
    static Status writeMessage(int connection, const Message& message);
    // Waits for the listener to become readable; -1401 when waiting failed.
    Result<bool> listenerReadable(int timeoutMs);
    // Accepts one connection and reads its message, when its user may send.
    Result<Message*> acceptMessage();

    Socket listenSocket;                       // the bound, listening socket
    in_addr hostAddr{};                        // address of "localhost"
    int bindRetries = kBindAttempts;           // bind attempts left
    int port = 0;                              // port of the listener
    bool isManagerProcess;                     // created with a port above 0
    uint32_t lastTickleTime;                   // when this program last tickled
    std::unique_ptr<PeerUserCheck> userCheck;  // refuses other users
    Socket awaitingReply;                      // the last request's connection, until its reply
    struct LingeringConnection {
        Socket connection;  // sent and shut for writing
        uint32_t deadline;  // closed by then at the latest
    };
    std::vector<LingeringConnection>
        lingering;                 // the Tool Manager's sent connections, oldest first
    int lastSentConnection = -1;   // the last of them while it is kept, else -1
    bool lastSentDropped = false;  // its receiver ended without reading it
};
