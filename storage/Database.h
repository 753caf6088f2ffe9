// Database: a single disk file used as a small store of typed blocks,
// addressed by 1-based entry numbers of the master pointer list. Deleted and
// moved blocks leave 'FREE' records that later blocks reuse first-fit. A
// block is either raw bytes or a sequence of length-prefixed fields. The file
// layout is described in storage/DatabaseFormat.h.
//
// Every operation reports a Status (core/Result.h) whose code is a negative
// code below or a positive errno.
// A damaged file is reported as kErrorDamagedFile: every read is checked
// against the file and every field walk against its block; overlapping
// blocks are refused when the file is opened.
//
// Every change reaches the file in an order that keeps it sound at each
// step, so that a process killed at any moment leaves a file that loses at
// most the change under way (the orders are listed in DatabaseFormat.h).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/Result.h"
#include "core/TypeCode.h"
#include "storage/DatabaseFormat.h"
#include "storage/FieldIndex.h"
#include "storage/FileDescriptor.h"
#include "storage/FreeSpaceIndex.h"
#include "storage/ReadCache.h"

inline constexpr int32_t kErrorBlockDeleted = -501;   // the entry is a 'FREE' record
inline constexpr int32_t kErrorFieldRange = -502;     // field number outside 1..field count
inline constexpr int32_t kErrorNoBlockOfType = -505;  // no n-th / next block of that type
inline constexpr int32_t kErrorFileInUse = -506;      // flags bit 0 is set
inline constexpr int32_t kErrorWrongFileType = -507;  // other file type, or format version not 1
// The file contradicts its own structure: a truncated header, a list, block
// or free record beyond the file length, a file length beyond the end of the
// file on disk, two blocks (or a block and the list) sharing bytes, a field
// count or length that overruns its block, a short read.
inline constexpr int32_t kErrorDamagedFile = -508;
// A caller's argument is out of range: entry number outside 1..entries (or
// 1..slots when writing an entry), or a negative length.
inline constexpr int32_t kErrorBadArgument = -509;
inline constexpr int32_t kErrorFileMissing = -1302;
inline constexpr int32_t kErrorOutOfMemory = -1701;

// Open modes.
inline constexpr long kModeReadOnly = 0;
inline constexpr long kModeReadWrite = 1;  // the file is created when missing

class Database {
  public:
    Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    virtual ~Database();

    // Forgets the open file's cached state and buffers; caching on.
    void initialize();
    bool isOpen() const { return file.isOpen(); }

    Status openDBFile(const char* path, long mode, bool checkInUse);
    Status closeDBFile();
    // Writes a fresh empty file (kFreshFileSize bytes) beside `path` and
    // renames it over `path`; a file in use there is refused and kept.
    Status createDBFile(const char* path, TypeCode fileType, short version);
    // Checks type and format version; the creator's data version comes back.
    Result<short> validDBFile(const char* path, TypeCode fileType);

    // Blocks, by entry number. A new block holds zeros (an empty field
    // block) until written.
    Result<long> addBlock(TypeCode type, long length, long slop);
    // A new block that holds `data` from the start.
    Result<long> addBlock(TypeCode type, const char* data, long length, long slop);
    Status deleteBlock(long index);
    Result<long> countBlocksOfType(TypeCode type);
    Result<long> getNthBlockOfType(TypeCode type, long n);
    Result<long> getNextBlockOfType(TypeCode type, long after);
    Result<long> getBlockLength(long index);
    // kErrorBadArgument when the block does not fit `size` bytes.
    Status readDataFromBlock(long index, char* buffer, long size, bool useCache);
    // Writes the new bytes to free space and then points the entry at them;
    // the block keeps its capacity when the data fits it, else it gets slop
    // in proportion to its length (grownSlop).
    Status writeDataToBlock(long index, const char* data, long length);
    // Spare bytes given to a block of `length` bytes that outgrew its space.
    static long grownSlop(long length);

    // Fields of a block. The field count is written last, so that an
    // interrupted append or reset leaves the fields as they were.
    Status initBlockForFields(long index);
    Result<long> countFieldsInBlock(long index);
    // Locates field `field` inside block bytes already in memory: its data
    // offset and length come back.
    static Status getFieldInfo(const char* blockData, long blockLength, long field, long* offset,
                               long* length);
    // The two steps of every walk over fields in memory: the count, then
    // one field at a time. `position` starts at kFieldWordSize, the first
    // length word, and moves past each field; the field's data offset and
    // length come back. A count or field that overruns the block gives
    // kErrorDamagedFile.
    static Result<long> readFieldCount(const char* blockData, long blockLength);
    static Status stepOverField(const char* blockData, long blockLength, long* position,
                                long* offset, long* length);
    Result<long> getFieldLength(long index, long field);
    // A field of exactly 4 bytes as a number; other lengths give 0.
    Result<long> getLongFromBlock(long index, long field);
    // Copies at most maxLength bytes into `buffer`; the count copied comes back.
    Result<long> getFieldIntoBuffer(long index, long field, char* buffer, long maxLength);
    // A copy of the field.
    Result<std::vector<char>> getField(long index, long field);
    Status addFieldToBlock(long index, const char* data, long length);
    Status deleteFieldFromBlock(long index, long field);
    Status setFieldOfBlock(long index, long field, const char* data, long length);

    // The master pointer list and the header.
    Result<MasterPtrEntry> getMPEntry(long index);
    Status setMPEntry(long index, const MasterPtrEntry& entry);
    long getMPOffset() const { return listOffset; }
    long getMPEntries() const { return entries; }
    long getMPSlots() const { return slots; }
    long getFileLength() const { return fileLength; }
    Result<long> readFlags();
    Status writeFlags(long flags);

  protected:
    Status setMPOffset(long value);
    Status setMPEntries(long value);
    Status setMPSlots(long value);
    Status setFileLength(long value);
    Status growMPList(long extraSlots);
    // First 'FREE' entry below 5 bytes, or -1 when none.
    long locateSmallFreeEntry() const;
    // Takes `length` bytes first-fit from a 'FREE' record: their offset, or
    // 0 when no record is large enough. The bytes belong to nothing until an
    // entry claims them.
    Result<long> grabFreeSpace(long length);

    Status writeDataToFile(long offset, const char* data, long length);
    Status appendDataToFile(const char* data, long length);
    Status readDataFromFile(long offset, char* buffer, long length, bool useCache);
    bool readFromCache(long offset, char* buffer, long length);
    void addToCache(long offset, const char* data, long length);

    // Working buffers: the 1024-byte scratch buffer when it is free and big
    // enough, else the heap. Contents are not initialised. Null when memory
    // runs out.
    char* newDataPtr(long size);
    void deleteDataPtr(char* buffer);

  private:
    class WorkingBuffer;

    Status openDescriptor(const char* path, long openMode);
    void abandonFile();
    Status loadHeader();
    Status loadAllEntries();
    Status checkAndMarkInUse();
    long sizeOnDisk() const;
    Result<long> readLong(long offset);
    Status writeLong(long offset, long value);
    Result<MasterPtrEntry> loadEntry(long index);
    Result<MasterPtrEntry> loadWritableEntry(long index);
    Result<MasterPtrEntry> readBlock(long index, WorkingBuffer& buffer);
    Result<MasterPtrEntry> indexFields(long index);
    // Where one field's data lies in the file.
    struct FieldPlace {
        long fileOffset;
        long length;
    };
    Result<FieldPlace> locateField(long index, long field);
    // Makes sure that one more entry can be added: a small 'FREE' record to
    // reuse (its number), or room in the list (0).
    Result<long> reserveEntry();
    Result<long> addEntry(const MasterPtrEntry& entry, long reused);
    Result<long> takeSpace(const char* data, long length, long total);
    Result<bool> claimSpaceAfter(const MasterPtrEntry& entry, long extra);
    Status releaseSpace(long offset, long length, long ownEntry);
    Status relocateBlock(long index, MasterPtrEntry entry, const char* data, long length,
                         long slop);
    Result<long> scanForType(TypeCode type, long first, long n);

    long mode = 0;        // kModeReadOnly or kModeReadWrite
    FileDescriptor file;  // closed when no file is open
    long fileLength = 0;  // cached header values, 0 until read
    long listOffset = 0;
    long entries = 0;  // cached list counts
    long slots = 0;
    long windowStart = 0;                  // first entry in the window, 0 when empty
    long windowCount = 0;                  // entries held in the window
    std::vector<uint8_t> window;           // raw entries; its capacity is fixed at open
    std::unique_ptr<ReadCache> readCache;  // read-only opens with caching on
    FreeSpaceIndex freeSpace;              // the 'FREE' records, kept with every entry write
    FieldIndex fieldIndex;                 // the fields of the last field block read
    std::unique_ptr<char[]> scratch;       // the 1024-byte working buffer
    bool scratchInUse = false;
    bool cachingEnabled = true;
};
