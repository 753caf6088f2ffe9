#include "messaging/MessageQueue.h"

void MessageQueue::enqueueMessage(Message* message) {
    if (message != nullptr) messages.include(message);
}

Result<Message*> MessageQueue::dequeueMessage(TypeCode type) {
    Message key(type, nullptr);
    auto* found = static_cast<Message*>(messages.remove(&key));
    if (found == nullptr) return Status(kErrorNoQueuedMessage);
    return found;
}

long MessageQueue::messagesAvailable(TypeCode type) {
    if (type == kWildcardType) return messages.getCount();
    Message key(type, nullptr);
    long count = 0;
    for (long i = 0; i < messages.getCount(); ++i) {
        if (key.isEqual(messages.get(i))) ++count;
    }
    return count;
}
