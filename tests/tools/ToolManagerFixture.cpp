// The in-process Tool Manager shared by the tool tests.
#include "ToolManagerFixture.h"

#include "core/Utilities.h"

#include "core/Globals.h"
#include "toolkit/SystemServices.h"
#include "tools/CommandManager.h"
#include "tools/ToolMessages.h"
#include "tools/ToolRegistry.h"

uint32_t ToolManagerTest::clockNow = 0;

FakeTool::FakeTool(const char* name, TypeCode type, bool isSourceViewer)
    : transport(std::make_unique<TCPTransport>(0)) {
    copyText(info.name, sizeof info.name, name);
    copyText(info.company, sizeof info.company, "Test Tools");
    info.toolType = type;
    info.isSourceViewer = isSourceViewer;
    info.port = transport->getPort();
}

std::unique_ptr<Message> FakeTool::receive(int timeoutMs) {
    uint32_t deadline = TIME_GetCurMillisecs() + uint32_t(timeoutMs);
    while (transport && int32_t(deadline - TIME_GetCurMillisecs()) > 0) {
        if (Message* message = transport->poll()) return std::unique_ptr<Message>(message);
    }
    return nullptr;
}

std::vector<TypeCode> FakeTool::drainTypes(int quietMs) {
    std::vector<TypeCode> types;
    while (auto message = receive(quietMs)) types.push_back(message->type);
    return types;
}

ToolManagerTest::ToolManagerTest() {
    TCPTransport::forgetToolManagerPort();
    gMessageCenter = new MessageCenter(findFreePort());
    gKelvaneToolInfo.port = gMessageCenter->getOwnToolInfo().port;
    clockNow = 1000;
    gToolRegistry = new ToolRegistry(testClock);
    gCommandManager = new CommandManager();
    registerToolMessageHandlers();
}

ToolManagerTest::~ToolManagerTest() {
    delete gToolRegistry;
    gToolRegistry = nullptr;
    delete gCommandManager;
    gCommandManager = nullptr;
    delete gMessageCenter;
    gMessageCenter = nullptr;
    TCPTransport::forgetToolManagerPort();
}

std::unique_ptr<Message> ToolManagerTest::deliver(Message* message, const ToolInfo& from) {
    message->sender = from;
    message->wantsReply = 1;
    return std::unique_ptr<Message>(gMessageCenter->dispatchMessage(message));
}

int32_t ToolManagerTest::registerFrom(const FakeTool& tool, const char* path) {
    auto* message = new Message(typeCode("REGT"), nullptr);
    uint8_t bytes[kToolInfoSize];
    encodeToolInfo(tool.info, bytes);
    message->addParam(kParamData, bytes, kToolInfoSize);
    message->addTextParam(path);
    return deliver(message, tool.info)->getLongParam(0);
}
