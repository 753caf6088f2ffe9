#include "messaging/IdentifyBatch.h"

#include <cstring>

#include "core/ByteOrder.h"

namespace {
// Length of the terminated text at `text` within `available` bytes and
// kPathSize; -1 when no terminator comes in time.
long terminatedLength(const uint8_t* text, size_t available) {
    size_t limit = available < size_t(kPathSize) ? available : size_t(kPathSize);
    const void* end = std::memchr(text, 0, limit);
    return end != nullptr ? long(static_cast<const uint8_t*>(end) - text) : -1;
}

void appendText(std::vector<uint8_t>& bytes, const char* text) {
    size_t length = std::strlen(text);
    bytes.insert(bytes.end(), text, text + length + 1);
}
}  // namespace

FileIdentification readIdentifyReply(const Message& reply) {
    FileIdentification answer;
    answer.error = reply.getLongParam(0);
    if (answer.error != 0 || !reply.getBoolParam(1)) return answer;
    answer.recognised = true;
    reply.getTextParam(2, answer.typeName, sizeof answer.typeName);
    answer.type = reply.paramCount >= 4 ? reply.getTypeParam(3) : 0;
    if (reply.paramCount > 4) reply.getTextParam(4, answer.description, sizeof answer.description);
    return answer;
}

void addBatchPaths(Message& request, const std::vector<const char*>& paths) {
    std::vector<uint8_t> bytes;
    for (const char* path : paths) appendText(bytes, path);
    request.addParam(kParamData, bytes.data(), long(bytes.size()));
}

bool readBatchPaths(const Message& request, std::vector<const char*>& paths) {
    paths.clear();
    const uint8_t* bytes = request.getParam(0);
    size_t size = size_t(request.getParamLength(0));
    for (size_t offset = 0; offset < size;) {
        long length = terminatedLength(bytes + offset, size - offset);
        if (length < 0 || paths.size() == size_t(kMaxBatchPaths)) return false;
        paths.push_back(reinterpret_cast<const char*>(bytes + offset));
        offset += size_t(length) + 1;
    }
    return true;
}

void addBatchAnswers(Message& reply, const std::vector<FileIdentification>& answers) {
    std::vector<uint8_t> bytes;
    bytes.reserve(answers.size() * (kBatchAnswerHeaderSize + 2));
    for (const FileIdentification& answer : answers) {
        uint8_t fixed[kBatchAnswerHeaderSize];
        putBigEndian32(fixed, uint32_t(answer.error));
        fixed[4] = answer.recognised ? 1 : 0;
        putBigEndian32(fixed + 5, answer.recognised ? answer.type : 0);
        bytes.insert(bytes.end(), fixed, fixed + sizeof fixed);
        appendText(bytes, answer.recognised ? answer.typeName : "");
        appendText(bytes, answer.recognised ? answer.description : "");
    }
    reply.addParam(kParamData, bytes.data(), long(bytes.size()));
}

size_t identify_batch_detail::decodeAnswer(const uint8_t* bytes, size_t size, size_t offset,
                                           FileIdentification& out) {
    if (offset > size || size - offset < size_t(kBatchAnswerHeaderSize)) return 0;
    const uint8_t* fixed = bytes + offset;
    out.error = int32_t(getBigEndian32(fixed));
    out.recognised = fixed[4] != 0;
    out.type = getBigEndian32(fixed + 5);
    offset += kBatchAnswerHeaderSize;
    for (char* text : {out.typeName, out.description}) {
        long length = terminatedLength(bytes + offset, size - offset);
        if (length < 0) return 0;
        std::memcpy(text, bytes + offset, size_t(length) + 1);
        offset += size_t(length) + 1;
    }
    return offset;
}
