// okamsg: sends one message to the Tool Manager (or any program of the
// environment) from the command line, and optionally waits for its reply.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "messaging/ParamText.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitNoReply = 3;
constexpr int kExitErrorReply = 4;

void printUsage() {
    std::printf(
        "Usage: okamsg [--port N] [--reply [MS]] TYPE [PARAM...]\n"
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
        "  --help        show this text\n"
        "\n"
        "Exit status: 0 on success, 2 for bad arguments, 3 when no reply came in time,\n"
        "4 when the reply carried a non-zero error code.\n"
        "\n"
        "Examples:\n"
        "  okamsg --reply SHOW\n"
        "  okamsg --reply 2000 LOOK IDNT:BROW\n"
        "  okamsg ADDF S255:/home/me/project/main.qnt\n"
        "  okamsg --port 4217 SCHG S255:/tmp/changed.qnt\n");
}

bool isNumber(const char* text) {
    return text != nullptr && *text != '\0' && std::strspn(text, "0123456789") == std::strlen(text);
}

}  // namespace

int main(int argc, char** argv) {
    int port = 0;
    bool wantsReply = false;
    uint32_t timeout = kDefaultReplyTimeout;
    int argument = 1;
    for (; argument < argc && std::strncmp(argv[argument], "--", 2) == 0; ++argument) {
        const char* option = argv[argument];
        if (std::strcmp(option, "--help") == 0) {
            printUsage();
            return 0;
        } else if (std::strcmp(option, "--port") == 0 && isNumber(argv[argument + 1])) {
            port = std::atoi(argv[++argument]);
        } else if (std::strcmp(option, "--reply") == 0) {
            wantsReply = true;
            if (isNumber(argv[argument + 1])) timeout = uint32_t(std::atol(argv[++argument]));
        } else {
            std::fprintf(stderr, "okamsg: bad option %s (see --help)\n", option);
            return kExitUsage;
        }
    }
    if (argument >= argc || std::strlen(argv[argument]) != 4) {
        std::fprintf(stderr, "okamsg: give a message type of four characters (see --help)\n");
        return kExitUsage;
    }

    ToolInfo destination;
    destination.port = port != 0 ? port : TCPTransport::getToolManagerPort();
    if (destination.port == 0) {
        std::fprintf(stderr, "okamsg: no Tool Manager port (is kelvane running?)\n");
        return kExitUsage;
    }
    auto message = std::make_unique<Message>(typeCodeFromBytes(argv[argument]), &destination);
    for (++argument; argument < argc; ++argument) {
        std::string error;
        if (!addParamFromText(*message, argv[argument], error)) {
            std::fprintf(stderr, "okamsg: %s\n", error.c_str());
            return kExitUsage;
        }
    }
    message->wantsReply = wantsReply ? 1 : 0;
    message->replyTimeout = timeout;

    MessageCenter center;
    copyText(center.getOwnToolInfo().name, kToolNameSize, "okamsg");
    std::unique_ptr<Message> reply(center.sendMessage(message.release()));
    if (!wantsReply) return 0;
    if (!reply) {
        std::fprintf(stderr, "okamsg: no reply within %u ms\n", unsigned(timeout));
        return kExitNoReply;
    }
    int32_t error = reply->getLongParam(0);
    std::printf("error %d\n", int(error));
    for (int i = 1; i < reply->paramCount; ++i) std::printf("%s\n", describeParam(*reply, i).c_str());
    return error == 0 ? 0 : kExitErrorReply;
}
