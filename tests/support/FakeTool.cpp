#include "FakeTool.h"

#include "core/Platform.h"
#include "core/Utilities.h"

FakeTool::FakeTool(const char* name, TypeCode type, bool isSourceViewer)
    : transport(std::make_unique<TCPTransport>(0)) {
    copyText(info.name, sizeof info.name, name);
    copyText(info.company, sizeof info.company, "Test Tools");
    info.toolType = type;
    info.isSourceViewer = isSourceViewer;
    info.port = transport->getPort();
}

std::unique_ptr<Message> FakeTool::receive(int timeoutMs) {
    uint32_t deadline = currentMilliseconds() + uint32_t(timeoutMs);
    while (transport && int32_t(deadline - currentMilliseconds()) > 0) {
        if (Message* message = transport->poll().valueOr(nullptr))
            return std::unique_ptr<Message>(message);
    }
    return nullptr;
}

std::vector<TypeCode> FakeTool::drainTypes(int quietMs) {
    std::vector<TypeCode> types;
    while (auto message = receive(quietMs)) types.push_back(message->type);
    return types;
}

void FakeTool::send(Message& message) {
    message.sender = info;
    message.wantsReply = 1;
    // A refused send shows as the missing reply the caller waits for.
    (void)transport->sendMessage(message);
}
