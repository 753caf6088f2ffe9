// MessageCenter: the one object through which a program sends and receives
// messages. It keeps the handler table, validates each incoming message
// against its handler's template, calls the handler, builds and sends the
// 'RPLY', delivers messages addressed to its own port without the network,
// and turns a send that wants a reply into a bounded wait for it.
//
// Ownership: sendMessage and dispatchMessage take the message they are given;
// a reply they return belongs to the caller.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "core/HasErrorReporting.h"
#include "messaging/Message.h"
#include "messaging/MessageObserver.h"
#include "messaging/MessageQueue.h"
#include "messaging/MessageTypes.h"
#include "messaging/PeerListener.h"
#include "messaging/TCPTransport.h"
#include "storage/List.h"

class WgtObj;

// What keeps messages flowing while a modal window of the window layer runs;
// it receives every notification of the window. The message center knows no
// windows: the window layer installs its procedure when it starts.
using ModalPollProc = void (*)(WgtObj* window, int code);
// Null removes it.
void setModalPollProc(ModalPollProc procedure);

inline constexpr int32_t kErrorBadParamType = -1;
inline constexpr int32_t kErrorBadParamCount = -2;
inline constexpr int32_t kErrorNoHandler = -3;
inline constexpr int32_t kErrorDuplicateHandler = -4;

class MessageCenter : public HasErrorReporting {
  public:
    // A tool's message center: listens near the Tool Manager's port.
    MessageCenter();
    // The Tool Manager's: listens on `port` or the next free one above it.
    explicit MessageCenter(int port);
    ~MessageCenter() override;

    // Adds a handler for `type`. Returns 0, or -4 for a duplicate: the old
    // handler is kept (also the last error).
    int32_t registerMessageHandler(TypeCode type, const MessageTemplate* msgTemplate,
                                   MessageHandlerProc handlerProc);
    // The same for a message type of the protocol, with its template.
    int32_t registerMessageHandler(const MessageType& type, MessageHandlerProc handlerProc) {
        return registerMessageHandler(type.code, &type.params, handlerProc);
    }
    // The same with any callable taking (Message& message, Message& reply),
    // such as a lambda holding the state it works on.
    int32_t registerMessageHandler(const MessageType& type, MessageHandlerFunction handler);
    // Removes the handler of `type`; -3 when there is none.
    void removeMessageHandler(TypeCode type);
    bool hasHandler(TypeCode type) const { return findHandler(type) != nullptr; }

    // Validates and handles `message` (taking it); returns the reply when the
    // message wanted one.
    Message* dispatchMessage(Message* message);
    // Handles at most one queued message, then waits up to `waitMs` (50 ms
    // unless a caller that waits on its own says otherwise) for one incoming
    // message and queues it. The last error tells whether waiting and
    // accepting worked (0, -1401 or -1403).
    void poll(int waitMs = TCPTransport::kPollTimeoutMs);
    bool hasQueuedMessages() { return queue.messagesAvailable(kWildcardType) > 0; }
    // Sends `message` (taking it). When it wants a reply, waits for the
    // destination's 'RPLY' until its timeout; other messages arriving
    // meanwhile are queued. A message that cannot be delivered, or a request
    // to a peer the listener says not to wait for, returns null at once.
    Message* sendMessage(Message* message);
    // Waits up to `timeoutMs` for the 'RPLY' of `destination` while
    // handling every other message as poll does, so that a program asked a
    // question of its own by the one it waits for still answers it. A reply
    // from another port came too late for an earlier request and is dropped.
    // The reply belongs to the caller; null when none came in time. Handlers
    // must not wait this way themselves: replies carry no request of their
    // own, so an inner wait for the same peer would take the outer one's.
    Message* awaitReplyAnswering(const ToolInfo& destination, uint32_t timeoutMs);
    // Sends a request (taking it) without waiting for its reply, so that
    // several programs can work on requests at once; their replies come
    // from nextReply. False when it could not be delivered, or the peer
    // listener says not to wait for this peer.
    bool sendRequest(Message* message);
    // Waits up to `waitMs` for the next 'RPLY' (the caller owns it) and
    // queues every other message that arrives meanwhile; null when none came.
    // The caller matches a reply to its request by the reply's sender.
    Message* nextReply(int waitMs);
    // A request sent with sendRequest to `peer` ran out its reply time.
    void requestTimedOut(const ToolInfo& peer);
    // While a reply of `peer` is awaited: with a peer listener, probes the
    // peer's port once `nextProbe` is due (and moves it on by
    // kProbeWhileWaitingMs); true when the port refuses, the peer having
    // died: it is then reported unreachable and no reply will come.
    static constexpr uint32_t kProbeWhileWaitingMs = 250;
    bool replyCannotCome(const ToolInfo& peer, uint32_t& nextProbe);
    // Runs `work` once the message being handled has been answered: a
    // handler whose follow-up takes long (the registry's re-identification
    // of the project after 'REGT') lets its sender have the reply first.
    // Outside a handler `work` runs at once.
    void runAfterReply(std::function<void()> work);
    // Runs the work handlers left for after their reply. poll calls it once
    // the reply has left; a caller that dispatches and answers on its own
    // calls it after answering.
    void runWorkAfterReply();
    // Keeps messages flowing while a modal window runs. Modal windows pass
    // every notification here; the window layer's procedure (setModalPollProc)
    // does the polling, and without a window layer there is nothing to do.
    void modalPoll(WgtObj* window, int code);
    // Tickles the port in `toolInfo`; fails with -1402 (also the last error).
    Status tickleTool(const ToolInfo& toolInfo);

    // Shows every message received from or sent to the network to
    // `observer` (null: to nobody); the center does not own it.
    void setObserver(MessageObserver* newObserver) { observer = newObserver; }
    // Tells `listener` (null: nobody) of unreachable, late and heard-from
    // peers; the center does not own it.
    void setPeerListener(PeerListener* listener) { peerListener = listener; }

    ToolInfo& getOwnToolInfo() { return ownToolInfo; }
    MessageQueue& getQueue() { return queue; }
    TCPTransport& getTransport() { return *transport; }

  private:
    explicit MessageCenter(std::unique_ptr<TCPTransport> transport);
    MessageHandler* findHandler(TypeCode type) const;
    int32_t addHandler(std::unique_ptr<MessageHandler> handler);
    // Whether `message` fits the template of `handler` (null: no handler); logged when not.
    static Status validate(const Message& message, const MessageHandler* handler);
    // Validates `message` (the outcome becomes the last error) and, when it
    // passes, calls its handler. Returns the result of the handling.
    int32_t validateAndHandle(Message* message, Message* reply);
    // Handles the oldest queued message, if any, and sends its reply.
    void handleOneQueued();
    // Sends over the network, shown to the observer as `direction`; a peer
    // that refuses or resets is reported to the peer listener.
    bool transmit(const Message& message, TypeCode direction);
    // A message from the network: shown to the observer and the peer
    // listener, then returned.
    Message* received(Message* message);
    // Waits until `timeout` for the reply of `destination`; with a peer
    // listener, stops early when the destination has died.
    Message* awaitReply(const ToolInfo& destination, uint32_t timeout);
    // `incoming` when it is the reply of `destination`; otherwise null, with
    // any other message queued and a reply from elsewhere dropped.
    Message* replyFrom(const ToolInfo& destination, Message* incoming);

    List handlers;                            // owned MessageHandlers, one per type
    MessageQueue queue;                       // incoming messages not yet handled
    ToolInfo ownToolInfo;                     // this program; the sender of all it sends
    std::unique_ptr<TCPTransport> transport;  // the listener and outgoing connections
    MessageObserver* observer = nullptr;      // sees the network traffic, or null
    PeerListener* peerListener = nullptr;     // follows the peers' liveness, or null
    TypeCode typeBeingHandled = 0;            // type of the message whose handler runs, or 0
    std::vector<std::function<void()>> workAfterReply;  // left by handlers for after their reply
    std::deque<std::unique_ptr<Message>> localReplies;  // replies to requests sent to ourselves
};

// The program's message center, created by initializeGlobals.
extern MessageCenter* gMessageCenter;
// Addresses the Tool Manager: only its port is set.
extern ToolInfo gKelvaneToolInfo;
