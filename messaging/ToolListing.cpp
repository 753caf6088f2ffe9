#include "messaging/ToolListing.h"

#include <algorithm>
#include <cstdint>

#include "core/ByteOrder.h"
#include "core/Utilities.h"

std::vector<uint8_t> encodeToolListing(const ToolListing& listing) {
    size_t count = std::min<size_t>(listing.commands.size(), UINT16_MAX);
    std::vector<uint8_t> bytes(kToolListingHeaderSize + count * kCommandListingSize, 0);
    encodeToolInfo(listing.info, bytes.data());
    bytes[84] = !listing.loaded ? 0 : listing.notResponding ? 2 : 1;
    bytes[85] = listing.isDefaultSourceViewer ? 1 : 0;
    putBigEndian16(&bytes[86], uint16_t(count));
    uint8_t* entry = bytes.data() + kToolListingHeaderSize;
    for (size_t i = 0; i < count; ++i, entry += kCommandListingSize) {
        const CommandListing& command = listing.commands[i];
        copyText(reinterpret_cast<char*>(entry), kCommandListingNameSize, command.name.c_str());
        putBigEndian32(entry + 32, uint32_t(command.requirement));
        putBigEndian32(entry + 36, command.requiresType);
    }
    return bytes;
}

bool decodeToolListing(const uint8_t* in, long length, ToolListing& listing) {
    if (in == nullptr || length < kToolListingHeaderSize) return false;
    size_t count = getBigEndian16(in + 86);
    if (length != long(kToolListingHeaderSize + count * kCommandListingSize)) return false;
    listing.info = decodeToolInfo(in);
    listing.loaded = in[84] != 0;
    listing.notResponding = in[84] == 2;
    listing.isDefaultSourceViewer = in[85] != 0;
    listing.commands.clear();
    const uint8_t* entry = in + kToolListingHeaderSize;
    for (size_t i = 0; i < count; ++i, entry += kCommandListingSize) {
        char name[kCommandListingNameSize];
        copyText(name, sizeof name, reinterpret_cast<const char*>(entry), kCommandListingNameSize);
        listing.commands.push_back(
            {name, int32_t(getBigEndian32(entry + 32)), getBigEndian32(entry + 36)});
    }
    return true;
}
