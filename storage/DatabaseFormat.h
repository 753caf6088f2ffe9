// The bytes of a block database file: the header, the master pointer list,
// its 16-byte entries and the layout of a block that holds fields. Database
// reads and writes files through these constants; okadb and the tests use
// them to name offsets.
//
// Every integer is big-endian, without padding. A type code is stored as its
// four characters in order.
//
// Header, 20 bytes at offset 0:
//   0  4  file type code, chosen by the creator ('TPRF', 'PRJ ', ...)
//   4  2  format version, signed; always 1
//   6  2  the creator's data version, signed
//   8  4  flags; bit 0 set: some process has the file open for writing.
//         Other bits are written back unchanged.
//  12  4  file offset of the master pointer list
//  16  4  file length: the logical end; every append goes there and moves it
//
// Master pointer list, at the offset in the header:
//   0  4  entries in use, signed
//   4  4  slots the list has room for, signed
//   8  16 x slots  the entries; entry k (1-based) is at 8 + (k - 1) * 16
//
// Entry (MasterPtrEntry), 16 bytes:
//   0  4  type: the block's type code; 'FREE' for a record of free space;
//         "----" for a slot that was never used
//   4  4  length: bytes of data in the block (for 'FREE': bytes of free space)
//   8  4  slop: spare bytes after the data, room to grow in place
//  12  4  file offset of the block's first byte
// A block occupies length + slop bytes. Blocks, free records and the list
// may lie anywhere after the header, in any order, but never share a byte.
// Bytes that nothing owns are allowed: an interrupted change may leave some
// behind, as does a free record given up for its entry.
//
// Field block: a block used as a sequence of length-prefixed fields:
//   0  4  field count N
//   4  4  length L1 of field 1, then L1 bytes of data, then L2, data 2, ...
// Fields are numbered from 1 and their bytes are opaque. The N fields lie
// inside the block's length; bytes after the last field up to the length
// belong to no field (an append cut short leaves them) and are ignored. A
// count or a field length that reaches past the block's length is damage.
// Preference and project files keep the records of a type in the first
// block of that type, as a field block.
//
// Invariants of a sound file: header offset 12 and the list lie inside the
// file length; 0 <= entries <= slots; the file length is at most the size
// on disk; every block and free record lies between the header and the file
// length, and none shares a byte with the list or another (checked once at
// open); a field block's count and lengths fit its length.
//
// Order of writes. Every change writes the bytes that no reader looks at
// first (free space, slop, past the file length, unused list slots) and then
// makes them part of the file with one small write, its commit point, so
// that stopping after any write leaves a sound file that has lost at most
// the change under way. Tidying after the commit leaves the file sound too,
// at worst with bytes that nothing owns.
//   Taking space:    first fit from a 'FREE' record (the data is written into
//                    it, then the record shrinks), or past the end (the data
//                    is written, then the file length grows).
//   Adding a block:  space taken; the entry written into a reused small
//                    'FREE' entry (commit), or into the first unused slot and
//                    then the entry count raised (commit).
//   Rewriting a block (replacing or deleting a field, a batched rewrite of
//                    a type's records): space
//                    taken for the new bytes; the block's entry pointed at
//                    them (commit); the old space freed.
//   Appending a field: the length word and data written after the last
//                    field, inside the slop; the entry's length and slop
//                    (when the slop is short, the space after the block is
//                    first taken from the file's end or a following free
//                    record); the field count (commit). A block that cannot
//                    grow in place is rewritten instead.
//   Emptying a field block: the count 0 (commit); the entry returns the old
//                    fields to the slop.
//   Deleting a block, freeing space: the entry becomes 'FREE' (commit).
//                    Merging with a free neighbour: the entry becomes an
//                    empty 'FREE' record (commit), a neighbour on each side
//                    first gives its bytes up by emptying the later one, then
//                    the earlier neighbour grows over them.
//   Growing the list: at the end of the file, blank slots written past the
//                    end, the file length, then the slot count (commit).
//                    Elsewhere, a copy with the added slots and a 'FREE' entry
//                    for the old place written past the end, the file
//                    length, then the header's list offset (commit).
//   Creating a file: written whole beside it and renamed over it (commit).
#pragma once

#include <cstdint>

#include "core/ByteOrder.h"
#include "core/TypeCode.h"

namespace dbformat {

inline constexpr long kHeaderSize = 20;
inline constexpr long kTypeOffset = 0;
inline constexpr long kFormatVersionOffset = 4;
inline constexpr long kDataVersionOffset = 6;
inline constexpr long kFlagsOffset = 8;
inline constexpr long kListOffsetOffset = 12;
inline constexpr long kFileLengthOffset = 16;

inline constexpr short kFormatVersion = 1;
inline constexpr long kInUseFlag = 1;  // flags bit 0

inline constexpr long kListHeaderSize = 8;  // entries, slots
inline constexpr long kEntrySize = 16;
inline constexpr long kInitialSlots = 100;
inline constexpr long kGrowthSlots = 100;    // the list always grows by this much
inline constexpr long kMovedBlockSlop = 60;  // least slop given to a block that outgrew its space
inline constexpr long kFieldWordSize = 4;    // field count and each field length

// A fresh file: header, list header, 100 blank entries.
inline constexpr long kFreshFileSize = kHeaderSize + kListHeaderSize + kInitialSlots * kEntrySize;

inline constexpr TypeCode kFreeType = typeCode("FREE");
inline constexpr TypeCode kBlankType = typeCode("----");

// File offset of entry `index` (1-based) of a list at `listOffset`.
inline constexpr long entryOffset(long listOffset, long index) {
    return listOffset + kListHeaderSize + (index - 1) * kEntrySize;
}

}  // namespace dbformat

// One entry of the master pointer list: a block's type, length, spare room and place.
struct MasterPtrEntry {
    TypeCode type = dbformat::kBlankType;
    int32_t length = 0;  // data bytes (free bytes for 'FREE')
    int32_t slop = 0;    // spare bytes after the data
    int32_t offset = 0;  // file offset of the first byte
};

// Entry <-> its 16 file bytes.
inline void encodeEntry(const MasterPtrEntry& entry, uint8_t* out) {
    putBigEndian32(out, entry.type);
    putBigEndian32(out + 4, uint32_t(entry.length));
    putBigEndian32(out + 8, uint32_t(entry.slop));
    putBigEndian32(out + 12, uint32_t(entry.offset));
}

inline MasterPtrEntry decodeEntry(const uint8_t* in) {
    return {getBigEndian32(in), int32_t(getBigEndian32(in + 4)), int32_t(getBigEndian32(in + 8)),
            int32_t(getBigEndian32(in + 12))};
}
