// The tool side of the environment: registration, commands and the loop.
#include "tools/OkaTool.h"

#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include "core/Log.h"
#include "core/Platform.h"
#include "core/Utilities.h"
#include "messaging/IdentifyBatch.h"
#include "messaging/ToolListing.h"
#include "tools/CommandManager.h"
#include "tools/Environment.h"
#include "tools/ToolManagerWatch.h"
#include "tools/ToolRegistry.h"

namespace {
constexpr const char* kLogSource = "../okatool";

// What the tool told the Tool Manager, told again to a restarted one.
struct PublishedCommand {
    std::string name;
    long requirement;
    TypeCode requiresType;
};
std::string registeredProgramPath;  // the path given to 'REGT'
std::vector<PublishedCommand> publishedCommands;
NoticeCallback noticeCallback = nullptr;             // the subscriber's callback, or null
std::unique_ptr<ToolManagerWatch> toolManagerWatch;  // follows restarts while the loop runs

volatile std::sig_atomic_t endedBySignal = 0;  // a termination signal ended the loop

// SIGTERM, SIGHUP and SIGINT end runToolLoop, which then unregisters the
// tool. Ctrl-C first cuts a connection being read from a sender gone
// silent; only one pressed while no connection is read ends the tool.
void terminationHandler(int signal) {
    if (signal == SIGINT && TCPTransport::cutConnectionBeingRead()) return;
    endedBySignal = 1;
    gFinished = 1;
}

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
int32_t nothingToDoMsg(Message*, Message*) {
    return 0;
}

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

// Sends `message` to the Tool Manager and returns the error of its reply,
// kErrorNoToolManager when none came.
int32_t askToolManager(Message& message) {
    message.destination = gKelvaneToolInfo;
    return request(message).error();
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

// True when the Tool Manager lists `command` for this tool, with the same
// requirement: commands outlive their tool's unregistration, so a tool that
// starts again finds its commands there.
bool publishedBefore(const PublishedCommand& command) {
    Message listing(kListToolsMsg.code, nullptr);
    RequestResult tools = request(listing);
    TypeCode ownType = gMessageCenter->getOwnToolInfo().toolType;
    for (int i = 0; i < tools.resultCount(); ++i) {
        std::optional<std::vector<uint8_t>> bytes = tools.data(i);
        ToolListing tool;
        if (!bytes || !decodeToolListing(bytes->data(), long(bytes->size()), tool) ||
            tool.info.toolType != ownType) {
            continue;
        }
        for (const CommandListing& listed : tool.commands) {
            if (listed.name == command.name && listed.requirement == command.requirement &&
                (command.requirement != kRequiresFile ||
                 listed.requiresType == command.requiresType)) {
                return true;
            }
        }
    }
    return false;
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
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) std::signal(signal, terminationHandler);
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
    if (result == kErrorDuplicateCommand && publishedBefore(command)) {
        OKA_LOG("command '%s' is published already", command.name.c_str());
        result = 0;
    }
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
    // Told to quit, the tool stays registered (unloaded); stopped by a
    // signal it leaves the registry.
    if (endedBySignal) {
        OKA_LOG("ended by a signal: unregistering");
        unregisterFromToolManager();
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
