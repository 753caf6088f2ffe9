// IdentifyBatch: asking a tool about many files in one message ('IDFB')
// instead of one 'IDFL' round trip per file. The tool library answers it by
// handing each path to the tool's own 'IDFL' handler, so tools change
// nothing; a tool built before 'IDFB' existed answers it with -3 (no
// handler) and is then asked file by file.
//
// Request 'IDFB', one 'DATA' parameter: at most kMaxBatchPaths full paths,
// each with its terminator, back to back (each path at most 255 characters).
//
// Reply after 'EROR': one 'DATA' parameter holding one answer per path, in
// the order of the paths; all integers big-endian:
//
//   offset size field
//        0    4 error code of the tool's 'IDFL' handling (0: answered)
//        4    1 recognised: non-zero when the tool knows the file
//        5    4 the file's type code (0 unless recognised)
//        9  n+1 type name, NUL-terminated (empty unless recognised), n <= 255
//    10+n m+1 description of the type, NUL-terminated, m <= 255
//
// The same reading serves an 'IDFL' reply (readIdentifyReply), so both
// exchanges give the Tool Manager the same FileIdentification.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Utilities.h"
#include "messaging/Message.h"

inline constexpr int kMaxBatchPaths = 1024;
// The fixed part of one answer: error, recognised flag, type.
inline constexpr int kBatchAnswerHeaderSize = 9;

// What one tool said about one file.
struct FileIdentification {
    int32_t error = 0;                 // the handling's error code; 0: the tool answered
    bool recognised = false;           // the tool knows the file
    TypeCode type = 0;                 // its type, when recognised
    char typeName[kPathSize] = "";     // the type's name, when recognised
    char description[kPathSize] = "";  // the type's description, possibly empty
};

// The answer an 'IDFL' reply carries: 'EROR', 'BOOL' recognised, then
// 'S255' type name, 'IDNT' type and optionally 'S255' description.
FileIdentification readIdentifyReply(const Message& reply);

// The request's 'DATA' parameter for `paths` (at most kMaxBatchPaths, each
// shorter than kPathSize).
void addBatchPaths(Message& request, const std::vector<const char*>& paths);
// The paths of a request, pointing into it; false for a parameter that is
// not a list of terminated paths of at most 255 characters, or holds more
// than kMaxBatchPaths.
bool readBatchPaths(const Message& request, std::vector<const char*>& paths);

// Appends the 'DATA' parameter of answers to `reply`.
void addBatchAnswers(Message& reply, const std::vector<FileIdentification>& answers);
// Calls `take(index, answer)` for each answer of parameter 1 of `reply`;
// false, before calling anything, unless it holds exactly `expected`
// well-formed answers.
template <typename Take>
bool readBatchAnswers(const Message& reply, size_t expected, Take take);

// ---- implementation of the template
namespace identify_batch_detail {
// The answer starting at `offset` of `bytes`; the offset after it, or 0
// when it is cut short or a text lacks its terminator within 256 bytes.
size_t decodeAnswer(const uint8_t* bytes, size_t size, size_t offset, FileIdentification& out);
}  // namespace identify_batch_detail

template <typename Take>
bool readBatchAnswers(const Message& reply, size_t expected, Take take) {
    if (reply.paramCount != 2 || reply.getParamType(1) != kParamData) return false;
    const uint8_t* bytes = reply.getParam(1);
    size_t size = size_t(reply.getParamLength(1));
    // Checked whole first, so that a damaged reply changes nothing.
    FileIdentification answer;
    size_t offset = 0;
    for (size_t n = 0; n < expected; ++n) {
        offset = identify_batch_detail::decodeAnswer(bytes, size, offset, answer);
        if (offset == 0) return false;
    }
    if (offset != size) return false;
    offset = 0;
    for (size_t n = 0; n < expected; ++n) {
        offset = identify_batch_detail::decodeAnswer(bytes, size, offset, answer);
        take(n, answer);
    }
    return true;
}
