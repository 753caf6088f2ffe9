#include "projects/FileIdentifier.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>

#include "core/Log.h"
#include "core/Platform.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "messaging/PortLabel.h"
#include "projects/EngineInfo.h"
#include "projects/OKAFile.h"
#include "tools/ToolRegistry.h"

namespace {
constexpr const char* kLogSource = "../projmgr";
constexpr const char* kMissingDescription = "These files could not be located on disk";
constexpr const char* kTextDescription =
    "Text files are non-binary files that have not been identified by an OKA tool";

// True when `answer` claims the file with a type it may have. A claim
// without a type, or with the engines' or the wildcard type (which would
// file the file among the engines, or match every query), counts as a
// refusal so that the next tool still decides.
bool claimsFile(const FileIdentification& answer) {
    if (answer.error != 0) {
        OKA_LOG("Got back error %d identifying file", int(answer.error));
        return false;
    }
    if (!answer.recognised) return false;
    if (answer.type == 0 || answer.type == kEngineType || answer.type == kWildcardType) {
        OKA_LOG("Got back error %d identifying file", int(kErrorBadParamType));
        return false;
    }
    return true;
}

uint32_t millisecondsLeft(uint32_t deadline) {
    int32_t left = int32_t(deadline - currentMilliseconds());
    return left > 0 ? uint32_t(left) : 0;
}
}  // namespace

std::vector<FileIdentifier::AskedTool> FileIdentifier::loadedTools() {
    std::vector<AskedTool> loaded;
    long toolCount = gToolRegistry->getToolCount();
    for (long number = 0; number < toolCount; ++number) {
        ToolInfo* info = gToolRegistry->lookupToolByNumber(number);
        if (info == nullptr) continue;
        // A tool that let a request run out of time is not asked again
        // until it is heard from.
        if (!gToolRegistry->toolIsLoaded(info->toolType) ||
            !gToolRegistry->toolIsResponding(info->toolType)) {
            continue;
        }
        AskedTool tool;
        tool.info = *info;  // the entry may go while we wait for replies
        tool.fileByFile = answersFileByFile(info->toolType);
        loaded.push_back(tool);
    }
    return loaded;
}

std::vector<const char*> FileIdentifier::identify(const std::vector<OKAFile*>& files) {
    startedMs = currentMilliseconds();
    reported = false;
    kinds.clear();
    kindIndex.clear();
    asked.clear();
    totalCount = long(files.size());
    missingCount = 0;
    std::vector<const char*> descriptions(files.size(), kMissingDescription);
    std::vector<size_t> askedFrom;  // position in `files` of each asked file
    for (size_t n = 0; n < files.size(); ++n) {
        OKAFile* file = files[n];
        if (fileExists(file->getPathname())) {
            asked.push_back(file);
            askedFrom.push_back(n);
            continue;
        }
        file->setFileTypeStr("missing");
        file->setTypeIdent(kMissingFileType);
        ++missingCount;
    }
    claims.assign(asked.size(), Claim{});
    tools = loadedTools();
    if (!asked.empty() && tools.size() >= kUnclaimed) tools.resize(kUnclaimed - 1);
    if (!asked.empty() && !tools.empty()) {
        askInBatches();
        askFileByFile();
    }

    for (size_t n = 0; n < asked.size(); ++n) {
        OKAFile* file = asked[n];
        const char*& description = descriptions[askedFrom[n]];
        if (claims[n].rank != kUnclaimed) {
            const Kind& kind = kinds[claims[n].kind];
            file->setFileTypeStr(kind.name.c_str());
            file->setTypeIdent(kind.type);
            description = kind.description.c_str();
            OKA_LOG("file: %s identified as: %s (%s)", file->getPathname(), kind.name.c_str(),
                    TypeIdentToCStr(kind.type));
        } else if (isTextFile(file->getPathname())) {
            file->setFileTypeStr("text");
            file->setTypeIdent(kTextFileType);
            description = kTextDescription;
        } else {
            file->setFileTypeStr(nullptr);
            file->setTypeIdent(kUnidentifiedType);
            description = "";
        }
    }
    if (reported) (progress != nullptr ? *progress : loggedProgress).identifyEnded();
    tools.clear();
    return descriptions;
}

// ---------------------------------------------------------------- batches

void FileIdentifier::askInBatches() {
    for (AskedTool& tool : tools) {
        if (!tool.fileByFile) sendBatch(tool);
    }
    for (;;) {
        uint32_t earliest = 0;
        bool awaiting = false;
        for (AskedTool& tool : tools) {
            if (!tool.awaiting) continue;
            // A tool that died with its batch costs no reply time.
            bool died = gMessageCenter->replyCannotCome(tool.info, tool.nextProbe);
            if (died || millisecondsLeft(tool.deadline) == 0) {
                OKA_LOG("failed to get back reply when asking tool %s to identify %zu files%s",
                        TypeIdentToCStr(tool.info.toolType), tool.batchCount,
                        toolLabel(tool.info).c_str());
                tool.awaiting = false;
                tool.gaveUp = true;
                if (!died) gMessageCenter->requestTimedOut(tool.info);
                continue;
            }
            if (!awaiting || int32_t(tool.deadline - earliest) < 0) earliest = tool.deadline;
            awaiting = true;
        }
        if (!awaiting) return;
        int wait =
            int(std::min<uint32_t>(millisecondsLeft(earliest), TCPTransport::kPollTimeoutMs));
        std::unique_ptr<Message> reply(nextReply(wait));
        if (reply == nullptr) continue;
        AskedTool* sender = toolThatSent(*reply);
        if (sender == nullptr || !sender->awaiting) {
            // A late answer to a request given up on: dropped like any other.
            gMessageCenter->getQueue().enqueueMessage(reply.release());
            continue;
        }
        sender->awaiting = false;
        takeBatchReply(*sender, *reply);
        if (!sender->fileByFile) sendBatch(*sender);
    }
}

bool FileIdentifier::sendBatch(AskedTool& tool) {
    if (tool.nextFile >= asked.size()) return false;
    size_t most = batchTools.count(tool.info.toolType) > 0 ? size_t(kMaxBatchPaths) : 1;
    size_t count = std::min(asked.size() - tool.nextFile, most);
    std::vector<const char*> paths;
    paths.reserve(count);
    for (size_t n = 0; n < count; ++n) paths.push_back(asked[tool.nextFile + n]->getPathname());
    auto* request = new Message(kIdentifyBatchMsg.code, &tool.info);
    addBatchPaths(*request, paths);
    tool.batchCount = count;
    tool.nextFile += count;
    if (!gMessageCenter->sendRequest(request)) {
        // Nothing listens there, or the tool is known not to answer.
        OKA_LOG("failed to get back reply when asking tool %s to identify %zu files%s",
                TypeIdentToCStr(tool.info.toolType), count, toolLabel(tool.info).c_str());
        tool.gaveUp = true;
        return false;
    }
    tool.awaiting = true;
    tool.deadline = currentMilliseconds() + kDefaultReplyTimeout;
    tool.nextProbe = currentMilliseconds() + MessageCenter::kProbeWhileWaitingMs;
    return true;
}

void FileIdentifier::takeBatchReply(AskedTool& tool, const Message& reply) {
    int32_t error = reply.getLongParam(0);
    size_t first = tool.nextFile - tool.batchCount;
    if (error == kErrorNoHandler) {
        // An older library: it learns of single files only.
        OKA_LOG("tool %s answers one file at a time", TypeIdentToCStr(tool.info.toolType));
        fileByFileTools.insert(tool.info.toolType);
        tool.fileByFile = true;
        return;
    }
    batchTools.insert(tool.info.toolType);
    if (error != 0) {
        OKA_LOG("Got back error %d identifying file", int(error));
        return;
    }
    uint16_t rank = uint16_t(&tool - tools.data());
    bool wellFormed = readBatchAnswers(
        reply, tool.batchCount,
        [&](size_t n, const FileIdentification& answer) { take(first + n, rank, answer); });
    if (!wellFormed) OKA_LOG("Got back error %d identifying file", int(kErrorBadParamType));
}

void FileIdentifier::take(size_t index, uint16_t rank, const FileIdentification& answer) {
    if (rank >= claims[index].rank || !claimsFile(answer)) return;
    // A tool mostly answers with the kind it gave last: found without
    // building the key.
    uint32_t& lastKind = tools[rank].lastKind;
    if (lastKind < kinds.size() && kinds[lastKind].type == answer.type &&
        kinds[lastKind].name == answer.typeName &&
        kinds[lastKind].description == answer.description) {
        claims[index] = Claim{rank, lastKind};
        return;
    }
    std::string key(reinterpret_cast<const char*>(&answer.type), sizeof answer.type);
    key.append(answer.typeName).push_back('\0');
    key.append(answer.description);
    auto [found, added] = kindIndex.try_emplace(key, uint32_t(kinds.size()));
    if (added) kinds.push_back({answer.type, answer.typeName, answer.description});
    claims[index] = Claim{rank, found->second};
    lastKind = found->second;
}

FileIdentifier::AskedTool* FileIdentifier::toolThatSent(const Message& reply) {
    for (AskedTool& tool : tools) {
        if (tool.info.port == reply.sender.port && tool.info.toolType == reply.sender.toolType)
            return &tool;
    }
    return nullptr;
}

// ---------------------------------------------------------------- file by file

void FileIdentifier::askFileByFile() {
    inFileByFilePhase = true;
    for (fileByFileDone = 0; fileByFileDone < asked.size(); ++fileByFileDone) {
        size_t n = fileByFileDone;
        for (size_t rank = 0; rank < tools.size() && rank < claims[n].rank; ++rank) {
            AskedTool& tool = tools[rank];
            if (!tool.fileByFile || tool.gaveUp) continue;
            auto* request = new Message(kIdentifyFileMsg.code, &tool.info);
            request->addTextParam(asked[n]->getPathname());
            std::unique_ptr<Message> reply;
            if (gMessageCenter->sendRequest(request)) {
                reply.reset(awaitReplyFrom(tool, currentMilliseconds() + kDefaultReplyTimeout));
                if (reply == nullptr) gMessageCenter->requestTimedOut(tool.info);
            }
            if (reply == nullptr) {
                OKA_LOG("failed to get back reply when asking tool %s to identify file %s%s",
                        TypeIdentToCStr(tool.info.toolType), asked[n]->getPathname(),
                        toolLabel(tool.info).c_str());
                tool.gaveUp = true;
                continue;
            }
            take(n, uint16_t(rank), readIdentifyReply(*reply));
        }
    }
    inFileByFilePhase = false;
}

Message* FileIdentifier::awaitReplyFrom(const AskedTool& tool, uint32_t deadline) {
    for (uint32_t left; (left = millisecondsLeft(deadline)) > 0;) {
        Message* reply = nextReply(int(std::min<uint32_t>(left, TCPTransport::kPollTimeoutMs)));
        if (reply == nullptr) continue;
        if (toolThatSent(*reply) == &tool) return reply;
        gMessageCenter->getQueue().enqueueMessage(reply);
    }
    return nullptr;
}

// ---------------------------------------------------------------- waiting and progress

Message* FileIdentifier::nextReply(int wait) {
    auto start = std::chrono::steady_clock::now();
    Message* reply = gMessageCenter->nextReply(wait);
    waitMs +=
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    reportProgress(filesDone());
    return reply;
}

long FileIdentifier::filesDone() const {
    if (inFileByFilePhase) return missingCount + long(fileByFileDone);
    // Batches go out in file order: a file is done once every tool still
    // asking has answered for it.
    size_t answered = asked.size();
    for (const AskedTool& tool : tools) {
        if (tool.fileByFile || tool.gaveUp) continue;
        answered = std::min(answered, tool.nextFile - (tool.awaiting ? tool.batchCount : 0));
    }
    return missingCount + long(answered);
}

void FileIdentifier::reportProgress(long done) {
    reported = true;
    (progress != nullptr ? *progress : loggedProgress)
        .identifyProgress(done, totalCount, currentMilliseconds() - startedMs);
}
