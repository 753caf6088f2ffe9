// FieldIndex: where each field of one field block lies, so that reading
// records 1 to N one at a time costs one walk over the block instead of one
// walk per record. Database builds it on the first field access to a block
// and forgets it whenever that block is rewritten; appending a field in place
// extends it.
#pragma once

#include <cstddef>
#include <vector>

#include "core/Result.h"
#include "storage/DatabaseFormat.h"

class FieldIndex {
  public:
    // Walks the fields of block `index`, whose bytes and entry are given;
    // kErrorDamagedFile (from Database) when a count or field overruns.
    Status build(long index, const MasterPtrEntry& entry, const char* blockData);
    void forget() { block = 0; }
    // True when the index was built for block `index` as `entry` places it.
    bool describes(long index, const MasterPtrEntry& entry) const;

    long count() const { return long(fields.size()); }
    // Offset in the block of the data of field k (1-based), and its length.
    long dataOffset(long k) const { return fields[size_t(k - 1)].offset; }
    long length(long k) const { return fields[size_t(k - 1)].length; }
    // Offset in the block just after the last field. Bytes from here to the
    // block's length belong to no field.
    long end() const { return fieldsEnd; }

    // Records a field of `length` bytes appended at end(); the block is now
    // placed as `entry`.
    void append(const MasterPtrEntry& entry, long length);

  private:
    struct Field {
        long offset;  // of the data, in the block
        long length;
    };

    long block = 0;            // entry number of the indexed block, 0 when none
    MasterPtrEntry placement;  // the block's entry when the index was built
    std::vector<Field> fields;
    long fieldsEnd = 0;
};
