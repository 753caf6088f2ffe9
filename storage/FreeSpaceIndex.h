// FreeSpaceIndex: the 'FREE' records of an open database file, kept in
// memory so that allocation, reuse of small records and merging with
// neighbours need no scan of the master pointer list. Database keeps it in
// step with every entry it writes.
#pragma once

#include <map>

#include "storage/DatabaseFormat.h"

class FreeSpaceIndex {
  public:
    void clear();
    // Records what entry `index` now holds: a 'FREE' record is indexed, any
    // other type removes the entry from the index.
    void update(long index, const MasterPtrEntry& entry);

    // First fit: the lowest-numbered record of at least `length` bytes, or -1.
    long firstFit(long length) const;
    // The lowest-numbered record below `limit` bytes, whose entry may be
    // given to a new block, or -1.
    long smallRecord(long limit) const;
    // The record whose space ends (or starts) exactly at `offset`, or -1.
    // Empty records own no space and are never neighbours.
    long endingAt(long offset) const;
    long startingAt(long offset) const;
    const MasterPtrEntry& record(long index) const { return records.at(index); }

  private:
    void forget(long index);

    std::map<long, MasterPtrEntry> records;  // entry number -> 'FREE' record
    std::map<long, long> byStart;            // first byte -> entry number (non-empty only)
    std::map<long, long> byEnd;              // byte after the last -> entry number
};
