#include "messaging/MessageCenter.h"

#include <algorithm>
#include <utility>

#include "core/Log.h"
#include "core/Platform.h"
#include "core/Utilities.h"

namespace {
constexpr const char* kLogSource = "../msgcenter";
ModalPollProc modalPollProc = nullptr;  // the window layer's, once it runs
}  // namespace

void setModalPollProc(ModalPollProc procedure) { modalPollProc = procedure; }

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
    MessageHandler key(type, nullptr, nullptr);
    return static_cast<MessageHandler*>(handlers.findItem(&key));
}

void MessageCenter::registerMessageHandler(TypeCode type, const MessageTemplate* msgTemplate,
                                           MessageHandlerProc handlerProc) {
    if (findHandler(type) != nullptr) {
        OKA_LOG("registering duplicate handler type %s", TypeIdentToCStr(type));
        lastError = kErrorDuplicateHandler;
        return;
    }
    lastError = 0;
    handlers.include(new MessageHandler(type, msgTemplate, handlerProc));
}

void MessageCenter::removeMessageHandler(TypeCode type) {
    MessageHandler key(type, nullptr, nullptr);
    Item* removed = handlers.remove(&key);
    lastError = removed ? 0 : kErrorNoHandler;
    delete removed;
}

// Checks `message` against its handler's template and, when it passes, calls
// the handler. Returns the result of the handling.
int32_t MessageCenter::validateAndHandle(Message* message, Message* reply) {
    MessageHandler* handler = findHandler(message->type);
    if (handler == nullptr) {
        OKA_LOG("handler not found for incoming message %s", TypeIdentToCStr(message->type));
        return lastError = kErrorNoHandler;
    }
    const MessageTemplate& expected = handler->msgTemplate;
    if (expected.paramCount != message->paramCount) {
        OKA_LOG("invalid number of params for incoming message, expected %d and got %d for "
                "message %s", int(expected.paramCount), int(message->paramCount),
                TypeIdentToCStr(message->type));
        return lastError = kErrorBadParamCount;
    }
    for (int i = 0; i < message->paramCount; ++i) {
        if (message->paramTypes[i] != expected.paramTypes[i]) {
            OKA_LOG("invalid param for incoming message");
            return lastError = kErrorBadParamType;
        }
    }
    lastError = 0;
    return handler->handlerProc ? handler->handlerProc(message, reply) : 0;
}

Message* MessageCenter::dispatchMessage(Message* message) {
    if (message == nullptr) return nullptr;
    auto reply = std::make_unique<Message>(kReplyMessage, nullptr);
    bool wantsReply = message->wantsReply != 0;
    lastError = 0;
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
    lastError = 0;
    if (queue.messagesAvailable(kWildcardType) > 0) {
        Message* reply = dispatchMessage(queue.dequeueMessage(kWildcardType));
        delete sendMessage(reply);
        runWorkAfterReply();
    }
    if (Message* incoming = transport->poll(waitMs)) queue.enqueueMessage(received(incoming));
    lastError = transport->getLastError();
}

Message* MessageCenter::received(Message* message) {
    if (observer != nullptr && message != nullptr) observer->messageSeen(*message, kMessageReceived);
    return message;
}

bool MessageCenter::transmit(Message* message, Message** localReply) {
    message->sender = ownToolInfo;
    *localReply = nullptr;
    if (message->destination.port == ownToolInfo.port) {
        *localReply = dispatchMessage(message);
        runWorkAfterReply();
        return true;
    }
    if (observer != nullptr) {
        observer->messageSeen(*message, message->type == typeBeingHandled ? kMessageRelayed
                                                                          : kMessageSent);
    }
    bool delivered = transport->sendMessage(*message);
    delete message;
    return delivered;
}

Message* MessageCenter::sendMessage(Message* message) {
    if (message == nullptr) return nullptr;
    bool wantsReply = message->wantsReply != 0;
    uint32_t timeout = message->replyTimeout;
    Message* reply = nullptr;
    transmit(message, &reply);
    if (!wantsReply || reply != nullptr) return reply;

    uint32_t deadline = currentMilliseconds() + timeout;
    for (int32_t left; (left = int32_t(deadline - currentMilliseconds())) > 0;) {
        if (Message* incoming = nextReply(std::min<int32_t>(left, TCPTransport::kPollTimeoutMs)))
            return incoming;
    }
    return nullptr;
}

bool MessageCenter::sendRequest(Message* message) {
    if (message == nullptr) return false;
    message->wantsReply = 1;
    Message* reply = nullptr;
    bool delivered = transmit(message, &reply);
    if (reply != nullptr) localReplies.emplace_back(reply);
    return delivered;
}

Message* MessageCenter::nextReply(int waitMs) {
    if (!localReplies.empty()) {
        Message* reply = localReplies.front().release();
        localReplies.pop_front();
        return reply;
    }
    if (observer != nullptr) observer->waitingForReply();
    Message* incoming = received(transport->poll(waitMs));
    if (incoming == nullptr || incoming->type == kReplyMessage) return incoming;
    queue.enqueueMessage(incoming);
    return nullptr;
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

void MessageCenter::tickleTool(const ToolInfo& toolInfo) {
    transport->ticklePort(toolInfo.port);
    lastError = transport->getLastError();
}
