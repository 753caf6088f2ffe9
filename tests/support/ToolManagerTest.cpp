#include "ToolManagerTest.h"

#include "core/Utilities.h"

int32_t ToolManagerTest::publish(const FakeTool& tool, const char* name, int32_t requirement,
                                 TypeCode type) {
    auto* message = new Message(typeCode("ADDC"), nullptr);
    message->addTextParam(name, kParamST31);
    message->addLongParam(requirement);
    message->addTypeParam(type);
    return deliver(message, tool.info)->getLongParam(0);
}

std::string ToolManagerTest::receivedCommand(FakeTool& tool) {
    auto message = tool.receive();
    if (!message) return "nothing";
    char name[kPathSize], machine[kPathSize], path[kPathSize];
    message->getTextParam(0, name, sizeof name);
    message->getTextParam(1, machine, sizeof machine);
    message->getTextParam(3, path, sizeof path);
    return std::string(name) + "|" + machine + "|" + std::to_string(message->getLongParam(2)) +
           "|" + path;
}
