// Scripted tools: the child that serves the port answers 'IDFL' by its rules.
#include "ScriptedTool.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include "TestSupport.h"
#include "core/Log.h"
#include "core/Utilities.h"

namespace {
// The reply to 'IDFL' for `path` by the first rule whose suffix ends it;
// null when that rule keeps silent.
std::unique_ptr<Message> answer(const Message& request, const std::string& path,
                                const std::vector<IdentifyRule>& rules) {
    auto rule = std::find_if(rules.begin(), rules.end(),
                             [&](const IdentifyRule& each) { return path.ends_with(each.suffix); });
    IdentifyRule::Kind kind = rule == rules.end() ? IdentifyRule::refuse : rule->kind;
    if (kind == IdentifyRule::silent) return nullptr;
    auto reply = std::make_unique<Message>(kReplyMessage, &request.sender);
    reply->addLongParam(kind == IdentifyRule::error ? -77 : 0, kParamError);
    if (kind == IdentifyRule::error) return reply;
    reply->addBoolParam(kind == IdentifyRule::recognise);
    if (kind == IdentifyRule::recognise) {
        reply->addTextParam(rule->typeName.c_str());
        reply->addTypeParam(rule->type);
        if (!rule->description.empty()) reply->addTextParam(rule->description.c_str());
    }
    return reply;
}
}  // namespace

ScriptedTool::ScriptedTool(const std::filesystem::path& journal, const char* name, TypeCode type,
                           const std::vector<IdentifyRule>& rules)
    : FakeTool(name, type), journalPath(journal) {
    // The child inherits the listening socket; the parent never polls it.
    child = fork();
    if (child == 0) {
        gOKALogStream = nullptr;  // the parent's log is not the child's to write
        serve(rules);
    }
}

// The child's life: answer until killed.
void ScriptedTool::serve(const std::vector<IdentifyRule>& rules) {
    for (;;) {
        std::unique_ptr<Message> message(transport->poll());
        if (!message) continue;
        char path[kPathSize];
        message->getTextParam(0, path, sizeof path);
        std::ofstream journal;
        if (!journalPath.empty()) journal.open(journalPath, std::ios::app);
        if (message->type == typeCode("FADD")) {
            journal << "FADD " << path << ' ' << TypeIdentToCStr(message->getTypeParam(1)) << '\n';
            continue;
        }
        if (message->type == typeCode("CMDS")) {
            char file[kPathSize];
            message->getTextParam(3, file, sizeof file);
            journal << "CMDS " << path << ' ' << file << '\n';
            continue;
        }
        if (message->type != typeCode("IDFL")) continue;
        journal << "IDFL " << path << '\n';
        journal.close();
        if (auto reply = answer(*message, path, rules)) {
            reply->sender = info;  // as a tool's message center signs its replies
            transport->sendMessage(*reply);
        }
    }
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
    return pollUntil([&] {
        auto lines = journal();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }, 2000);
}

