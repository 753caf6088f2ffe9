#include "messaging/WatchCopy.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>

#include "core/ByteOrder.h"
#include "core/Utilities.h"
#include "messaging/MessageTypes.h"
#include "messaging/WireFormat.h"

namespace {
uint64_t microsecondsNow() {
    return uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count());
}

// "HH:MM:SS.mmm" in local time.
std::string clockText(uint64_t microseconds) {
    std::time_t seconds = std::time_t(microseconds / 1000000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03u", local.tm_hour, local.tm_min,
                  local.tm_sec, unsigned(microseconds / 1000 % 1000));
    return text;
}

std::string codeText(TypeCode code) {
    return TypeIdentToCStr(code);
}

// "name(TYPE):port", or ":port" for a program that gave no name.
std::string programText(const ToolInfo& tool) {
    std::string text = tool.name;
    if (tool.toolType != 0) text += "(" + codeText(tool.toolType) + ")";
    return text + ":" + std::to_string(tool.port);
}

// The value of one parameter from its first `shown` bytes of `length`.
std::string valueText(TypeCode type, const uint8_t* bytes, long shown, long length) {
    bool whole = shown == length;
    if (type == kParamS255 || type == kParamST31) {
        std::string text(reinterpret_cast<const char*>(bytes), size_t(shown));
        text = text.substr(0, text.find('\0'));
        bool cut = text.size() > size_t(kWatchTextCut) || (!whole && text.size() == size_t(shown));
        if (text.size() > size_t(kWatchTextCut)) text.resize(kWatchTextCut);
        return "\"" + text + (cut ? "...\"" : "\"");
    }
    if ((type == kParamLong || type == kParamError) && length == 4) {
        return std::to_string(int32_t(getBigEndian32(bytes)));
    }
    if (type == kParamShort && length == 2) return std::to_string(int16_t(getBigEndian16(bytes)));
    if (type == kParamBool && length == 1) return bytes[0] ? "1" : "0";
    if (type == kParamType && length == 4) return codeText(getBigEndian32(bytes));
    return std::to_string(length) + " bytes";
}

std::string describeCopy(const Message& copy) {
    if (copy.getParamLength(0) != 8 || copy.getParamLength(3) != kWireHeaderSize) return "";
    const uint8_t* time = copy.getParam(0);
    uint64_t microseconds = (uint64_t(getBigEndian32(time)) << 32) | getBigEndian32(time + 4);
    Message watched;
    DeclaredParams declared;
    if (decodeMessageHeader(copy.getParam(3), watched, declared) != HeaderCheck::ok) return "";
    std::string line = clockText(microseconds) + " " + codeText(copy.getTypeParam(1)) + " " +
                       codeText(watched.type) + " " + programText(watched.sender) + " -> " +
                       programText(watched.destination);
    const uint8_t* preview = copy.getParam(4);
    long previewLeft = copy.getParamLength(4);
    for (int i = 0; i < declared.count; ++i) {
        long shown = std::min<long>(declared.lengths[i], kWatchPreviewBytes);
        if (shown > previewLeft) return "";
        line += " " + codeText(declared.types[i]) + ":" +
                valueText(declared.types[i], preview, shown, declared.lengths[i]);
        preview += shown;
        previewLeft -= shown;
    }
    if (watched.wantsReply) line += " (wants reply)";
    return line;
}

std::string describeNotice(const Message& notice) {
    TypeCode event = notice.getTypeParam(0);
    std::string line = clockText(microsecondsNow()) + " NOTE ";
    if (event == kNoticeProjectChanged) {
        char path[kPathSize];
        notice.getTextParam(2, path, sizeof path);
        return line + "project changed: " + path;
    }
    if (notice.getParamLength(1) != kToolInfoSize) return "";
    const char* what = event == kNoticeToolAdded          ? "tool added: "
                       : event == kNoticeToolReregistered ? "tool re-registered: "
                       : event == kNoticeToolUnloaded     ? "tool unloaded: "
                       : event == kNoticeToolRemoved      ? "tool removed: "
                                                          : nullptr;
    if (what == nullptr) return "";
    return line + what + programText(decodeToolInfo(notice.getParam(1)));
}

bool hasTemplate(const Message& message, const MessageType& type) {
    if (message.type != type.code || message.paramCount != type.params.paramCount) return false;
    for (int i = 0; i < message.paramCount; ++i) {
        if (message.paramTypes[i] != type.params.paramTypes[i]) return false;
    }
    return true;
}
}  // namespace

Message* makeWatchCopy(const Message& message, TypeCode direction, uint32_t dropped) {
    auto copy = std::make_unique<Message>(kWatchCopyMsg.code, nullptr);
    uint64_t now = microsecondsNow();
    uint8_t time[8];
    putBigEndian32(time, uint32_t(now >> 32));
    putBigEndian32(time + 4, uint32_t(now));
    copy->addParam(kParamData, time, sizeof time);
    copy->addTypeParam(direction);
    copy->addLongParam(int32_t(dropped));
    uint8_t header[kWireHeaderSize];
    encodeMessageHeader(message, header);
    copy->addParam(kParamData, header, kWireHeaderSize);
    uint8_t preview[kMaxMessageParams * kWatchPreviewBytes];
    long previewLength = 0;
    for (int i = 0; i < message.paramCount; ++i) {
        long shown = std::min<long>(message.getParamLength(i), kWatchPreviewBytes);
        std::copy_n(message.getParam(i), shown, preview + previewLength);
        previewLength += shown;
    }
    copy->addParam(kParamData, preview, previewLength);
    return copy.release();
}

Message* makeNotice(TypeCode event, const ToolInfo* tool, const char* path) {
    auto notice = std::make_unique<Message>(kNoticeMsg.code, nullptr);
    notice->addTypeParam(event);
    uint8_t bytes[kToolInfoSize];
    encodeToolInfo(tool != nullptr ? *tool : ToolInfo{}, bytes);
    notice->addParam(kParamData, bytes, kToolInfoSize);
    notice->addTextParam(path != nullptr ? path : "");
    return notice.release();
}

std::string describeWatchedMessage(const Message& message) {
    if (hasTemplate(message, kWatchCopyMsg)) return describeCopy(message);
    if (hasTemplate(message, kNoticeMsg)) return describeNotice(message);
    return "";
}

TypeCode watchedType(const Message& copy) {
    if (!hasTemplate(copy, kWatchCopyMsg) || copy.getParamLength(3) != kWireHeaderSize) return 0;
    return getBigEndian32(copy.getParam(3));
}
