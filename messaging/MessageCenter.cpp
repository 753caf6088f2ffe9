#include "messaging/MessageCenter.h"

#include <algorithm>
#include <utility>

#include "core/Log.h"
#include "core/Platform.h"
#include "core/Utilities.h"
#include "messaging/PortLabel.h"

namespace {
constexpr const char* kLogSource = "../msgcenter";
ModalPollProc modalPollProc = nullptr;  // the window layer's, once it runs
}  // namespace

void setModalPollProc(ModalPollProc procedure) {
    modalPollProc = procedure;
}

MessageCenter* gMessageCenter = nullptr;
ToolInfo gKelvaneToolInfo;

MessageCenter::MessageCenter() : MessageCenter(std::make_unique<TCPTransport>(0)) {}

MessageCenter::MessageCenter(int port) : MessageCenter(std::make_unique<TCPTransport>(port)) {}

MessageCenter::MessageCenter(std::unique_ptr<TCPTransport> boundTransport)
    : handlers(kDefaultChunkSize, true, false), transport(std::move(boundTransport)) {
    ownToolInfo.port = transport->getPort();
}

MessageCenter::~MessageCenter() = default;

MessageHandler* MessageCenter::findHandler(TypeCode type) const {
    MessageHandler key(type);
    return static_cast<MessageHandler*>(handlers.findItem(&key));
}

int32_t MessageCenter::registerMessageHandler(TypeCode type, const MessageTemplate* msgTemplate,
                                              MessageHandlerProc handlerProc) {
    return addHandler(std::make_unique<MessageHandler>(type, msgTemplate, handlerProc));
}

int32_t MessageCenter::registerMessageHandler(const MessageType& type,
                                              MessageHandlerFunction handler) {
    return addHandler(
        std::make_unique<MessageHandler>(type.code, &type.params, std::move(handler)));
}

int32_t MessageCenter::addHandler(std::unique_ptr<MessageHandler> handler) {
    Status outcome;
    if (findHandler(handler->messageType) != nullptr) {
        OKA_LOG("registering duplicate handler type %s", TypeIdentToCStr(handler->messageType));
        outcome = Status(kErrorDuplicateHandler);
    } else {
        handlers.include(handler.release());
    }
    return remember(outcome).code();
}

void MessageCenter::removeMessageHandler(TypeCode type) {
    MessageHandler key(type);
    Item* removed = handlers.remove(&key);
    (void)remember(removed != nullptr ? kSuccess : Status(kErrorNoHandler));
    delete removed;
}

Status MessageCenter::validate(const Message& message, const MessageHandler* handler) {
    if (handler == nullptr) {
        OKA_LOG("handler not found for incoming message %s", TypeIdentToCStr(message.type));
        return Status(kErrorNoHandler);
    }
    const MessageTemplate& expected = handler->msgTemplate;
    if (expected.paramCount != message.paramCount) {
        OKA_LOG(
            "invalid number of params for incoming message, expected %d and got %d for "
            "message %s",
            int(expected.paramCount), int(message.paramCount), TypeIdentToCStr(message.type));
        return Status(kErrorBadParamCount);
    }
    for (int i = 0; i < message.paramCount; ++i) {
        if (message.paramTypes[i] != expected.paramTypes[i]) {
            OKA_LOG("invalid param for incoming message");
            return Status(kErrorBadParamType);
        }
    }
    return kSuccess;
}

int32_t MessageCenter::validateAndHandle(Message* message, Message* reply) {
    MessageHandler* handler = findHandler(message->type);
    if (Status valid = remember(validate(*message, handler)); !valid.ok()) return valid.code();
    return handler->handle(*message, *reply);
}

Message* MessageCenter::dispatchMessage(Message* message) {
    if (message == nullptr) return nullptr;
    auto reply = std::make_unique<Message>(kReplyMessage, nullptr);
    bool wantsReply = message->wantsReply != 0;
    reply->addLongParam(0, kParamError);
    reply->destination = message->sender;

    TypeCode outerType = std::exchange(typeBeingHandled, message->type);
    int32_t result = validateAndHandle(message, reply.get());
    typeBeingHandled = outerType;
    delete message;

    if (result != 0) reply->changeLongParam(0, result, kParamError);
    reply->wantsReply = 0;
    return wantsReply ? reply.release() : nullptr;
}

void MessageCenter::poll(int waitMs) {
    handleOneQueued();
    Result<Message*> incoming = remember(transport->poll(waitMs));
    if (incoming.ok() && incoming.value() != nullptr)
        queue.enqueueMessage(received(incoming.value()));
}

void MessageCenter::handleOneQueued() {
    if (queue.messagesAvailable(kWildcardType) == 0) return;
    delete sendMessage(dispatchMessage(queue.dequeueMessage(kWildcardType).valueOr(nullptr)));
    runWorkAfterReply();
}

bool MessageCenter::transmit(const Message& message, TypeCode direction) {
    if (observer != nullptr) observer->messageSeen(message, direction);
    Status sent = transport->sendMessage(message);
    // Nobody there will ever answer: the peer listener unloads it now.
    if (sent.code() == kErrorPeerGone && peerListener != nullptr) {
        peerListener->peerUnreachable(message.destination);
    }
    return sent.ok();
}

Message* MessageCenter::received(Message* message) {
    if (message == nullptr) return nullptr;
    if (observer != nullptr) observer->messageSeen(*message, kMessageReceived);
    if (peerListener != nullptr) peerListener->peerHeardFrom(message->sender);
    return message;
}

Message* MessageCenter::sendMessage(Message* message) {
    if (message == nullptr) return nullptr;
    bool wantsReply = message->wantsReply != 0;
    uint32_t timeout = message->replyTimeout;
    message->sender = ownToolInfo;
    if (message->destination.port == ownToolInfo.port) {
        Message* reply = dispatchMessage(message);
        runWorkAfterReply();
        return reply;
    }

    std::unique_ptr<Message> sent(message);
    const ToolInfo& destination = sent->destination;
    if (wantsReply && peerListener != nullptr && !peerListener->mayAwaitReply(destination)) {
        return nullptr;
    }
    // A failed send ends here: no wait for a reply that cannot come.
    if (!transmit(*sent, sent->type == typeBeingHandled ? kMessageRelayed : kMessageSent))
        return nullptr;
    return wantsReply ? awaitReply(destination, timeout) : nullptr;
}

bool MessageCenter::replyCannotCome(const ToolInfo& peer, uint32_t& nextProbe) {
    if (peerListener == nullptr || int32_t(currentMilliseconds() - nextProbe) < 0) return false;
    // A receiver that died while handling the request no longer takes connections.
    Status tickled = transport->ticklePort(peer.port);
    nextProbe = currentMilliseconds() + kProbeWhileWaitingMs;
    if (tickled.ok()) return false;
    peerListener->peerUnreachable(peer);
    return true;
}

Message* MessageCenter::awaitReply(const ToolInfo& destination, uint32_t timeout) {
    uint32_t deadline = currentMilliseconds() + timeout;
    uint32_t nextProbe = currentMilliseconds() + kProbeWhileWaitingMs;
    while (int32_t(deadline - currentMilliseconds()) > 0) {
        if (observer != nullptr) observer->waitingForReply();
        // A receiver that died with the request unread resets its connection.
        if (peerListener != nullptr && transport->lastSentWasDropped()) {
            peerListener->peerUnreachable(destination);
            return nullptr;
        }
        if (replyCannotCome(destination, nextProbe)) return nullptr;
        if (Message* reply = replyFrom(destination, received(transport->poll().valueOr(nullptr))))
            return reply;
    }
    if (peerListener != nullptr) peerListener->peerTimedOut(destination);
    return nullptr;
}

Message* MessageCenter::awaitReplyAnswering(const ToolInfo& destination, uint32_t timeoutMs) {
    uint32_t deadline = currentMilliseconds() + timeoutMs;
    for (int32_t left = int32_t(timeoutMs); left > 0;
         left = int32_t(deadline - currentMilliseconds())) {
        handleOneQueued();
        Message* incoming = received(
            transport->poll(std::min(int(left), TCPTransport::kPollTimeoutMs)).valueOr(nullptr));
        if (Message* reply = replyFrom(destination, incoming)) return reply;
    }
    return nullptr;
}

Message* MessageCenter::replyFrom(const ToolInfo& destination, Message* incoming) {
    if (incoming == nullptr) return nullptr;
    if (incoming->type != kReplyMessage) {
        queue.enqueueMessage(incoming);
        return nullptr;
    }
    if (incoming->sender.port == destination.port) return incoming;
    OKA_LOG("dropped a late reply from port %d%s", incoming->sender.port,
            portLabel(incoming->sender.port).c_str());
    delete incoming;
    return nullptr;
}

bool MessageCenter::sendRequest(Message* message) {
    if (message == nullptr) return false;
    std::unique_ptr<Message> request(message);
    request->wantsReply = 1;
    request->sender = ownToolInfo;
    const ToolInfo& destination = request->destination;
    if (destination.port == ownToolInfo.port) {
        localReplies.emplace_back(dispatchMessage(request.release()));
        runWorkAfterReply();
        return true;
    }
    if (peerListener != nullptr && !peerListener->mayAwaitReply(destination)) return false;
    return transmit(*request, kMessageSent);
}

Message* MessageCenter::nextReply(int waitMs) {
    if (!localReplies.empty()) {
        Message* reply = localReplies.front().release();
        localReplies.pop_front();
        return reply;
    }
    if (observer != nullptr) observer->waitingForReply();
    Message* incoming = received(transport->poll(waitMs).valueOr(nullptr));
    if (incoming == nullptr || incoming->type == kReplyMessage) return incoming;
    queue.enqueueMessage(incoming);
    return nullptr;
}

void MessageCenter::requestTimedOut(const ToolInfo& peer) {
    if (peerListener != nullptr) peerListener->peerTimedOut(peer);
}

void MessageCenter::runAfterReply(std::function<void()> work) {
    if (typeBeingHandled == 0) {
        work();
        return;
    }
    workAfterReply.push_back(std::move(work));
}

void MessageCenter::runWorkAfterReply() {
    // Only once the outermost handler is done: nested handling (a modal
    // window's polling inside a handler) has not answered its message yet.
    if (typeBeingHandled != 0) return;
    std::vector<std::function<void()>> due;
    due.swap(workAfterReply);
    for (auto& work : due) work();
}

void MessageCenter::modalPoll(WgtObj* window, int code) {
    if (modalPollProc != nullptr) modalPollProc(window, code);
}

Status MessageCenter::tickleTool(const ToolInfo& toolInfo) {
    return remember(transport->ticklePort(toolInfo.port));
}
