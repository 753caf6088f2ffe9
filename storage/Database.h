// Database: a single disk file used as a small store of typed blocks,
// addressed by 1-based entry numbers of the master pointer list. Deleted and
// moved blocks leave 'FREE' records that later blocks reuse first-fit. A
// block is either raw bytes or a sequence of length-prefixed fields. The file
// layout is described in storage/DatabaseFormat.h.
//
// Every operation returns 0, a negative code below, or a positive errno.
// A damaged file is reported as kErrorDamagedFile: every read is checked
// against the file and every field walk against its block; overlapping
// blocks are refused when the file is opened.
//
// Every change reaches the file in an order that keeps it sound at each
// step, so that a process killed at any moment leaves a file that loses at
// most the change under way (the orders are listed in DatabaseFormat.h).
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <vector>

#include "core/TypeCode.h"
#include "storage/DatabaseFormat.h"
#include "storage/FieldIndex.h"
#include "storage/FileDescriptor.h"
#include "storage/FreeSpaceIndex.h"
#include "storage/ReadCache.h"

inline constexpr long kErrorBlockDeleted = -501;   // the entry is a 'FREE' record
inline constexpr long kErrorFieldRange = -502;     // field number outside 1..field count
inline constexpr long kErrorNoBlockOfType = -505;  // no n-th / next block of that type
inline constexpr long kErrorFileInUse = -506;      // flags bit 0 is set
inline constexpr long kErrorWrongFileType = -507;  // other file type, or format version not 1
// The file contradicts its own structure: a truncated header, a list, block
// or free record beyond the file length, a file length beyond the end of the
// file on disk, two blocks (or a block and the list) sharing bytes, a field
// count or length that overruns its block, a short read.
inline constexpr long kErrorDamagedFile = -508;
// A caller's argument is out of range: entry number outside 1..entries (or
// 1..slots when writing an entry), or a negative length.
inline constexpr long kErrorBadArgument = -509;
inline constexpr long kErrorFileMissing = -1302;
inline constexpr long kErrorOutOfMemory = -1701;

// Open modes.
inline constexpr long kModeReadOnly = 0;
inline constexpr long kModeReadWrite = 1;  // the file is created when missing

class Database {
public:
    Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    virtual ~Database();

    // Forgets the open file's cached state, buffers and counters; caching on.
    void initialize();
    bool isOpen() const { return file.isOpen(); }

    long openDBFile(const char* path, long mode, bool checkInUse);
    long closeDBFile();
    // Writes a fresh empty file (kFreshFileSize bytes) beside `path` and
    // renames it over `path`; a file in use there is refused and kept.
    long createDBFile(const char* path, TypeCode fileType, short version);
    // Checks type and format version; the creator's version comes back
    // through `version` (0 when it could not be read).
    long validDBFile(const char* path, TypeCode fileType, short* version);

    // Blocks. A new block holds zeros (an empty field block) until written.
    long addBlock(TypeCode type, long length, long slop, long* index);
    // A new block that holds `data` from the start.
    long addBlock(TypeCode type, const char* data, long length, long slop, long* index);
    long deleteBlock(long index);
    long countBlocksOfType(TypeCode type, long* count);
    long getNthBlockOfType(TypeCode type, long n, long* index);
    long getNextBlockOfType(TypeCode type, long after, long* index);
    long getBlockLength(long index, long* length);
    // `buffer` holds at least the block's length.
    long readDataFromBlock(long index, char* buffer, bool useCache);
    // Writes the new bytes to free space and then points the entry at them;
    // the block keeps its capacity when the data fits it, else it gets slop
    // in proportion to its length (grownSlop).
    long writeDataToBlock(long index, const char* data, long length);
    // Spare bytes given to a block of `length` bytes that outgrew its space.
    static long grownSlop(long length);

    // Fields of a block. The field count is written last, so that an
    // interrupted append or reset leaves the fields as they were.
    long initBlockForFields(long index);
    long countFieldsInBlock(long index, long* count);
    // Locates field `field` inside block bytes already in memory.
    static long getFieldInfo(const char* blockData, long blockLength, long field, long* offset,
                             long* length);
    // The two steps of every walk over fields in memory: the count, then
    // one field at a time. `position` starts at kFieldWordSize, the first
    // length word, and moves past each field; the field's data offset and
    // length come back. A count or field that overruns the block gives
    // kErrorDamagedFile.
    static long readFieldCount(const char* blockData, long blockLength, long* count);
    static long stepOverField(const char* blockData, long blockLength, long* position,
                              long* offset, long* length);
    long getFieldLength(long index, long field, long* length);
    // A field of exactly 4 bytes as a number; other lengths leave 0 and succeed.
    long getLongFromBlock(long index, long field, long* value);
    // Copies at most maxLength bytes; the count copied comes back in `length`.
    long getFieldIntoBuffer(long index, long field, char* buffer, long* length, long maxLength);
    // A new[] copy of the field that the caller delete[]s.
    long getField(long index, long field, char** data, long* length);
    long addFieldToBlock(long index, const char* data, long length);
    long deleteFieldFromBlock(long index, long field);
    long setFieldOfBlock(long index, long field, const char* data, long length);

    // The master pointer list and the header.
    long getMPEntry(long index, MasterPtrEntry* entry);
    long setMPEntry(long index, const MasterPtrEntry* entry);
    long getMPOffset() const { return listOffset; }
    long getMPEntries() const { return entries; }
    long getMPSlots() const { return slots; }
    long getFileLength() const { return fileLength; }
    long readFlags(long* flags);
    long writeFlags(long flags);

    // Statistics: the read-cache and window counters, and a dump to the
    // first free "dblog.N" file of the current directory.
    long getCacheHits() const { return cacheHits; }
    long getCacheMisses() const { return cacheMisses; }
    long getWindowHits() const { return windowHits; }
    long getWindowMisses() const { return windowMisses; }
    virtual void dumpBlockStats(long entryCount, std::ofstream& out);
    virtual long dumpDatabaseStats();
    // One line of the statistics file: used and slop bytes and their shares.
    void logStats(const char* label, long used, long slop);

protected:
    long setMPOffset(long value);
    long setMPEntries(long value);
    long setMPSlots(long value);
    long setFileLength(long value);
    long growMPList(long extraSlots);
    // First 'FREE' entry below 5 bytes, or -1 when none.
    long locateSmallFreeEntry() const;
    // Takes `length` bytes first-fit from a 'FREE' record: their offset, 0
    // when no record is large enough, or a negative error. The bytes belong
    // to nothing until an entry claims them.
    long grabFreeSpace(long length);

    long writeDataToFile(long offset, const char* data, long length);
    long appendDataToFile(const char* data, long length);
    long readDataFromFile(long offset, char* buffer, long length, bool useCache);
    bool readFromCache(long offset, char* buffer, long length);
    void addToCache(long offset, const char* data, long length);

    // Working buffers: the 1024-byte scratch buffer when it is free and big
    // enough, else the heap. Contents are not initialised. Null when memory
    // runs out.
    char* newDataPtr(long size);
    void deleteDataPtr(char* buffer);

private:
    class WorkingBuffer;

    long openDescriptor(const char* path, long openMode);
    void abandonFile();
    long loadHeader();
    long loadAllEntries();
    long checkAndMarkInUse();
    long sizeOnDisk() const;
    long readLong(long offset, long* value);
    long writeLong(long offset, long value);
    long loadEntry(long index, MasterPtrEntry* entry);
    long loadWritableEntry(long index, MasterPtrEntry* entry);
    long readBlock(long index, WorkingBuffer& buffer, MasterPtrEntry* entry);
    long indexFields(long index, MasterPtrEntry* entry);
    long locateField(long index, long field, long* fileOffset, long* length);
    long reserveEntry();
    long addEntry(const MasterPtrEntry& entry, long reused, long* index);
    long takeSpace(const char* data, long length, long total, long* offset);
    long claimSpaceAfter(const MasterPtrEntry& entry, long extra, bool* claimed);
    long releaseSpace(long offset, long length, long ownEntry);
    long relocateBlock(long index, MasterPtrEntry entry, const char* data, long length, long slop);
    long scanForType(TypeCode type, long first, long n, long* index);

    long mode = 0;                          // kModeReadOnly or kModeReadWrite
    FileDescriptor file;                    // closed when no file is open
    long fileLength = 0;                    // cached header values, 0 until read
    long listOffset = 0;
    long entries = 0;                       // cached list counts
    long slots = 0;
    long windowStart = 0;                   // first entry in the window, 0 when empty
    long windowCount = 0;                   // entries held in the window
    std::vector<uint8_t> window;            // raw entries; its capacity is fixed at open
    std::unique_ptr<ReadCache> readCache;   // read-only opens with caching on
    FreeSpaceIndex freeSpace;               // the 'FREE' records, kept with every entry write
    FieldIndex fieldIndex;                  // the fields of the last field block read
    std::unique_ptr<char[]> scratch;        // the 1024-byte working buffer
    bool scratchInUse = false;
    bool cachingEnabled = true;
    long cacheHits = 0;
    long cacheMisses = 0;
    long windowHits = 0;
    long windowMisses = 0;
};
