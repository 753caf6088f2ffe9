#include "messaging/MessageQueue.h"

void MessageQueue::enqueueMessage(Message* message) {
    lastError = 0;
    if (message != nullptr) messages.include(message);
}

Message* MessageQueue::dequeueMessage(TypeCode type) {
    Message key(type, nullptr);
    auto* found = static_cast<Message*>(messages.remove(&key));
    lastError = found ? 0 : kErrorNoQueuedMessage;
    return found;
}

long MessageQueue::messagesAvailable(TypeCode type) {
    lastError = 0;
    if (type == kWildcardType) return messages.getCount();
    Message key(type, nullptr);
    long count = 0;
    for (long i = 0; i < messages.getCount(); ++i) {
        if (key.isEqual(messages.get(i))) ++count;
    }
    return count;
}
