// The tool side of the environment: registration, commands and the loop.
#include "tools/OkaTool.h"

#include <memory>

#include "core/Log.h"
#include "core/Utilities.h"

namespace {
constexpr const char* kLogSource = "../okatool";

int32_t quitMsg(Message*, Message*) {
    OKA_LOG("Tool Manager asked to quit");
    gFinished = 1;
    return 0;
}

// Sends `request` to the Tool Manager and returns the error of its reply.
int32_t askToolManager(std::unique_ptr<Message> request) {
    request->destination = gKelvaneToolInfo;
    request->wantsReply = 1;
    std::unique_ptr<Message> reply(gMessageCenter->sendMessage(request.release()));
    if (reply == nullptr || reply->paramCount < 1) return kErrorNoToolManager;
    return reply->getLongParam(0);
}
}  // namespace

int32_t joinEnvironment(const char* programName, const ToolDescription& description,
                        const char* programPath) {
    initializeGlobals(programName, 0);
    ToolInfo& own = gMessageCenter->getOwnToolInfo();
    copyText(own.name, sizeof own.name, description.name);
    copyText(own.company, sizeof own.company, description.company);
    own.majorVersion = description.majorVersion;
    own.minorVersion = description.minorVersion;
    own.toolType = description.toolType;
    own.isSourceViewer = description.isSourceViewer;

    MessageTemplate none;
    gMessageCenter->registerMessageHandler(typeCode("QUIT"), &none, quitMsg);

    auto registration = std::make_unique<Message>(typeCode("REGT"), nullptr);
    uint8_t bytes[kToolInfoSize];
    encodeToolInfo(own, bytes);
    registration->addParam(kParamData, bytes, kToolInfoSize);
    registration->addTextParam(programPath != nullptr ? programPath : "");
    int32_t result = askToolManager(std::move(registration));
    OKA_LOG("registration with the Tool Manager: %d", int(result));
    return result;
}

int32_t publishCommand(const char* name, long requirement, TypeCode requiresType) {
    auto command = std::make_unique<Message>(typeCode("ADDC"), nullptr);
    command->addTextParam(name, kParamST31);
    command->addLongParam(int32_t(requirement));
    command->addTypeParam(requiresType);
    return askToolManager(std::move(command));
}

void runToolLoop() {
    while (!gFinished) gMessageCenter->poll();
}

void unregisterFromToolManager() {
    auto message = std::make_unique<Message>(typeCode("UNRT"), &gKelvaneToolInfo);
    message->addTypeParam(gMessageCenter->getOwnToolInfo().toolType);
    gMessageCenter->sendMessage(message.release());
}

void leaveEnvironment() {
    cleanUpGlobals();
}
