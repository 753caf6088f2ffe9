// MessageQueue: incoming messages in arrival order, owned until dequeued.
#pragma once

#include "core/HasErrorReporting.h"
#include "messaging/Message.h"
#include "storage/List.h"

inline constexpr int32_t kErrorNoQueuedMessage = -201;

class MessageQueue : public HasErrorReporting {
public:
    MessageQueue() : messages(kDefaultChunkSize, true, false) {}

    // Appends `message` (taking ownership); null is ignored.
    void enqueueMessage(Message* message);
    // The oldest message of `type` ('****': of any type), or null and -201.
    Message* dequeueMessage(TypeCode type);
    // How many queued messages are of `type` ('****': all of them).
    long messagesAvailable(TypeCode type);

private:
    List messages;  // owned, in arrival order
};
