// FieldIndex: one walk over a field block, remembered.
#include "storage/FieldIndex.h"

#include "storage/Database.h"

long FieldIndex::build(long index, const MasterPtrEntry& entry, const char* blockData) {
    forget();
    fields.clear();
    long count = 0;
    if (long error = Database::readFieldCount(blockData, entry.length, &count)) return error;
    fields.reserve(size_t(count));
    long position = dbformat::kFieldWordSize;
    for (long k = 1; k <= count; ++k) {
        long offset = 0;
        long length = 0;
        if (long error = Database::stepOverField(blockData, entry.length, &position, &offset,
                                                 &length))
            return error;
        fields.push_back({offset, length});
    }
    fieldsEnd = position;
    block = index;
    placement = entry;
    return 0;
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
