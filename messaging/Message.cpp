#include "messaging/Message.h"

#include <cstring>

#include "core/ByteOrder.h"
#include "core/Log.h"
#include "core/Utilities.h"

namespace {
constexpr const char* kLogSource = "../messages";
constexpr TypeCode kMessageItem = typeCode("MSGI");
constexpr TypeCode kHandlerItem = typeCode("HNDL");
}  // namespace

Message::Message() {
    init(kUntypedMessage);
}

Message::Message(TypeCode type, const ToolInfo* destination) {
    init(type);
    if (destination != nullptr) this->destination = *destination;
}

Message::Message(const Message& other) : Item(other) {
    init(other.type);
    itemType = other.itemType;
    sender = other.sender;
    destination = other.destination;
    wantsReply = other.wantsReply;
    replyTimeout = other.replyTimeout;
    for (int i = 0; i < other.paramCount; ++i) {
        addParam(other.paramTypes[i], other.params[i].get(), other.paramLengths[i]);
    }
}

void Message::init(TypeCode messageType) {
    itemType = kMessageItem;
    type = messageType;
    paramCount = 0;
    std::memset(paramTypes, 0, sizeof paramTypes);
    std::memset(paramLengths, 0, sizeof paramLengths);
    wantsReply = 0;
    replyTimeout = kDefaultReplyTimeout;
    reserved = 0;
}

bool Message::addParam(TypeCode paramType, const void* data, long length) {
    if (paramCount >= kMaxMessageParams) {
        OKA_LOG("addParam: a message holds at most %d parameters", kMaxMessageParams);
        return false;
    }
    changeParam(paramCount++, paramType, data, length);
    return true;
}

void Message::changeParam(int index, TypeCode paramType, const void* data, long length) {
    if (index < 0 || index >= paramCount) return;
    size_t size = length > 0 ? size_t(length) : 0;
    params[index] = std::make_unique<uint8_t[]>(size > 0 ? size : 1);
    if (size > 0 && data != nullptr) std::memcpy(params[index].get(), data, size);
    paramTypes[index] = paramType;
    paramLengths[index] = int32_t(size);
}

const uint8_t* Message::getParam(int index) const {
    return (index >= 0 && index < paramCount) ? params[index].get() : nullptr;
}

long Message::getParamLength(int index) const {
    return (index >= 0 && index < paramCount) ? paramLengths[index] : 0;
}

TypeCode Message::getParamType(int index) const {
    return (index >= 0 && index < paramCount) ? paramTypes[index] : kWildcardType;
}

bool Message::addLongParam(int32_t value, TypeCode paramType) {
    uint8_t bytes[4];
    putBigEndian32(bytes, uint32_t(value));
    return addParam(paramType, bytes, sizeof bytes);
}

void Message::changeLongParam(int index, int32_t value, TypeCode paramType) {
    uint8_t bytes[4];
    putBigEndian32(bytes, uint32_t(value));
    changeParam(index, paramType, bytes, sizeof bytes);
}

bool Message::addShortParam(int16_t value) {
    uint8_t bytes[2];
    putBigEndian16(bytes, uint16_t(value));
    return addParam(kParamShort, bytes, sizeof bytes);
}

bool Message::addBoolParam(bool value) {
    uint8_t byte = value ? 1 : 0;
    return addParam(kParamBool, &byte, 1);
}

bool Message::addTypeParam(TypeCode value) {
    return addLongParam(int32_t(value), kParamType);
}

bool Message::addTextParam(const char* text, TypeCode paramType) {
    if (text == nullptr) text = "";
    return addParam(paramType, text, long(std::strlen(text)) + 1);
}

int32_t Message::getLongParam(int index) const {
    return getParamLength(index) >= 4 ? int32_t(getBigEndian32(getParam(index))) : 0;
}

int16_t Message::getShortParam(int index) const {
    return getParamLength(index) >= 2 ? int16_t(getBigEndian16(getParam(index))) : 0;
}

bool Message::getBoolParam(int index) const {
    return getParamLength(index) >= 1 && getParam(index)[0] != 0;
}

size_t Message::getTextParam(int index, char* out, size_t outSize) const {
    return copyText(out, outSize, reinterpret_cast<const char*>(getParam(index)),
                    size_t(getParamLength(index)));
}

bool Message::isEqual(const Item* other) const {
    auto* message = dynamic_cast<const Message*>(other);
    if (message == nullptr || message->getItemType() != getItemType()) return false;
    return type == message->type || type == kWildcardType || message->type == kWildcardType;
}

MessageHandler::MessageHandler(TypeCode messageType, const MessageTemplate* msgTemplate,
                               MessageHandlerProc handlerProc)
    : Item(kHandlerItem),
      messageType(messageType),
      msgTemplate(msgTemplate ? *msgTemplate : MessageTemplate{}),
      handlerProc(handlerProc) {}

MessageHandler::MessageHandler(TypeCode messageType, const MessageTemplate* msgTemplate,
                               MessageHandlerFunction handlerFunction)
    : MessageHandler(messageType, msgTemplate, MessageHandlerProc(nullptr)) {
    this->handlerFunction = std::move(handlerFunction);
}

int32_t MessageHandler::handle(Message& message, Message& reply) const {
    if (handlerProc != nullptr) return handlerProc(&message, &reply);
    if (!handlerFunction) return 0;
    // A copy: the handler may remove itself, and this object with it.
    MessageHandlerFunction function = handlerFunction;
    return function(message, reply);
}

bool MessageHandler::isEqual(const Item* other) const {
    auto* handler = dynamic_cast<const MessageHandler*>(other);
    return handler != nullptr && handler->getItemType() == getItemType() &&
           handler->messageType == messageType;
}
