// The tool side of the environment: registration, commands and the loop.
#include "tools/OkaTool.h"

#include <memory>
#include <string>
#include <vector>

#include "core/Log.h"
#include "core/Platform.h"
#include "core/Utilities.h"
#include "messaging/IdentifyBatch.h"
#include "tools/ToolManagerWatch.h"
#include "tools/ToolRegistry.h"
#include "tools/Environment.h"

namespace {
constexpr const char* kLogSource = "../okatool";

bool replyArrived = false;                  // the awaited reply came
int32_t replyResult = kErrorNoToolManager;  // its error code

// What the tool told the Tool Manager, told again to a restarted one.
struct PublishedCommand {
    std::string name;
    long requirement;
    TypeCode requiresType;
};
std::string registeredProgramPath;            // the path given to 'REGT'
std::vector<PublishedCommand> publishedCommands;
NoticeCallback noticeCallback = nullptr;      // the subscriber's callback, or null
std::unique_ptr<ToolManagerWatch> toolManagerWatch;  // follows restarts while the loop runs

int32_t quitMsg(Message*, Message*) {
    OKA_LOG("Tool Manager asked to quit");
    gFinished = 1;
    return 0;
}

// 'IDFB': the Tool Manager asks about many files at once. Each path goes to
// the tool's own 'IDFL' handler through the message center, exactly as a
// single 'IDFL' would, so a tool identifies files in one place only.
int32_t identifyBatchMsg(Message* batch, Message* reply) {
    std::vector<const char*> paths;
    if (!readBatchPaths(*batch, paths)) return kErrorBadParamType;
    std::vector<FileIdentification> answers(paths.size());
    // A tool that identifies nothing refuses every file without a log line each.
    bool identifies = gMessageCenter->hasHandler(kIdentifyFileMsg.code);
    for (size_t n = 0; n < paths.size(); ++n) {
        if (!identifies) {
            answers[n].error = kErrorNoHandler;
            continue;
        }
        auto* question = new Message(kIdentifyFileMsg.code, &gMessageCenter->getOwnToolInfo());
        question->sender = batch->sender;
        question->wantsReply = 1;
        question->addTextParam(paths[n]);
        std::unique_ptr<Message> answer(gMessageCenter->dispatchMessage(question));
        if (answer != nullptr) answers[n] = readIdentifyReply(*answer);
    }
    addBatchAnswers(*reply, answers);
    return 0;
}

// 'SHOW', 'HIDE', 'CWIN' and 'DSRC' in a tool without windows: nothing to
// show, hide, close or deactivate, but the request is answered.
int32_t nothingToDoMsg(Message*, Message*) { return 0; }

void acceptWindowRequestsWithoutWindows() {
    for (const MessageType* type :
         {&kShowWindowsMsg, &kHideWindowsMsg, &kCloseWindowsMsg, &kDeactivateSourceMsg}) {
        gMessageCenter->registerMessageHandler(*type, nothingToDoMsg);
    }
}

int32_t noticeMsg(Message* message, Message*) {
    if (message->getParamLength(1) != kToolInfoSize) return kErrorBadParamType;
    char path[kPathSize];
    message->getTextParam(2, path, sizeof path);
    if (noticeCallback != nullptr) {
        noticeCallback(message->getTypeParam(0), decodeToolInfo(message->getParam(1)), path);
    }
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

int32_t sendRegistration() {
    Message registration(kRegisterToolMsg.code, nullptr);
    uint8_t bytes[kToolInfoSize];
    encodeToolInfo(gMessageCenter->getOwnToolInfo(), bytes);
    registration.addParam(kParamData, bytes, kToolInfoSize);
    registration.addTextParam(registeredProgramPath.c_str());
    int32_t result = askToolManager(registration);
    OKA_LOG("registration with the Tool Manager: %d", int(result));
    if (result == kErrorToolAlreadyLoaded) {
        OKA_LOG("a tool of this type is already registered: leaving");
        gFinished = 1;
    }
    return result;
}

int32_t sendCommand(const PublishedCommand& published) {
    Message command(kAddCommandMsg.code, nullptr);
    command.addTextParam(published.name.c_str(), kParamST31);
    command.addLongParam(int32_t(published.requirement));
    command.addTypeParam(published.requiresType);
    return askToolManager(command);
}

int32_t sendSubscription() {
    Message subscription(kSubscribeNoticesMsg.code, nullptr);
    return askToolManager(subscription);
}

// A new Tool Manager knows nothing of this tool: tell it everything again.
void rejoinToolManager() {
    OKA_LOG("a new Tool Manager listens on port %d: registering again", gKelvaneToolInfo.port);
    if (sendRegistration() != 0) return;
    for (const PublishedCommand& command : publishedCommands) sendCommand(command);
    if (noticeCallback != nullptr) sendSubscription();
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
    gMessageCenter->registerMessageHandler(kIdentifyBatchMsg, identifyBatchMsg);
    // With a window layer, its window manager answers the window requests.
    if (!hasWindowLayer()) acceptWindowRequestsWithoutWindows();
    toolManagerWatch = std::make_unique<ToolManagerWatch>();
    return 0;
}

int32_t registerWithToolManager(const char* programPath) {
    registeredProgramPath = programPath != nullptr ? programPath : "";
    return sendRegistration();
}

int32_t publishCommand(const char* name, long requirement, TypeCode requiresType) {
    PublishedCommand command{name != nullptr ? name : "", requirement, requiresType};
    int32_t result = sendCommand(command);
    if (result == 0) publishedCommands.push_back(command);
    return result;
}

int32_t subscribeToNotices(NoticeCallback callback) {
    noticeCallback = callback;
    gMessageCenter->registerMessageHandler(kNoticeMsg, noticeMsg);
    return sendSubscription();
}

void followToolManager() {
    switch (toolManagerWatch->check()) {
        case ToolManagerWatch::Change::none:
            break;
        case ToolManagerWatch::Change::restarted:
            rejoinToolManager();
            break;
        case ToolManagerWatch::Change::gone:
            OKA_LOG("the Tool Manager is gone: leaving");
            gFinished = 1;
            break;
    }
}

void runToolLoop() {
    while (!gFinished) {
        gMessageCenter->poll();
        followToolManager();
    }
}

void unregisterFromToolManager() {
    auto message = std::make_unique<Message>(kUnregisterToolMsg.code, &gKelvaneToolInfo);
    message->addTypeParam(gMessageCenter->getOwnToolInfo().toolType);
    gMessageCenter->sendMessage(message.release());
}

void leaveEnvironment() {
    toolManagerWatch.reset();
    cleanUpGlobals();
}
