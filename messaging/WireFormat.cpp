#include "messaging/WireFormat.h"

#include <cstring>

#include "core/ByteOrder.h"

void encodeMessageHeader(const Message& message, uint8_t* out) {
    std::memset(out, 0, kWireHeaderSize);
    putBigEndian32(out, message.type);
    putBigEndian16(out + 4, uint16_t(message.paramCount));
    for (int i = 0; i < message.paramCount && i < kMaxMessageParams; ++i) {
        putBigEndian32(out + 8 + 4 * i, message.paramTypes[i]);
        putBigEndian32(out + 136 + 4 * i, uint32_t(message.paramLengths[i]));
    }
    encodeToolInfo(message.sender, out + 264);
    encodeToolInfo(message.destination, out + 348);
    out[432] = message.wantsReply ? 1 : 0;
    putBigEndian32(out + 436, message.replyTimeout);
    putBigEndian32(out + 440, 0);
}

HeaderCheck decodeMessageHeader(const uint8_t* in, Message& message, DeclaredParams& params) {
    message.init(getBigEndian32(in));
    params.count = int16_t(getBigEndian16(in + 4));
    if (params.count < 0 || params.count > kMaxMessageParams) return HeaderCheck::badParamCount;
    int64_t total = 0;
    for (int i = 0; i < params.count; ++i) {
        params.types[i] = getBigEndian32(in + 8 + 4 * i);
        params.lengths[i] = int32_t(getBigEndian32(in + 136 + 4 * i));
        if (params.lengths[i] < 0) return HeaderCheck::badParamLength;
        if (params.lengths[i] > kMaxWireParamLength) return HeaderCheck::tooLarge;
        total += params.lengths[i];
    }
    if (total > kMaxWireMessageLength) return HeaderCheck::tooLarge;
    message.sender = decodeToolInfo(in + 264);
    message.destination = decodeToolInfo(in + 348);
    message.wantsReply = in[432] != 0 ? 1 : 0;
    message.replyTimeout = getBigEndian32(in + 436);
    message.reserved = 0;
    return HeaderCheck::ok;
}

std::string encodeMessage(const Message& message) {
    uint8_t header[kWireHeaderSize];
    encodeMessageHeader(message, header);
    std::string bytes(reinterpret_cast<char*>(header), kWireHeaderSize);
    for (int i = 0; i < message.paramCount; ++i) {
        bytes.append(reinterpret_cast<const char*>(message.getParam(i)),
                     size_t(message.getParamLength(i)));
    }
    return bytes;
}
