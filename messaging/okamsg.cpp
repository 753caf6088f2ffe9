// okamsg: sends one message to the Tool Manager (or any program of the
// environment) from the command line and optionally waits for its reply;
// lists the registered tools (--tools); prints the Tool Manager's traffic
// as it happens (--watch).
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/Platform.h"
#include "core/ProgramOptions.h"
#include "core/Utilities.h"
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
constexpr int kWatchWaitMs = 200;

volatile std::sig_atomic_t interrupted = 0;

constexpr const char* kUsage =
    "Usage: okamsg [--port N] [--reply [MS]] TYPE [PARAM...]\n"
    "       okamsg [--port N] --tools [--json]\n"
    "       okamsg [--port N] --watch [--type TYPE]\n"
    "\n"
    "Sends one message of type TYPE (four characters) to the Tool Manager, whose\n"
    "port is read from ~/.oka/okaport, or to port N.\n"
    "\n"
    "Parameters are written TYPE:VALUE:\n"
    "  S255:text   ST31:text   LONG:n   SHRT:n   BOOL:0|1   IDNT:ABCD\n"
    "  DATA:hex    DATA:@file  (the bytes of a file)\n"
    "\n"
    "  --port N      send to port N instead of the Tool Manager's\n"
    "  --reply [MS]  ask for a reply and wait up to MS milliseconds (default 5000);\n"
    "                prints the error code and each result parameter\n"
    "  --tools       list the registered tools and their commands ('TLST')\n"
    "  --json        with --tools: print the list as JSON\n"
    "  --watch       print one line per message the Tool Manager receives, sends or\n"
    "                relays, and its notices of tools and projects, until Ctrl-C\n"
    "  --type TYPE   with --watch: only messages of type TYPE\n"
    "  --help        show this text\n"
    "  --version     show the version\n"
    "\n"
    "Exit status:\n"
    "  0  success\n"
    "  2  bad arguments\n"
    "  3  no reply in time\n"
    "  4  the reply carried a non-zero error code (printed as \"error N\")\n"
    "  5  no Tool Manager is running (no port file, or nothing listens on the port)\n"
    "\n"
    "Examples:\n"
    "  okamsg --reply SHOW\n"
    "  okamsg --reply 2000 LOOK IDNT:BROW\n"
    "  okamsg --tools --json\n"
    "  okamsg --watch --type SCHG\n"
    "  okamsg ADDF S255:/home/me/project/main.qnt\n"
    "  okamsg --port 4217 SCHG S255:/tmp/changed.qnt\n";

bool isNumber(const char* text) {
    return text != nullptr && *text != '\0' && std::strspn(text, "0123456789") == std::strlen(text);
}

struct Options {
    int port = 0;  // 0: the Tool Manager's, from the port file
    bool wantsReply = false;
    uint32_t timeout = kDefaultReplyTimeout;
    bool listTools = false;
    bool json = false;
    bool watch = false;
    TypeCode watchedType = kWildcardType;
    int firstArgument = 0;  // the message type, for a plain message
};

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
        } else if (std::strcmp(option, "--tools") == 0) {
            options.listTools = true;
        } else if (std::strcmp(option, "--json") == 0) {
            options.json = true;
        } else if (std::strcmp(option, "--watch") == 0) {
            options.watch = true;
        } else if (std::strcmp(option, "--type") == 0 && value != nullptr && std::strlen(value) == 4) {
            options.watchedType = typeCodeFromBytes(argv[++argument]);
        } else {
            std::fprintf(stderr, "okamsg: bad option %s (see --help)\n", option);
            return false;
        }
    }
    options.firstArgument = argument;
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

// Sends `message` (with a reply wanted or not) and, when wanted, waits for
// the first 'RPLY'. Returns an exit status; `reply` gets the reply.
int exchange(MessageCenter& center, Message& message, std::unique_ptr<Message>& reply) {
    message.sender = center.getOwnToolInfo();
    bool refused = false;
    if (!center.getTransport().sendMessage(message, &refused)) {
        if (refused) {
            std::fprintf(stderr, "okamsg: no Tool Manager is running on port %d\n", message.destination.port);
            return kExitNoToolManager;
        }
        std::fprintf(stderr, "okamsg: the message could not be sent to port %d\n", message.destination.port);
        return kExitNoReply;
    }
    if (!message.wantsReply) return 0;
    uint32_t deadline = currentMilliseconds() + message.replyTimeout;
    while (int32_t(deadline - currentMilliseconds()) > 0) {
        std::unique_ptr<Message> incoming(center.getTransport().poll());
        if (incoming && incoming->type == kReplyMessage) {
            reply = std::move(incoming);
            int32_t error = reply->getLongParam(0);
            if (error == 0) return 0;
            std::printf("error %d\n", int(error));
            return kExitErrorReply;
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

void stopWatching(int) { interrupted = 1; }

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
        std::printf("error %d\n", int(started));
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
                std::printf("(%u copies dropped: okamsg did not keep up)\n", unsigned(dropped - droppedShown));
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

}  // namespace

int main(int argc, char** argv) {
    if (answerHelpOrVersion(argc, argv, "okamsg", kUsage)) return 0;
    Options options;
    if (!parseOptions(argc, argv, options)) return kExitUsage;

    ToolInfo destination;
    destination.port = options.port != 0 ? options.port : TCPTransport::getToolManagerPort();
    if (destination.port == 0) {
        char path[kPathSize];
        TCPTransport::portFilePath(path);
        std::fprintf(stderr, "okamsg: no Tool Manager is running (no port in %s)\n", path);
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

    int argument = options.firstArgument;
    Message message(typeCodeFromBytes(argv[argument]), &destination);
    for (++argument; argument < argc; ++argument) {
        std::string error;
        if (!addParamFromText(message, argv[argument], error)) {
            std::fprintf(stderr, "okamsg: %s\n", error.c_str());
            return kExitUsage;
        }
    }
    message.wantsReply = options.wantsReply ? 1 : 0;
    message.replyTimeout = options.timeout;
    std::unique_ptr<Message> reply;
    int status = exchange(center, message, reply);
    if (reply) {
        std::printf("error 0\n");
        for (int i = 1; i < reply->paramCount; ++i) std::printf("%s\n", describeParam(*reply, i).c_str());
    }
    return status;
}
