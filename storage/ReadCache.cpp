// ReadCache: slot lookup and rotation.
#include "storage/ReadCache.h"

#include <algorithm>
#include <cstring>

bool ReadCache::lookup(long offset, char* buffer, long length) const {
    for (const Slot& slot : slots) {
        if (slot.length > 0 && slot.offset <= offset &&
            slot.offset + slot.length >= offset + length) {
            std::memcpy(buffer, slot.data.data() + (offset - slot.offset), size_t(length));
            return true;
        }
    }
    return false;
}

void ReadCache::insert(long offset, const char* data, long length) {
    if (length <= 0 || length > kLargestCachedRead || offset < kFirstCachedOffset) return;
    Slot& slot = slots[size_t(cursor)];
    if (long(slot.data.size()) < length)
        slot.data.resize(size_t(std::max(kMinimumSlotCapacity, length)));
    std::memcpy(slot.data.data(), data, size_t(length));
    slot.offset = offset;
    slot.length = length;
    cursor = (cursor + 1) % kSlotCount;
}
