// The tool side of the environment: registration, commands and the loop.
#include "tools/OkaTool.h"

#include <memory>

#include "core/Log.h"
#include "core/Platform.h"
#include "core/Utilities.h"
#include "workspace/Environment.h"

namespace {
constexpr const char* kLogSource = "../okatool";

bool replyArrived = false;                  // the awaited reply came
int32_t replyResult = kErrorNoToolManager;  // its error code

int32_t quitMsg(Message*, Message*) {
    OKA_LOG("Tool Manager asked to quit");
    gFinished = 1;
    return 0;
}

int32_t toolManagerReplyMsg(Message* reply, Message*) {
    replyResult = reply->getLongParam(0);
    replyArrived = true;
    return 0;
}

// Sends `request` to the Tool Manager and returns the error of its reply.
// The Tool Manager may be waiting for this tool's answer to a question of
// its own (it asks a registering tool to identify the project's files), so
// the reply is awaited as an ordinary message while every other message is
// answered, rather than in sendMessage's wait, which answers nothing.
int32_t askToolManager(Message& request) {
    request.destination = gKelvaneToolInfo;
    request.sender = gMessageCenter->getOwnToolInfo();
    request.wantsReply = 1;
    MessageTemplate replyTemplate = makeTemplate({kParamError});
    gMessageCenter->registerMessageHandler(kReplyMessage, &replyTemplate, toolManagerReplyMsg);
    replyArrived = false;
    replyResult = kErrorNoToolManager;
    gMessageCenter->getTransport().sendMessage(request);
    uint32_t deadline = currentMilliseconds() + kDefaultReplyTimeout;
    while (!replyArrived && int32_t(deadline - currentMilliseconds()) > 0) gMessageCenter->poll();
    gMessageCenter->removeMessageHandler(kReplyMessage);
    return replyResult;
}
}  // namespace

int32_t startTool(const char* programName, const ToolDescription& description) {
    installInterruptHandler();
    if (int32_t error = initializeGlobals(programName, 0)) return error;
    ToolInfo& own = gMessageCenter->getOwnToolInfo();
    copyText(own.name, sizeof own.name, description.name);
    copyText(own.company, sizeof own.company, description.company);
    own.majorVersion = description.majorVersion;
    own.minorVersion = description.minorVersion;
    own.toolType = description.toolType;
    own.isSourceViewer = description.isSourceViewer;
    gMessageCenter->registerMessageHandler(kQuitMsg, quitMsg);
    return 0;
}

int32_t registerWithToolManager(const char* programPath) {
    Message registration(kRegisterToolMsg.code, nullptr);
    uint8_t bytes[kToolInfoSize];
    encodeToolInfo(gMessageCenter->getOwnToolInfo(), bytes);
    registration.addParam(kParamData, bytes, kToolInfoSize);
    registration.addTextParam(programPath != nullptr ? programPath : "");
    int32_t result = askToolManager(registration);
    OKA_LOG("registration with the Tool Manager: %d", int(result));
    return result;
}

int32_t publishCommand(const char* name, long requirement, TypeCode requiresType) {
    Message command(kAddCommandMsg.code, nullptr);
    command.addTextParam(name, kParamST31);
    command.addLongParam(int32_t(requirement));
    command.addTypeParam(requiresType);
    return askToolManager(command);
}

void runToolLoop() {
    while (!gFinished) gMessageCenter->poll();
}

void unregisterFromToolManager() {
    auto message = std::make_unique<Message>(kUnregisterToolMsg.code, &gKelvaneToolInfo);
    message->addTypeParam(gMessageCenter->getOwnToolInfo().toolType);
    gMessageCenter->sendMessage(message.release());
}

void leaveEnvironment() { cleanUpGlobals(); }
