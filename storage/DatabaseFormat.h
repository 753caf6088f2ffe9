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
// may lie anywhere after the header, in any order. Free records are never
// merged and the file never shrinks.
//
// Field block: a block used as a sequence of length-prefixed fields:
//   0  4  field count N
//   4  4  length L1 of field 1, then L1 bytes of data, then L2, data 2, ...
// Fields are numbered from 1 and their bytes are opaque.
//
// Invariants of a sound file, checked when it is opened and before every
// block access: header offset 12 and the list lie inside the file length;
// 0 <= entries <= slots; the file length is at most the size on disk; every
// block and free record lies between the header and the file length, clear
// of the list; a field block's count fits its length (each field takes at
// least its length word). Overlaps between blocks are left to okadb check.
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
inline constexpr long kGrowthSlots = 100;   // the list always grows by this much
inline constexpr long kMovedBlockSlop = 60; // spare bytes given to a block that moves
inline constexpr long kFieldWordSize = 4;   // field count and each field length

// A fresh file: header, list header, 100 blank entries.
inline constexpr long kFreshFileSize = kHeaderSize + kListHeaderSize + kInitialSlots * kEntrySize;

inline constexpr TypeCode kFreeType = typeCode("FREE");
inline constexpr TypeCode kBlankType = typeCode("----");

// File offset of entry `index` (1-based) of a list at `listOffset`.
inline constexpr long entryOffset(long listOffset, long index) {
    return listOffset + kListHeaderSize + (index - 1) * kEntrySize;
}

}  // namespace dbformat

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
