// hellotool: the smallest complete tool of the OKA. It registers with the
// Tool Manager, publishes the command "Say Hello" for files of its own type,
// identifies files ending in .hello as that type when the Tool Manager asks
// ('IDFL'), and writes what it receives to the log (~/.oka/okalog), its
// lines tagged with the program's name.
#include <cstring>

#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/MessageTypes.h"
#include "tools/OkaTool.h"

namespace {
// The type of the files this tool knows, and the tool's own type.
constexpr TypeCode kHelloFileType = typeCode("HELO");
constexpr TypeCode kHelloToolType = typeCode("HTOL");

// 'CMDS': the user chose one of our commands in the workspace. Parameters:
// command name, engine machine, engine port, file path. The message center
// has checked their types against kRunCommandMsg before calling us, and
// getTextParam never copies more than the buffer holds.
int32_t runCommandMsg(Message* message, Message*) {
    char command[32];
    char path[kPathSize];
    message->getTextParam(0, command, sizeof command);
    message->getTextParam(3, path, sizeof path);
    OKA_LOG("received CMDS %s for %s", command, path);
    return 0;
}

// 'IDFL': the Tool Manager asks whether we know a file of the project. The
// reply says yes or no and, for yes, the type's name, code and description.
int32_t identifyFileMsg(Message* message, Message* reply) {
    char path[kPathSize];
    message->getTextParam(0, path, sizeof path);
    const char* extension = std::strrchr(path, '.');
    bool known = extension != nullptr && std::strcmp(extension, ".hello") == 0;
    OKA_LOG("received IDFL %s: %s", path, known ? "a hello file" : "not ours");
    reply->addBoolParam(known);
    if (known) {
        reply->addTextParam("Hello file");
        reply->addTypeParam(kHelloFileType);
        reply->addTextParam("Greetings to be said by the Hello Tool");
    }
    return 0;
}
}  // namespace

int main(int, char** argv) {
    // Name, maker, version 1.0, tool type, not a source viewer.
    if (startTool("hellotool", {"Hello Tool", "Example Co.", 1, 0, kHelloToolType, false}) != 0) {
        return 1;  // OKA is not set: there is no installation to join
    }
    // Handlers first: the Tool Manager asks 'IDFL' once it has registered us.
    gMessageCenter->registerMessageHandler(kRunCommandMsg, runCommandMsg);
    gMessageCenter->registerMessageHandler(kIdentifyFileMsg, identifyFileMsg);
    if (registerWithToolManager(argv[0]) != 0) {
        leaveEnvironment();
        return 1;
    }
    publishCommand("Say Hello", kRequiresFile, kHelloFileType);
    // Until the Tool Manager sends 'QUIT', or SIGTERM, SIGHUP or Ctrl-C
    // arrives: then it unregisters the tool before it returns.
    runToolLoop();
    OKA_LOG("leaving");
    leaveEnvironment();
    return 0;
}
