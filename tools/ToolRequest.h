// A tool's requests: a message sent to the Tool Manager (or to another
// program) whose reply the tool waits for, answering every other message
// meanwhile. request() hands back a RequestResult, which owns the reply and
// reads its results by index with accessors that check each result's type;
// when there is no reply it says why.
//
//   Message files(kGetProjectFilesMsg.code, nullptr);   // to the Tool Manager
//   files.addTypeParam(typeCode("QAGT"));
//   RequestResult result = request(files);
//   if (!result.ok()) return result.error();
//   for (int i = 0; i < result.resultCount(); ++i) use(result.text(i).value_or(""));
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "messaging/Message.h"

// No reply came: nobody listens on the destination's port, or it did not
// answer within the request's replyTimeout.
inline constexpr int32_t kErrorNoReply = -1501;

// The outcome of a request: replied, refused with an error, unanswered or not sent.
class RequestResult {
  public:
    enum class Status {
        replied,     // the reply came, its error 0
        errorReply,  // the reply came with an error (error())
        noReply,     // it was sent, but no reply came within its replyTimeout
        notSent,     // nobody listens on the destination's port, or another request waits
    };

    RequestResult(Status status, std::unique_ptr<Message> reply);

    Status status() const { return outcome; }
    bool ok() const { return outcome == Status::replied; }
    // The reply's error code: 0 when ok(), kErrorNoReply without a reply
    // (-2 for a reply without its 'EROR').
    int32_t error() const;
    // The reply itself (its parameter 0 is 'EROR'), or null.
    const Message* reply() const { return replyMessage.get(); }

    // The results after 'EROR'. Result `index` (0 is the first after it) is
    // read only when it has the type asked for; anything else, a missing
    // result included, reads as nothing.
    int resultCount() const;
    std::optional<std::string> text(int index) const;           // 'S255' or 'ST31'
    std::optional<int32_t> number(int index) const;             // 'LONG'
    std::optional<bool> flag(int index) const;                  // 'BOOL'
    std::optional<TypeCode> type(int index) const;              // 'IDNT'
    std::optional<std::vector<uint8_t>> data(int index) const;  // 'DATA'

  private:
    // The reply's parameter for result `index` when its type is `expected`.
    int paramOf(int index, TypeCode expected) const;

    Status outcome;                         // what became of the request
    std::unique_ptr<Message> replyMessage;  // the reply, or null
};

// Sends `message` with a reply wanted to its destination (the Tool Manager
// when its destination has no port) and waits up to its replyTimeout
// (5000 ms unless set) for the reply, answering every other message
// meanwhile. A handler may make requests, except while another request
// waits (registerWithToolManager, publishCommand and subscribeToNotices
// are requests too): replies name no request, so the inner wait would take
// the outer one's reply; such a request is not sent.
[[nodiscard]] RequestResult request(Message& message);
