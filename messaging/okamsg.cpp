// okamsg: sends one message to the Tool Manager (or any program of the
// environment) from the command line and optionally waits for its reply;
// lists the registered tools (--tools); prints the Tool Manager's traffic
// as it happens (--watch).
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/Platform.h"
#include "core/ProgramOptions.h"
#include "core/Utilities.h"
#include "messaging/ErrorNames.h"
#include "messaging/MessageCenter.h"
#include "messaging/ParamText.h"
#include "messaging/ToolListingPrinter.h"
#include "messaging/WatchCopy.h"
#include "messaging/WatchReader.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitNoReply = 3;
constexpr int kExitErrorReply = 4;
constexpr int kExitNoToolManager = 5;
constexpr int kExitUnknownTool = 6;
constexpr int kExitUnknownCommand = 7;
constexpr int kExitRequirementNotMet = 8;
constexpr int kWatchWaitMs = 200;

volatile std::sig_atomic_t interrupted = 0;

constexpr const char* kUsage =
    "Usage: okamsg [--port N] [--reply [MS]] [--raw] TYPE [PARAM...]\n"
    "       okamsg [--port N] --tools [--json]\n"
    "       okamsg [--port N] --watch [--type TYPE]\n"
    "       okamsg [--port N] --run TOOL COMMAND [FILE | --engine HOST:PORT]\n"
    "\n"
    "Sends one message of type TYPE (four characters) to the Tool Manager, whose\n"
    "port is read from ~/.oka/okaport, or to port N. The type and its parameters\n"
    "are checked against the protocol's table of message types first.\n"
    "\n"
    "Parameters are written TYPE:VALUE:\n"
    "  S255:text   ST31:text   LONG:n   SHRT:n   BOOL:0|1   IDNT:ABCD\n"
    "  DATA:hex    DATA:@file  (the bytes of a file)\n"
    "\n"
    "  --port N      send to port N instead of the Tool Manager's\n"
    "  --reply [MS]  ask for a reply and wait up to MS milliseconds (default 5000);\n"
    "                prints the error code and each result parameter\n"
    "  --raw         send TYPE and its parameters unchecked\n"
    "  --tools       list the registered tools and their commands ('TLST')\n"
    "  --json        with --tools: print the list as JSON\n"
    "  --watch       print one line per message the Tool Manager receives, sends or\n"
    "                relays, and its notices of tools and projects, until Ctrl-C\n"
    "  --type TYPE   with --watch: only messages of type TYPE\n"
    "  --run         run the published command COMMAND of the tool named TOOL through\n"
    "                the Tool Manager, as its pop-up menu does, on FILE (a project\n"
    "                file, its path full or as the project paths resolve it) or on\n"
    "                the project's engine HOST:PORT ('RCMD')\n"
    "  --help        show this text\n"
    "  --version     show the version\n"
    "\n"
    "Exit status:\n"
    "  0  success\n"
    "  2  bad arguments, or a message type or parameters the protocol does not know\n"
    "  3  no reply in time\n"
    "  4  the reply carried a non-zero error code (printed as \"error N (name)\")\n"
    "  5  no Tool Manager is running (no port file, or nothing listens on the port)\n"
    "  6  --run: no tool of that name is registered\n"
    "  7  --run: the tool has no command of that name\n"
    "  8  --run: the command needs a file or engine that was not given\n"
    "\n"
    "Examples:\n"
    "  okamsg --reply SHOW\n"
    "  okamsg --reply 2000 LOOK IDNT:BROW\n"
    "  okamsg --tools --json\n"
    "  okamsg --watch --type SCHG\n"
    "  okamsg --run \"Sample Runner\" \"Engine Status\"\n"
    "  okamsg --run \"Sample Viewer\" \"View Source\" agents/main.qa\n"
    "  okamsg ADDF S255:/home/me/project/main.qnt\n"
    "  okamsg --port 4217 SCHG S255:/tmp/changed.qnt\n";

bool isNumber(const char* text) {
    return text != nullptr && *text != '\0' && std::strspn(text, "0123456789") == std::strlen(text);
}

struct Options {
    int port = 0;  // 0: the Tool Manager's, from the port file
    bool wantsReply = false;
    bool raw = false;  // send the message without checking it against its template
    uint32_t timeout = kDefaultReplyTimeout;
    bool listTools = false;
    bool json = false;
    bool watch = false;
    bool run = false;
    std::string file;        // --run: the file given, or empty
    std::string engineHost;  // --run: the engine given, or empty
    int32_t enginePort = 0;
    TypeCode watchedType = kWildcardType;
    int firstArgument = 0;  // the message type, for a plain message
};

// TOOL COMMAND [FILE | --engine HOST:PORT] after --run; false (with a
// message) when they are not that.
bool parseRunArguments(int count, char** arguments, Options& options) {
    bool engine = count == 4 && std::strcmp(arguments[2], "--engine") == 0;
    if (count < 2 || count > 4 || (count == 4 && !engine) ||
        (count == 3 && std::strncmp(arguments[2], "--", 2) == 0)) {
        std::fprintf(stderr,
                     "okamsg: --run takes TOOL COMMAND [FILE | --engine HOST:PORT] (see --help)\n");
        return false;
    }
    if (engine) {
        const char* colon = std::strrchr(arguments[3], ':');
        if (colon == nullptr || colon == arguments[3] || !isNumber(colon + 1) ||
            std::strlen(colon + 1) > 5 || std::atol(colon + 1) > 65535) {
            std::fprintf(stderr, "okamsg: give the engine as HOST:PORT, not %s\n", arguments[3]);
            return false;
        }
        options.engineHost.assign(arguments[3], size_t(colon - arguments[3]));
        options.enginePort = int32_t(std::atol(colon + 1));
    } else if (count == 3) {
        options.file = arguments[2];
    }
    return true;
}

// False (with a message) on a bad command line.
bool parseOptions(int argc, char** argv, Options& options) {
    int argument = 1;
    for (; argument < argc && std::strncmp(argv[argument], "--", 2) == 0; ++argument) {
        const char* option = argv[argument];
        const char* value = argv[argument + 1];
        if (std::strcmp(option, "--port") == 0 && isNumber(value)) {
            options.port = std::atoi(argv[++argument]);
        } else if (std::strcmp(option, "--reply") == 0) {
            options.wantsReply = true;
            if (isNumber(value)) options.timeout = uint32_t(std::atol(argv[++argument]));
        } else if (std::strcmp(option, "--raw") == 0) {
            options.raw = true;
        } else if (std::strcmp(option, "--tools") == 0) {
            options.listTools = true;
        } else if (std::strcmp(option, "--json") == 0) {
            options.json = true;
        } else if (std::strcmp(option, "--watch") == 0) {
            options.watch = true;
        } else if (std::strcmp(option, "--run") == 0) {
            options.run = true;
        } else if (std::strcmp(option, "--type") == 0 && value != nullptr &&
                   std::strlen(value) == 4) {
            options.watchedType = typeCodeFromBytes(argv[++argument]);
        } else {
            std::fprintf(stderr, "okamsg: bad option %s (see --help)\n", option);
            return false;
        }
    }
    options.firstArgument = argument;
    if (options.run) return parseRunArguments(argc - argument, argv + argument, options);
    if (options.listTools || options.watch) {
        if (argument == argc) return true;
        std::fprintf(stderr, "okamsg: --tools and --watch take no message (see --help)\n");
        return false;
    }
    if (argument >= argc || std::strlen(argv[argument]) != 4) {
        std::fprintf(stderr, "okamsg: give a message type of four characters (see --help)\n");
        return false;
    }
    return true;
}

// The parameter types `types` as "IDNT S255", or "no parameters".
std::string describeTemplate(const TypeCode* types, int count) {
    if (count == 0) return "no parameters";
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::string(i > 0 ? " " : "") + TypeIdentToCStr(types[i]);
    return text;
}

// False (with one line saying why) when the protocol does not know the
// message's type or its receiver would refuse its parameters.
bool checkAgainstProtocol(const Message& message, const char* typeName) {
    const MessageType* known = findMessageType(message.type);
    if (known == nullptr) {
        std::fprintf(stderr, "okamsg: unknown message type '%s' (--raw sends it anyway)\n",
                     typeName);
        return false;
    }
    const MessageTemplate& expected = known->params;
    bool same = expected.paramCount == message.paramCount;
    for (int i = 0; same && i < message.paramCount; ++i)
        same = expected.paramTypes[i] == message.paramTypes[i];
    if (same) return true;
    std::fprintf(stderr, "okamsg: %s takes %s; given %s (--raw sends it anyway)\n", typeName,
                 describeTemplate(expected.paramTypes, expected.paramCount).c_str(),
                 describeTemplate(message.paramTypes, message.paramCount).c_str());
    return false;
}

// The one line of an error reply: its code and, for a listed code, its name.
void printErrorReply(int32_t error) {
    if (const char* name = errorName(error)) {
        std::printf("error %d (%s)\n", int(error), name);
    } else {
        std::printf("error %d\n", int(error));
    }
}

// Sends `message` (with a reply wanted or not) and, when wanted, waits for
// the first 'RPLY'. Returns an exit status; `reply` gets the reply. An error
// reply is printed, unless the caller explains it itself (`printErrors` false).
int exchange(MessageCenter& center, Message& message, std::unique_ptr<Message>& reply,
             bool printErrors = true) {
    message.sender = center.getOwnToolInfo();
    if (Status sent = center.getTransport().sendMessage(message); !sent.ok()) {
        if (sent.code() == kErrorPeerGone) {
            std::fprintf(stderr, "okamsg: no Tool Manager is running on port %d\n",
                         message.destination.port);
            return kExitNoToolManager;
        }
        std::fprintf(stderr, "okamsg: the message could not be sent to port %d\n",
                     message.destination.port);
        return kExitNoReply;
    }
    if (!message.wantsReply) return 0;
    uint32_t deadline = currentMilliseconds() + message.replyTimeout;
    while (int32_t(deadline - currentMilliseconds()) > 0) {
        std::unique_ptr<Message> incoming(center.getTransport().poll().valueOr(nullptr));
        if (incoming && incoming->type == kReplyMessage) {
            int32_t error = incoming->getLongParam(0);
            if (error != 0 && printErrors) printErrorReply(error);
            reply = std::move(incoming);
            return error != 0 ? kExitErrorReply : 0;
        }
    }
    std::fprintf(stderr, "okamsg: no reply within %u ms\n", unsigned(message.replyTimeout));
    return kExitNoReply;
}

int listTools(MessageCenter& center, Message& request, bool json) {
    request.wantsReply = 1;
    std::unique_ptr<Message> reply;
    if (int status = exchange(center, request, reply)) return status;
    std::vector<ToolListing> tools;
    for (int i = 1; i < reply->paramCount; ++i) {
        ToolListing listing;
        if (decodeToolListing(reply->getParam(i), reply->getParamLength(i), listing)) {
            tools.push_back(listing);
        }
    }
    std::fputs((json ? toolListingJson(tools) : toolListingText(tools)).c_str(), stdout);
    return 0;
}

// The parameters of 'RCMD'. A file that exists here goes with its full path,
// since the Tool Manager runs elsewhere; any other name is resolved there
// against the project paths. False (with a message) for a text too long.
bool addRunParams(Message& request, const char* tool, const char* command, const Options& options) {
    std::string file = options.file;
    std::error_code error;
    if (!file.empty() && std::filesystem::exists(file, error)) {
        file = std::filesystem::absolute(file, error).lexically_normal().string();
    }
    const std::pair<const char*, size_t> texts[] = {{tool, kToolNameSize},
                                                    {command, kToolNameSize},
                                                    {file.c_str(), kPathSize},
                                                    {options.engineHost.c_str(), kToolNameSize}};
    for (const auto& [text, size] : texts) {
        if (std::strlen(text) >= size) {
            std::fprintf(stderr, "okamsg: %s is longer than %zu characters\n", text, size - 1);
            return false;
        }
    }
    request.addTextParam(tool, kParamST31);
    request.addTextParam(command, kParamST31);
    request.addTextParam(file.c_str());
    request.addTextParam(options.engineHost.c_str(), kParamST31);
    request.addLongParam(options.enginePort);
    return true;
}

// okamsg --run: asks the Tool Manager to run a tool's command ('RCMD'). A
// refusal is told in one line, the reason the Tool Manager gave.
int runCommand(MessageCenter& center, Message& request) {
    request.wantsReply = 1;
    std::unique_ptr<Message> reply;
    int status = exchange(center, request, reply, false);
    if (status != kExitErrorReply) return status;
    int32_t error = reply->getLongParam(0);
    char reason[kPathSize] = "";
    if (reply->paramCount > 1) reply->getTextParam(1, reason, sizeof reason);
    if (reason[0] != '\0') {
        std::fprintf(stderr, "okamsg: %s\n", reason);
    } else {
        printErrorReply(error);
    }
    switch (error) {
        case kRunCommandNoSuchTool:
            return kExitUnknownTool;
        case kRunCommandNoSuchCommand:
            return kExitUnknownCommand;
        case kRunCommandRequirementNotMet:
            return kExitRequirementNotMet;
        default:
            return kExitErrorReply;
    }
}

void stopWatching(int) {
    interrupted = 1;
}

int watch(MessageCenter& center, int port, TypeCode type, uint32_t timeout) {
    WatchReader reader(center);
    int32_t started = reader.start(port, type, timeout);
    if (started == kWatchNoToolManager) {
        std::fprintf(stderr, "okamsg: no Tool Manager is running on port %d\n", port);
        return kExitNoToolManager;
    }
    if (started == kWatchNoReply) {
        std::fprintf(stderr, "okamsg: no reply within %u ms\n", unsigned(timeout));
        return kExitNoReply;
    }
    if (started != 0) {
        printErrorReply(started);
        return kExitErrorReply;
    }
    std::signal(SIGINT, stopWatching);
    std::signal(SIGTERM, stopWatching);
    uint32_t droppedShown = 0;
    while (!interrupted && !reader.isClosed()) {
        std::unique_ptr<Message> message = reader.next(kWatchWaitMs);
        if (!message) continue;
        if (message->type == kWatchCopyMsg.code && message->getParamLength(2) == 4) {
            uint32_t dropped = uint32_t(message->getLongParam(2));
            if (dropped > droppedShown) {
                std::printf("(%u copies dropped: okamsg did not keep up)\n",
                            unsigned(dropped - droppedShown));
                droppedShown = dropped;
            }
        }
        std::string line = describeWatchedMessage(*message);
        if (!line.empty()) std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }
    if (reader.isClosed()) std::fprintf(stderr, "okamsg: the Tool Manager ended the watch\n");
    return 0;
}

// The message of the command line, TYPE [PARAM...]; false (with a message)
// when a parameter cannot be read or, unless --raw, the protocol does not
// know the type or its parameters.
bool buildMessage(int argc, char** argv, const Options& options, Message& message) {
    int argument = options.firstArgument;
    message.init(typeCodeFromBytes(argv[argument]));
    for (++argument; argument < argc; ++argument) {
        std::string error;
        if (!addParamFromText(message, argv[argument], error)) {
            std::fprintf(stderr, "okamsg: %s\n", error.c_str());
            return false;
        }
    }
    message.wantsReply = options.wantsReply ? 1 : 0;
    message.replyTimeout = options.timeout;
    return options.raw || checkAgainstProtocol(message, argv[options.firstArgument]);
}

}  // namespace

int main(int argc, char** argv) {
    if (answerHelpOrVersion(argc, argv, "okamsg", kUsage)) return 0;
    Options options;
    if (!parseOptions(argc, argv, options)) return kExitUsage;
    bool plainMessage = !options.watch && !options.listTools && !options.run;
    Message message;
    if (plainMessage && !buildMessage(argc, argv, options, message)) return kExitUsage;

    ToolInfo destination;
    destination.port = options.port != 0 ? options.port : TCPTransport::getToolManagerPort();
    if (destination.port == 0) {
        std::fprintf(stderr, "okamsg: no Tool Manager is running (no port in %s)\n",
                     TCPTransport::portFilePath().c_str());
        return kExitNoToolManager;
    }
    MessageCenter center;
    copyText(center.getOwnToolInfo().name, kToolNameSize, "okamsg");
    if (options.watch) return watch(center, destination.port, options.watchedType, options.timeout);
    if (options.listTools) {
        Message request(kListToolsMsg.code, &destination);
        request.replyTimeout = options.timeout;
        return listTools(center, request, options.json);
    }
    if (options.run) {
        Message request(kRunCommandRequestMsg.code, &destination);
        request.replyTimeout = options.timeout;
        if (!addRunParams(request, argv[options.firstArgument], argv[options.firstArgument + 1],
                          options))
            return kExitUsage;
        return runCommand(center, request);
    }

    message.destination = destination;
    std::unique_ptr<Message> reply;
    int status = exchange(center, message, reply);
    if (status == 0 && reply) {
        std::printf("error 0\n");
        for (int i = 1; i < reply->paramCount; ++i)
            std::printf("%s\n", describeParam(*reply, i).c_str());
    }
    return status;
}
