// MessageQueue: incoming messages in arrival order, owned until dequeued.
#pragma once

#include "core/Result.h"
#include "messaging/Message.h"
#include "storage/List.h"

inline constexpr int32_t kErrorNoQueuedMessage = -201;

class MessageQueue {
  public:
    MessageQueue() : messages(kDefaultChunkSize, true, false) {}

    // Appends `message` (taking ownership); null is ignored.
    void enqueueMessage(Message* message);
    // The oldest message of `type` ('****': of any type), taken out of the
    // queue; fails with -201 when there is none.
    Result<Message*> dequeueMessage(TypeCode type);
    // How many queued messages are of `type` ('****': all of them).
    long messagesAvailable(TypeCode type);

  private:
    List messages;  // owned, in arrival order
};
