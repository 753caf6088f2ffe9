// Scripted tools: the child that serves the port answers 'IDFL' by its rules.
#include "ScriptedTool.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <optional>

#include "TestSupport.h"
#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/IdentifyBatch.h"
#include "messaging/MessageTypes.h"

namespace {
// The answer of the first rule whose suffix ends `path` (a refusal when none
// does); none when the rule keeps silent, and a rule that dies ends the process.
std::optional<FileIdentification> answerFor(const std::string& path,
                                            const std::vector<IdentifyRule>& rules) {
    auto rule = std::find_if(rules.begin(), rules.end(),
                             [&](const IdentifyRule& each) { return path.ends_with(each.suffix); });
    FileIdentification answer;
    if (rule == rules.end()) return answer;
    if (rule->kind == IdentifyRule::dies) _exit(0);
    if (rule->kind == IdentifyRule::silent) return std::nullopt;
    if (rule->kind == IdentifyRule::error) answer.error = -77;
    if (rule->kind != IdentifyRule::recognise) return answer;
    answer.recognised = true;
    copyText(answer.typeName, sizeof answer.typeName, rule->typeName.c_str());
    answer.type = rule->type;
    copyText(answer.description, sizeof answer.description, rule->description.c_str());
    return answer;
}

// The reply to 'IDFL' for `path`; null when the rule keeps silent.
std::unique_ptr<Message> answerOne(const Message& request, const std::string& path,
                                   const std::vector<IdentifyRule>& rules) {
    std::optional<FileIdentification> answer = answerFor(path, rules);
    if (!answer) return nullptr;
    auto reply = std::make_unique<Message>(kReplyMessage, &request.sender);
    reply->addLongParam(answer->error, kParamError);
    if (answer->error != 0) return reply;
    reply->addBoolParam(answer->recognised);
    if (answer->recognised) {
        reply->addTextParam(answer->typeName);
        reply->addTypeParam(answer->type);
        if (answer->description[0] != '\0') reply->addTextParam(answer->description);
    }
    return reply;
}

// The reply to 'IDFB', one answer per path; null when a path's rule keeps silent.
std::unique_ptr<Message> answerBatch(const Message& request, const std::vector<IdentifyRule>& rules,
                                     ScriptedTool::Library library, std::ofstream& journal) {
    auto reply = std::make_unique<Message>(kReplyMessage, &request.sender);
    std::vector<const char*> paths;
    readBatchPaths(request, paths);
    if (library == ScriptedTool::Library::fileByFile) {
        journal << "IDFB refused " << paths.size() << '\n';
        reply->addLongParam(-3, kParamError);
        return reply;
    }
    std::vector<FileIdentification> answers;
    for (const char* path : paths) {
        journal << "IDFB " << path << '\n';
        std::optional<FileIdentification> answer = answerFor(path, rules);
        if (!answer) return nullptr;
        answers.push_back(*answer);
    }
    reply->addLongParam(0, kParamError);
    addBatchAnswers(*reply, answers);
    return reply;
}
}  // namespace

ScriptedTool::ScriptedTool(const std::filesystem::path& journal, const char* name, TypeCode type,
                           const std::vector<IdentifyRule>& rules, Library library)
    : FakeTool(name, type), journalPath(journal) {
    // The child inherits the listening socket; the parent never polls it.
    child = fork();
    if (child == 0) {
        gOKALogStream = nullptr;  // the parent's log is not the child's to write
        serve(rules, library);
    }
}

// The child's life: answer until killed.
void ScriptedTool::serve(const std::vector<IdentifyRule>& rules, Library library) {
    for (;;) {
        std::unique_ptr<Message> message(transport->poll().valueOr(nullptr));
        if (!message) continue;
        char path[kPathSize];
        message->getTextParam(0, path, sizeof path);
        std::ofstream journal;  // the benchmarks keep none
        if (!journalPath.empty()) journal.open(journalPath, std::ios::app);
        std::unique_ptr<Message> reply;
        if (message->type == typeCode("FADD")) {
            journal << "FADD " << path << ' ' << TypeIdentToCStr(message->getTypeParam(1)) << '\n';
        } else if (message->type == typeCode("CMDS")) {
            char file[kPathSize];
            message->getTextParam(3, file, sizeof file);
            journal << "CMDS " << path << ' ' << file << '\n';
        } else if (message->type == kReplyMessage) {
            journal << "RPLY " << message->getLongParam(0) << '\n';
        } else if (message->type == kIdentifyBatchMsg.code) {
            reply = answerBatch(*message, rules, library, journal);
        } else if (message->type == kIdentifyFileMsg.code) {
            journal << "IDFL " << path << std::endl;
            reply = answerOne(*message, path, rules);
        }
        journal.close();
        if (!reply) continue;
        reply->sender = info;                  // as a tool's message center signs its replies
        (void)transport->sendMessage(*reply);  // a Tool Manager gone meanwhile has no use for it
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
    return pollUntil([&] { return std::ranges::count(journal(), line) > 0; }, 2000);
}
