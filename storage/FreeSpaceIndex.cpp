// FreeSpaceIndex: 'FREE' records by entry number and by the offsets that
// bound them.
#include "storage/FreeSpaceIndex.h"

void FreeSpaceIndex::clear() {
    records.clear();
    byStart.clear();
    byEnd.clear();
}

void FreeSpaceIndex::forget(long index) {
    auto found = records.find(index);
    if (found == records.end()) return;
    const MasterPtrEntry& old = found->second;
    if (old.length > 0) {
        byStart.erase(old.offset);
        byEnd.erase(long(old.offset) + old.length);
    }
    records.erase(found);
}

void FreeSpaceIndex::update(long index, const MasterPtrEntry& entry) {
    forget(index);
    if (entry.type != dbformat::kFreeType) return;
    records[index] = entry;
    if (entry.length > 0) {
        byStart[entry.offset] = index;
        byEnd[long(entry.offset) + entry.length] = index;
    }
}

long FreeSpaceIndex::firstFit(long length) const {
    for (const auto& [index, entry] : records)
        if (entry.length >= length) return index;
    return -1;
}

long FreeSpaceIndex::smallRecord(long limit) const {
    for (const auto& [index, entry] : records)
        if (entry.length < limit) return index;
    return -1;
}

long FreeSpaceIndex::endingAt(long offset) const {
    auto found = byEnd.find(offset);
    return found == byEnd.end() ? -1 : found->second;
}

long FreeSpaceIndex::startingAt(long offset) const {
    auto found = byStart.find(offset);
    return found == byStart.end() ? -1 : found->second;
}
