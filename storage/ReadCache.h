// ReadCache: the 32-slot cache of small reads that a Database uses while its
// file is open read-only. Slots are overwritten in rotation; a slot serves any
// request that lies entirely inside the bytes it holds.
#pragma once

#include <array>
#include <vector>

class ReadCache {
  public:
    static constexpr int kSlotCount = 32;
    static constexpr long kLargestCachedRead = 1024;  // longer reads are not kept
    static constexpr long kFirstCachedOffset = 13;    // reads inside the header are not kept
    static constexpr long kMinimumSlotCapacity = 256;

    // Copies the bytes [offset, offset + length) into `buffer` when a slot
    // holds them all; false otherwise.
    bool lookup(long offset, char* buffer, long length) const;
    // Keeps a copy of the bytes just read, in the slot at the cursor.
    void insert(long offset, const char* data, long length);

  private:
    struct Slot {
        long offset = 0;         // file offset of data[0]
        long length = 0;         // bytes held; 0 for an unused slot
        std::vector<char> data;  // its size is the slot's capacity
    };

    std::array<Slot, kSlotCount> slots;
    int cursor = 0;  // next slot to overwrite
};
