// countertool: a tool without windows. It publishes "Count Files", which
// needs nothing; when it runs, the tool asks the Tool Manager for the
// project's files ('GFCP') and writes to the log (~/.oka/okalog) how many
// there are and how often it has counted. Its handler is a lambda that holds
// the tool's state, and its log lines carry the program's name as their
// source. Try it from a shell while the Tool Manager runs:
//   okamsg --run "File Counter" "Count Files"
#include <string>

#include "core/Log.h"
#include "messaging/MessageTypes.h"
#include "tools/OkaTool.h"
#include "tools/ToolRequest.h"

namespace {
constexpr TypeCode kCounterToolType = typeCode("FCNT");

// What the tool keeps between commands.
struct Counter {
    int runs = 0;  // commands run so far
};

// Asks the Tool Manager for every file of the project. A reply holds at
// most 31 of them: a full reply means that some were left out.
void countFiles(Counter& counter, const std::string& command) {
    Message files(kGetProjectFilesMsg.code, nullptr);  // to the Tool Manager
    files.addTypeParam(kWildcardType);                 // files of every type
    RequestResult result = request(files);
    ++counter.runs;
    if (!result.ok()) {
        OKA_LOG("%s: no answer from the Tool Manager (error %d)", command.c_str(), result.error());
        return;
    }
    int count = result.resultCount();
    OKA_LOG("%s: %d%s project file(s), run %d", command.c_str(), count,
            count >= 31 ? " or more" : "", counter.runs);
    for (int i = 0; i < count; ++i) OKA_LOG("  %s", result.text(i).value_or("?").c_str());
}
}  // namespace

int main(int, char** argv) {
    const ToolDescription counterTool{"File Counter", "Example Co.", 1, 0, kCounterToolType, false};
    if (startTool("countertool", counterTool) != 0) {
        return 1;  // OKA is not set: there is no installation to join
    }
    Counter counter;
    // 'CMDS': command name, engine machine, engine port, file path.
    gMessageCenter->registerMessageHandler(kRunCommandMsg, [&counter](Message& message, Message&) {
        char command[32];
        message.getTextParam(0, command, sizeof command);
        countFiles(counter, command);
        return 0;
    });
    if (registerWithToolManager(argv[0]) != 0) {
        leaveEnvironment();
        return 1;
    }
    publishCommand("Count Files", kRequiresNothing, kWildcardType);
    runToolLoop();  // until the Tool Manager sends 'QUIT'
    OKA_LOG("leaving after %d runs", counter.runs);
    leaveEnvironment();
    return 0;
}
