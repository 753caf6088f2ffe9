// The wire format of one message: the whole content of one TCP connection.
// All integers are big-endian.
//
//   offset size field
//        0    4 message type code
//        4    2 parameter count n, signed, 0..32
//        6    2 padding
//        8  128 32 parameter type codes (entries n..31 ignored)
//      136  128 32 parameter lengths, signed 32-bit (entries n..31 ignored)
//      264   84 sender ToolInfo
//      348   84 destination ToolInfo
//      432    1 wants-reply flag
//      433    3 padding
//      436    4 reply timeout, milliseconds
//      440    4 reserved, 0
//      444  ... data of parameters 0..n-1, back to back, no alignment
//
// A connection whose whole content is the four bytes 'TIKL' is a tickle, a
// liveness probe that carries no message.
#pragma once

#include <cstdint>
#include <string>

#include "messaging/Message.h"

inline constexpr int kWireHeaderSize = 444;
inline constexpr TypeCode kTickle = typeCode("TIKL");

// Receivers refuse a header that declares more parameter data than this: a
// single parameter above kMaxWireParamLength, or parameters that add up to
// more than kMaxWireMessageLength. The system's largest messages are a few KB.
inline constexpr int32_t kMaxWireParamLength = 1 << 20;
inline constexpr int64_t kMaxWireMessageLength = 8 << 20;

void encodeMessageHeader(const Message& message, uint8_t* out);
// The whole message as it travels: header, then the parameters' data.
std::string encodeMessage(const Message& message);

enum class HeaderCheck { ok, badParamCount, badParamLength, tooLarge };

// The parameters a header announces; their data follows the header.
struct DeclaredParams {
    int16_t count = 0;                        // parameters announced
    TypeCode types[kMaxMessageParams] = {};   // type of parameter i
    int32_t lengths[kMaxMessageParams] = {};  // bytes of parameter i
};

// Fills the header fields of `message` (it gets no parameters yet) and
// `params` from `in`, and checks that the announced data can be read safely.
HeaderCheck decodeMessageHeader(const uint8_t* in, Message& message, DeclaredParams& params);
