#include "tools/ToolRequest.h"

#include <utility>

#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"

namespace {
constexpr const char* kLogSource = "../request";
bool waiting = false;  // a request waits for its reply
}  // namespace

RequestResult::RequestResult(Status status, std::unique_ptr<Message> reply)
    : outcome(status), replyMessage(std::move(reply)) {}

int32_t RequestResult::error() const {
    if (!replyMessage) return kErrorNoReply;
    return replyMessage->paramCount > 0 ? replyMessage->getLongParam(0) : kErrorBadParamCount;
}

int RequestResult::resultCount() const {
    return replyMessage && replyMessage->paramCount > 0 ? replyMessage->paramCount - 1 : 0;
}

int RequestResult::paramOf(int index, TypeCode expected) const {
    if (index < 0 || index >= resultCount()) return -1;
    return replyMessage->paramTypes[index + 1] == expected ? index + 1 : -1;
}

std::optional<std::string> RequestResult::text(int index) const {
    int param = paramOf(index, kParamS255);
    if (param < 0) param = paramOf(index, kParamST31);
    if (param < 0) return std::nullopt;
    // getTextParam stops at the parameter's end, terminated or not.
    std::string text(size_t(replyMessage->getParamLength(param)) + 1, '\0');
    text.resize(replyMessage->getTextParam(param, text.data(), text.size()));
    return text;
}

std::optional<int32_t> RequestResult::number(int index) const {
    int param = paramOf(index, kParamLong);
    if (param < 0) return std::nullopt;
    return replyMessage->getLongParam(param);
}

std::optional<bool> RequestResult::flag(int index) const {
    int param = paramOf(index, kParamBool);
    if (param < 0) return std::nullopt;
    return replyMessage->getBoolParam(param);
}

std::optional<TypeCode> RequestResult::type(int index) const {
    int param = paramOf(index, kParamType);
    if (param < 0) return std::nullopt;
    return replyMessage->getTypeParam(param);
}

std::optional<std::vector<uint8_t>> RequestResult::data(int index) const {
    int param = paramOf(index, kParamData);
    if (param < 0) return std::nullopt;
    const uint8_t* bytes = replyMessage->getParam(param);
    return std::vector<uint8_t>(bytes, bytes + replyMessage->getParamLength(param));
}

RequestResult request(Message& message) {
    // Replies name no request, so a second wait would take the first one's.
    if (waiting) {
        OKA_LOG("request %s from a handler while another request waits: not sent",
                TypeIdentToCStr(message.type));
        return {RequestResult::Status::notSent, nullptr};
    }
    if (message.destination.port == 0) message.destination = gKelvaneToolInfo;
    message.sender = gMessageCenter->getOwnToolInfo();
    message.wantsReply = 1;
    if (!gMessageCenter->getTransport().sendMessage(message).ok()) {
        OKA_LOG("request %s: nobody listens on port %d", TypeIdentToCStr(message.type),
                message.destination.port);
        return {RequestResult::Status::notSent, nullptr};
    }
    waiting = true;
    std::unique_ptr<Message> reply(
        gMessageCenter->awaitReplyAnswering(message.destination, message.replyTimeout));
    waiting = false;
    if (!reply) {
        OKA_LOG("request %s: no reply within %u ms", TypeIdentToCStr(message.type),
                unsigned(message.replyTimeout));
        return {RequestResult::Status::noReply, nullptr};
    }
    RequestResult result(RequestResult::Status::replied, std::move(reply));
    if (result.error() == 0) return result;
    return {RequestResult::Status::errorReply, std::make_unique<Message>(*result.reply())};
}
