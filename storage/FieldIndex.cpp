// FieldIndex: one walk over a field block, remembered.
#include "storage/FieldIndex.h"

#include "storage/Database.h"

Status FieldIndex::build(long index, const MasterPtrEntry& entry, const char* blockData) {
    forget();
    fields.clear();
    Result<long> count = Database::readFieldCount(blockData, entry.length);
    if (!count.ok()) return count.status();
    fields.reserve(size_t(count.value()));
    long position = dbformat::kFieldWordSize;
    for (long k = 1; k <= count.value(); ++k) {
        long offset = 0;
        long length = 0;
        Status step = Database::stepOverField(blockData, entry.length, &position, &offset, &length);
        if (!step.ok()) return step;
        fields.push_back({offset, length});
    }
    fieldsEnd = position;
    block = index;
    placement = entry;
    return kSuccess;
}

bool FieldIndex::describes(long index, const MasterPtrEntry& entry) const {
    return block != 0 && block == index && placement.offset == entry.offset &&
           placement.length == entry.length && placement.type == entry.type;
}

void FieldIndex::append(const MasterPtrEntry& entry, long length) {
    fields.push_back({fieldsEnd + dbformat::kFieldWordSize, length});
    fieldsEnd += dbformat::kFieldWordSize + length;
    placement = entry;
}
