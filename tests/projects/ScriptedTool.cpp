// Scripted tools: a forked child per tool, answering 'IDFL' by its rules.
#include "ScriptedTool.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/Message.h"
#include "messaging/TCPTransport.h"
#include "toolkit/SystemServices.h"

namespace {
bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

Message* answer(const Message& request, const std::vector<IdentifyRule>& rules) {
    char path[kPathSize];
    request.getTextParam(0, path, sizeof path);
    auto* reply = new Message(kReplyMessage, &request.sender);
    for (const IdentifyRule& rule : rules) {
        if (!endsWith(path, rule.suffix)) continue;
        switch (rule.kind) {
            case IdentifyRule::silent:
                delete reply;
                return nullptr;
            case IdentifyRule::error:
                reply->addLongParam(-77, kParamError);
                return reply;
            case IdentifyRule::refuse:
                break;
            case IdentifyRule::recognise:
                reply->addLongParam(0, kParamError);
                reply->addBoolParam(true);
                reply->addTextParam(rule.typeName.c_str());
                reply->addTypeParam(rule.type);
                if (!rule.description.empty()) reply->addTextParam(rule.description.c_str());
                return reply;
        }
        break;
    }
    reply->addLongParam(0, kParamError);
    reply->addBoolParam(false);
    return reply;
}

// The child's life: answer until killed.
[[noreturn]] void serve(int portPipe, const std::filesystem::path& journalPath,
                        const std::vector<IdentifyRule>& rules) {
    TCPTransport transport(0);
    int port = transport.getPort();
    if (write(portPipe, &port, sizeof port) != sizeof port) _exit(1);
    close(portPipe);
    for (;;) {
        std::unique_ptr<Message> message(transport.poll());
        if (!message) continue;
        char path[kPathSize];
        message->getTextParam(0, path, sizeof path);
        std::ofstream journal;
        if (!journalPath.empty()) journal.open(journalPath, std::ios::app);
        if (message->type == typeCode("FADD")) {
            journal << "FADD " << path << ' ' << TypeIdentToCStr(message->getTypeParam(1)) << '\n';
            continue;
        }
        if (message->type != typeCode("IDFL")) continue;
        journal << "IDFL " << path << '\n';
        journal.close();
        if (Message* reply = answer(*message, rules)) {
            transport.sendMessage(*reply);
            delete reply;
        }
    }
}
}  // namespace

ScriptedTool::ScriptedTool(const std::filesystem::path& journal, const char* name, TypeCode type,
                           std::vector<IdentifyRule> rules)
    : journalPath(journal) {
    copyText(info.name, sizeof info.name, name);
    copyText(info.company, sizeof info.company, "Test Tools");
    info.toolType = type;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return;
    child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        gOKALogStream = nullptr;  // the parent's log is not the child's to write
        serve(pipeEnds[1], journalPath, rules);
    }
    close(pipeEnds[1]);
    int port = 0;
    if (read(pipeEnds[0], &port, sizeof port) == sizeof port) info.port = port;
    close(pipeEnds[0]);
}

ScriptedTool::~ScriptedTool() {
    if (child <= 0) return;
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

std::vector<std::string> ScriptedTool::journal() const {
    std::vector<std::string> lines;
    std::ifstream in(journalPath);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool ScriptedTool::waitForLine(const std::string& line) const {
    uint32_t deadline = TIME_GetCurMillisecs() + 2000;
    for (;;) {
        auto lines = journal();
        if (std::find(lines.begin(), lines.end(), line) != lines.end()) return true;
        if (int32_t(deadline - TIME_GetCurMillisecs()) <= 0) return false;
        usleep(10000);
    }
}

