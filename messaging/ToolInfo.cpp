#include "messaging/ToolInfo.h"

#include <cstring>

#include "core/ByteOrder.h"
#include "core/Utilities.h"

void encodeToolInfo(const ToolInfo& info, uint8_t* out) {
    std::memset(out, 0, kToolInfoSize);
    std::memcpy(out, info.name, kToolNameSize);
    std::memcpy(out + 32, info.company, kToolNameSize);
    putBigEndian32(out + 64, uint32_t(info.majorVersion));
    putBigEndian32(out + 68, uint32_t(info.minorVersion));
    out[72] = info.isSourceViewer;
    putBigEndian32(out + 76, info.toolType);
    putBigEndian32(out + 80, uint32_t(info.port));
}

ToolInfo decodeToolInfo(const uint8_t* in) {
    ToolInfo info;
    copyText(info.name, kToolNameSize, reinterpret_cast<const char*>(in), kToolNameSize);
    copyText(info.company, kToolNameSize, reinterpret_cast<const char*>(in + 32), kToolNameSize);
    info.majorVersion = int32_t(getBigEndian32(in + 64));
    info.minorVersion = int32_t(getBigEndian32(in + 68));
    info.isSourceViewer = in[72];
    info.toolType = getBigEndian32(in + 76);
    info.port = int32_t(getBigEndian32(in + 80));
    return info;
}

std::string describeTool(const ToolInfo& info) {
    return std::string(info.name) + " (" + TypeIdentToCStr(info.toolType) + ")";
}
