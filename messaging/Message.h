// Message: the unit that the programs of the environment exchange. A type
// code, up to 32 typed parameters (each an owned block of bytes), the sender
// and destination ToolInfo and a reply request with its time limit. Parameter
// data is kept exactly as it travels: integers inside it are big-endian, and
// the typed accessors below are the one place that converts them.
//
// MessageTemplate states how many parameters of which types a message type
// carries; MessageHandler binds a type and its template to a procedure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

#include "core/TypeCode.h"
#include "messaging/ToolInfo.h"
#include "storage/Item.h"

inline constexpr int kMaxMessageParams = 32;
inline constexpr int kMaxTemplateParams = 64;
inline constexpr uint32_t kDefaultReplyTimeout = 5000;

// Parameter type codes.
inline constexpr TypeCode kParamS255 = typeCode("S255");   // text, normally a path
inline constexpr TypeCode kParamST31 = typeCode("ST31");   // text used for names
inline constexpr TypeCode kParamLong = typeCode("LONG");   // signed 32-bit integer
inline constexpr TypeCode kParamShort = typeCode("SHRT");  // signed 16-bit integer
inline constexpr TypeCode kParamBool = typeCode("BOOL");   // one byte, non-zero = true
inline constexpr TypeCode kParamType = typeCode("IDNT");   // a type code
inline constexpr TypeCode kParamData = typeCode("DATA");   // opaque bytes
inline constexpr TypeCode kParamError = typeCode("EROR");  // error code, parameter 0 of a reply

inline constexpr TypeCode kReplyMessage = typeCode("RPLY");

class Message : public Item {
  public:
    Message();
    Message(TypeCode type, const ToolInfo* destination);
    Message(const Message& other);
    Message& operator=(const Message&) = delete;
    ~Message() override = default;

    void init(TypeCode type);

    // Appends a copy of `length` bytes; false (and logged) past 32 parameters.
    bool addParam(TypeCode type, const void* data, long length);
    // Replaces parameter `index`; out-of-range indices are ignored.
    void changeParam(int index, TypeCode type, const void* data, long length);

    const uint8_t* getParam(int index) const;
    long getParamLength(int index) const;
    TypeCode getParamType(int index) const;

    // Typed additions, encoding as the wire expects.
    bool addLongParam(int32_t value, TypeCode type = kParamLong);
    bool addShortParam(int16_t value);
    bool addBoolParam(bool value);
    bool addTypeParam(TypeCode value);
    void changeLongParam(int index, int32_t value, TypeCode type = kParamLong);
    // A text parameter of its length plus the terminator.
    bool addTextParam(const char* text, TypeCode type = kParamS255);

    // Typed reads. A parameter shorter than its type reads as 0 / false.
    int32_t getLongParam(int index) const;
    int16_t getShortParam(int index) const;
    bool getBoolParam(int index) const;
    TypeCode getTypeParam(int index) const { return TypeCode(getLongParam(index)); }
    // Copies a text parameter into `out`, bounded by both the parameter's
    // length and `outSize`, so a missing terminator cannot overrun anything.
    size_t getTextParam(int index, char* out, size_t outSize) const;

    bool isEqual(const Item* other) const override;
    long compare(const Item*) const override { return 0; }

    TypeCode type;                            // message type code
    int16_t paramCount;                       // parameters in use, 0..32
    TypeCode paramTypes[kMaxMessageParams];   // type of parameter i
    int32_t paramLengths[kMaxMessageParams];  // length in bytes of parameter i
    ToolInfo sender;                          // filled by MessageCenter::sendMessage
    ToolInfo destination;                     // its port selects the receiver
    uint8_t wantsReply;                       // non-zero: the sender waits for 'RPLY'
    uint32_t replyTimeout;                    // milliseconds the sender waits
    uint32_t reserved;                        // always 0

  private:
    std::unique_ptr<uint8_t[]> params[kMaxMessageParams];  // owned data of parameter i
};

// The parameters a message must carry: their count and types.
struct MessageTemplate {
    int16_t paramCount = 0;                        // parameters the message must carry
    TypeCode paramTypes[kMaxTemplateParams] = {};  // expected type of parameter i
};

// Builds a template from a list of parameter types: makeTemplate({kParamS255}).
constexpr MessageTemplate makeTemplate(std::initializer_list<TypeCode> types) {
    MessageTemplate result;
    for (TypeCode paramType : types) {
        if (result.paramCount == kMaxTemplateParams) break;
        result.paramTypes[result.paramCount++] = paramType;
    }
    return result;
}

// A handler reads `message`, may add results to `reply`, and returns the error
// code of the handling (0 for success). It neither keeps nor frees either.
using MessageHandlerProc = int32_t (*)(Message* message, Message* reply);
// The same as any callable, such as a lambda that captures the tool's state.
using MessageHandlerFunction = std::function<int32_t(Message& message, Message& reply)>;

// The handler registered for a message type, with the template its messages must fit.
class MessageHandler : public Item {
  public:
    // A search key for the handler of `messageType`.
    explicit MessageHandler(TypeCode type)
        : MessageHandler(type, nullptr, MessageHandlerProc(nullptr)) {}
    // Without a template the handler's template is all zero.
    MessageHandler(TypeCode messageType, const MessageTemplate* msgTemplate,
                   MessageHandlerProc handlerProc);
    MessageHandler(TypeCode messageType, const MessageTemplate* msgTemplate,
                   MessageHandlerFunction handlerFunction);

    bool isEqual(const Item* other) const override;
    // Calls the procedure or the function; 0 when there is neither.
    int32_t handle(Message& message, Message& reply) const;

    TypeCode messageType;                    // the message type served
    MessageTemplate msgTemplate;             // the parameters it accepts
    MessageHandlerProc handlerProc;          // the handler, or null when it is a function
    MessageHandlerFunction handlerFunction;  // the handler, or empty when it is a procedure
};
