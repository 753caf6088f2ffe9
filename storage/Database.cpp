// Database: opening, creating and validating the file; the master pointer
// list and its window; blocks, free space and fields; raw file access with
// the read cache; statistics. See storage/DatabaseFormat.h for the bytes.
#include "storage/Database.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <string>
#include <sys/stat.h>

#include "core/ByteOrder.h"
#include "core/Log.h"
#include "core/Utilities.h"

using namespace dbformat;

namespace {
constexpr const char* kLogSource = "../dbfile";

constexpr long kScratchSize = 1024;
constexpr long kReadWriteWindowEntries = 100;
constexpr long kSmallFreeRecord = 5;  // free records below this are given up for their entry
constexpr int kStatsFileLimit = 99;

// The statistics stream shared by all databases: logStats writes to whatever
// dumpDatabaseStats has opened.
std::ofstream& statisticsStream() {
    static std::ofstream stream;
    return stream;
}

// Writes `count` never-used entries ("----" and zeros) from `out` on.
void fillBlankEntries(uint8_t* out, long count) {
    for (long i = 0; i < count; ++i) encodeEntry(MasterPtrEntry{}, out + i * kEntrySize);
}

long readField32(const char* data) {
    return int32_t(getBigEndian32(reinterpret_cast<const uint8_t*>(data)));
}

void writeField32(char* data, long value) {
    putBigEndian32(reinterpret_cast<uint8_t*>(data), uint32_t(value));
}

// Every field takes at least its length word: a larger count is damage, and
// callers that loop over the count stay bounded by the block's size.
bool fieldCountFits(long count, long blockLength) {
    return count >= 0 && count <= (blockLength - kFieldWordSize) / kFieldWordSize;
}
}  // namespace

// A working buffer from newDataPtr, handed back when it goes out of scope.
class Database::WorkingBuffer {
public:
    explicit WorkingBuffer(Database& owner) : database(owner) {}
    WorkingBuffer(const WorkingBuffer&) = delete;
    WorkingBuffer& operator=(const WorkingBuffer&) = delete;
    ~WorkingBuffer() { database.deleteDataPtr(bytes); }

    // kErrorOutOfMemory when no buffer could be had.
    long allocate(long size) {
        database.deleteDataPtr(bytes);
        bytes = database.newDataPtr(size);
        return bytes != nullptr ? 0 : kErrorOutOfMemory;
    }
    long allocateZeroed(long size) {
        long error = allocate(size);
        if (error == 0) std::memset(bytes, 0, size_t(size));
        return error;
    }
    char* data() const { return bytes; }

private:
    Database& database;
    char* bytes = nullptr;
};

Database::Database() : scratch(new char[kScratchSize]) { initialize(); }

Database::~Database() { closeDBFile(); }

void Database::initialize() {
    freeSpace.clear();
    fieldIndex.forget();
    readCache.reset();
    window.clear();
    window.shrink_to_fit();
    file.reset();
    mode = 0;
    fileLength = listOffset = entries = slots = 0;
    windowStart = windowCount = 0;
    cacheHits = cacheMisses = windowHits = windowMisses = 0;
    scratchInUse = false;
    cachingEnabled = true;
}

// ---------------------------------------------------------------- opening

long Database::openDescriptor(const char* path, long openMode) {
    mode = openMode;
    if (cachingEnabled) readCache = std::make_unique<ReadCache>();
    int fd = openMode == kModeReadWrite ? ::open(path, O_RDWR | O_CREAT, 0666)
                                        : ::open(path, O_RDONLY);
    if (fd < 0) {
        long error = errno;
        abandonFile();
        return error;
    }
    file.reset(fd);
    return 0;
}

// Closes without touching the file: used when an open or create fails.
void Database::abandonFile() {
    bool keepCachingOff = !cachingEnabled;
    initialize();
    if (keepCachingOff) cachingEnabled = false;
}

long Database::sizeOnDisk() const {
    struct stat status;
    if (::fstat(file.get(), &status) != 0) return -1;
    return long(status.st_size);
}

// Reads and checks the header and the list counts (the invariants listed in
// DatabaseFormat.h), then sizes the window.
long Database::loadHeader() {
    long size = sizeOnDisk();
    if (size < 0) return errno;
    uint8_t header[kHeaderSize];
    if (size < kHeaderSize || file.readAt(0, header, kHeaderSize) != kHeaderSize)
        return kErrorDamagedFile;
    long length = int32_t(getBigEndian32(header + kFileLengthOffset));
    long list = int32_t(getBigEndian32(header + kListOffsetOffset));
    if (length < kHeaderSize || length > size) return kErrorDamagedFile;
    if (list < kHeaderSize || list > length - kListHeaderSize) return kErrorDamagedFile;
    uint8_t counts[kListHeaderSize];
    if (file.readAt(list, counts, kListHeaderSize) != kListHeaderSize) return kErrorDamagedFile;
    long used = int32_t(getBigEndian32(counts));
    long room = int32_t(getBigEndian32(counts + 4));
    if (room < 0 || used < 0 || used > room || room > (length - list - kListHeaderSize) / kEntrySize)
        return kErrorDamagedFile;

    fileLength = length;
    listOffset = list;
    entries = used;
    slots = room;
    if (cachingEnabled) {
        long capacity = mode == kModeReadWrite ? kReadWriteWindowEntries : entries;
        window.assign(size_t(capacity * kEntrySize), 0);
    }
    return loadAllEntries();
}

// One pass over the list at open: blocks that share bytes with each other or
// with the list are refused here, sorted by offset, instead of on every
// access (a write to one would scramble the other); and the 'FREE' records
// are indexed for allocation. An entry that reaches outside the file is left
// to loadEntry, which refuses that block alone.
long Database::loadAllEntries() {
    std::vector<uint8_t> list(size_t(entries * kEntrySize));
    if (file.readAt(entryOffset(listOffset, 1), list.data(), long(list.size())) != long(list.size()))
        return kErrorDamagedFile;
    struct Span {
        long start;
        long end;
    };
    std::vector<Span> spans = {{listOffset, listOffset + kListHeaderSize + slots * kEntrySize}};
    for (long k = 1; k <= entries; ++k) {
        MasterPtrEntry entry = decodeEntry(list.data() + (k - 1) * kEntrySize);
        freeSpace.update(k, entry);
        long end = long(entry.offset) + entry.length + entry.slop;
        bool inside = entry.offset >= kHeaderSize && entry.length >= 0 && entry.slop >= 0 &&
                      end <= fileLength;
        if (entry.type != kBlankType && inside && end > entry.offset)
            spans.push_back({entry.offset, end});
    }
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.start < b.start; });
    long reach = spans[0].end;  // the furthest end so far
    for (size_t i = 1; i < spans.size(); ++i) {
        if (spans[i].start < reach) return kErrorDamagedFile;
        reach = std::max(reach, spans[i].end);
    }
    return 0;
}

long Database::checkAndMarkInUse() {
    long flags = 0;
    if (long error = readFlags(&flags)) return error;
    if (flags & kInUseFlag) return kErrorFileInUse;
    return mode == kModeReadWrite ? writeFlags(flags | kInUseFlag) : 0;
}

long Database::openDBFile(const char* path, long openMode, bool checkInUse) {
    if (isOpen()) {
        if (openMode == mode) return 0;
        closeDBFile();
    }
    long error = openDescriptor(path, openMode);
    if (error == 0) error = loadHeader();
    if (error == 0 && checkInUse) error = checkAndMarkInUse();
    if (error != 0) abandonFile();
    return error;
}

long Database::closeDBFile() {
    if (!isOpen()) return 0;
    long error = 0;
    if (mode & kModeReadWrite) {
        long flags = 0;
        error = readFlags(&flags);
        if (error == 0) error = writeFlags(flags & ~kInUseFlag);
    }
    initialize();
    return error;
}

// Deliberately not written in place: the fresh file is written beside the
// old one and renamed over it, so that an interruption leaves either file
// whole, and a failure removes only the file this call made. A file that
// another process has in use is refused and left alone.
long Database::createDBFile(const char* path, TypeCode fileType, short version) {
    if (isOpen()) closeDBFile();
    {
        FileDescriptor existing;
        existing.reset(::open(path, O_RDONLY));
        uint8_t flags[4];
        if (existing.isOpen() && existing.readAt(kFlagsOffset, flags, 4) == 4 &&
            (getBigEndian32(flags) & kInUseFlag))
            return kErrorFileInUse;
    }

    std::vector<uint8_t> fresh(static_cast<size_t>(kFreshFileSize));
    putBigEndian32(fresh.data() + kTypeOffset, fileType);
    putBigEndian16(fresh.data() + kFormatVersionOffset, uint16_t(kFormatVersion));
    putBigEndian16(fresh.data() + kDataVersionOffset, uint16_t(version));
    putBigEndian32(fresh.data() + kListOffsetOffset, uint32_t(kHeaderSize));
    putBigEndian32(fresh.data() + kFileLengthOffset, uint32_t(kFreshFileSize));
    putBigEndian32(fresh.data() + kHeaderSize + 4, uint32_t(kInitialSlots));
    fillBlankEntries(fresh.data() + kHeaderSize + kListHeaderSize, kInitialSlots);

    std::string temporary = std::string(path) + ".new" + std::to_string(::getpid());
    FileDescriptor created;
    created.reset(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666));
    if (!created.isOpen()) return errno;
    long error = created.writeAt(0, fresh.data(), long(fresh.size()));
    created.reset();
    if (error == 0 && gBeforeDatabaseWrite != nullptr) gBeforeDatabaseWrite();
    if (error == 0 && std::rename(temporary.c_str(), path) != 0) error = errno;
    if (error != 0) std::remove(temporary.c_str());
    return error;
}

long Database::validDBFile(const char* path, TypeCode fileType, short* version) {
    *version = 0;
    if (!fileExists(path)) return kErrorFileMissing;
    if (isOpen()) closeDBFile();
    cachingEnabled = false;  // a look at the header needs no cache or window
    long error = openDescriptor(path, kModeReadOnly);
    if (error != 0) {
        initialize();
        return error;
    }
    uint8_t head[kFlagsOffset];
    bool complete = file.readAt(0, head, sizeof head) == long(sizeof head);
    closeDBFile();
    if (!complete) return kErrorWrongFileType;
    *version = short(getBigEndian16(head + kDataVersionOffset));
    if (getBigEndian32(head + kTypeOffset) != fileType ||
        short(getBigEndian16(head + kFormatVersionOffset)) != kFormatVersion)
        return kErrorWrongFileType;
    return 0;
}

// ------------------------------------------------------ header and list

long Database::readLong(long offset, long* value) {
    char bytes[4];
    if (long error = readDataFromFile(offset, bytes, 4, false)) return error;
    *value = readField32(bytes);
    return 0;
}

long Database::writeLong(long offset, long value) {
    char bytes[4];
    writeField32(bytes, value);
    return writeDataToFile(offset, bytes, 4);
}

long Database::readFlags(long* flags) { return readLong(kFlagsOffset, flags); }

long Database::writeFlags(long flags) { return writeLong(kFlagsOffset, flags); }

long Database::setMPOffset(long value) {
    listOffset = value;
    windowStart = 0;
    return writeLong(kListOffsetOffset, value);
}

long Database::setMPEntries(long value) {
    entries = value;
    return writeLong(listOffset, value);
}

long Database::setMPSlots(long value) {
    slots = value;
    return writeLong(listOffset + 4, value);
}

long Database::setFileLength(long value) {
    fileLength = value;
    return writeLong(kFileLengthOffset, value);
}

long Database::getMPEntry(long index, MasterPtrEntry* entry) {
    if (index < 1 || index > entries) return kErrorBadArgument;
    uint8_t bytes[kEntrySize];
    if (window.empty()) {
        if (long error = readDataFromFile(entryOffset(listOffset, index),
                                          reinterpret_cast<char*>(bytes), kEntrySize, false))
            return error;
        *entry = decodeEntry(bytes);
        return 0;
    }
    if (windowStart == 0 || index < windowStart || index >= windowStart + windowCount) {
        ++windowMisses;
        // Read-write: the next 100 entries from here; read-only: the whole list.
        long start = mode == kModeReadWrite ? index : 1;
        long count = std::min(long(window.size()) / kEntrySize, slots - start + 1);
        windowStart = 0;
        if (long error = readDataFromFile(entryOffset(listOffset, start),
                                          reinterpret_cast<char*>(window.data()),
                                          count * kEntrySize, false))
            return error;
        windowStart = start;
        windowCount = count;
    } else {
        ++windowHits;
    }
    *entry = decodeEntry(window.data() + (index - windowStart) * kEntrySize);
    return 0;
}

long Database::setMPEntry(long index, const MasterPtrEntry* entry) {
    if (index < 1 || index > slots) return kErrorBadArgument;
    uint8_t bytes[kEntrySize];
    encodeEntry(*entry, bytes);
    freeSpace.update(index, *entry);
    long error = writeDataToFile(entryOffset(listOffset, index), reinterpret_cast<char*>(bytes),
                                 kEntrySize);
    // Written through to the window, which stays good.
    bool inWindow = windowStart != 0 && index >= windowStart && index < windowStart + windowCount;
    if (error != 0) windowStart = 0;
    else if (inWindow) std::memcpy(window.data() + (index - windowStart) * kEntrySize, bytes, kEntrySize);
    return error;
}

long Database::growMPList(long extraSlots) {
    long oldSize = slots * kEntrySize + kListHeaderSize;
    long newSize = oldSize + extraSlots * kEntrySize;
    WorkingBuffer list(*this);
    if (long error = list.allocate(newSize)) return error;
    uint8_t* added = reinterpret_cast<uint8_t*>(list.data()) + oldSize;
    fillBlankEntries(added, extraSlots);

    // The new slots are written past the file's end; raising the slot count
    // is the commit.
    if (listOffset + oldSize == fileLength) {
        if (long error = appendDataToFile(reinterpret_cast<char*>(added), extraSlots * kEntrySize))
            return error;
        return setMPSlots(slots + extraSlots);
    }

    // The list is not at the end: a copy with room to spare, which already
    // records the old place as a 'FREE' record, goes there, and pointing the
    // header at it is the commit. Until then the old list is the list.
    long oldOffset = listOffset;
    long oldSlots = slots;
    if (long error = readDataFromFile(oldOffset, list.data(), oldSize, false)) return error;
    auto* copy = reinterpret_cast<uint8_t*>(list.data());
    MasterPtrEntry oldSpace{kFreeType, int32_t(oldSize), 0, int32_t(oldOffset)};
    encodeEntry(oldSpace, copy + kListHeaderSize + entries * kEntrySize);
    putBigEndian32(copy, uint32_t(entries + 1));
    putBigEndian32(copy + 4, uint32_t(slots + extraSlots));
    long newOffset = fileLength;
    if (long error = appendDataToFile(list.data(), newSize)) return error;
    if (long error = setMPOffset(newOffset)) return error;
    slots += extraSlots;
    entries += 1;
    freeSpace.update(entries, oldSpace);
    OKA_LOG("Moved master ptr list from %ld to %ld", oldOffset, newOffset);
    OKA_LOG("oldSlots = %ld, newSlots = %ld", oldSlots, slots);
    OKA_LOG("oldMPSize = %ld, newMPSize = %ld", oldSize, newSize);
    return 0;
}

// Makes sure that one more entry can be added: a small 'FREE' record to
// reuse (its number), or room in the list (-1), growing it when full.
long Database::reserveEntry() {
    long reused = locateSmallFreeEntry();
    if (reused > 0 || entries < slots) return reused;
    if (long error = growMPList(kGrowthSlots)) return error;
    return -1;
}

// Writes `entry` into the reused entry (one write, the commit), or into the
// first unused slot and then raises the count (the commit).
long Database::addEntry(const MasterPtrEntry& entry, long reused, long* index) {
    long number = reused > 0 ? reused : entries + 1;
    if (number > slots) return kErrorBadArgument;
    if (long error = setMPEntry(number, &entry)) return error;
    if (reused <= 0) {
        if (long error = setMPEntries(number)) return error;
    }
    *index = number;
    return 0;
}

// ---------------------------------------------------------------- blocks

// The entry, refused when it places its bytes outside the file.
long Database::loadEntry(long index, MasterPtrEntry* entry) {
    if (long error = getMPEntry(index, entry)) return error;
    long start = entry->offset;
    long end = start + entry->length + entry->slop;
    if (start < kHeaderSize || entry->length < 0 || entry->slop < 0 || end > fileLength)
        return kErrorDamagedFile;
    // A block over the list would let a write scramble every entry.
    long listEnd = listOffset + kListHeaderSize + slots * kEntrySize;
    if (end > start && start < listEnd && listOffset < end) return kErrorDamagedFile;
    return 0;
}

// As loadEntry, for operations that refuse a deleted block.
long Database::loadWritableEntry(long index, MasterPtrEntry* entry) {
    if (long error = loadEntry(index, entry)) return error;
    return entry->type == kFreeType ? kErrorBlockDeleted : 0;
}

long Database::locateSmallFreeEntry() const { return freeSpace.smallRecord(kSmallFreeRecord); }

long Database::grabFreeSpace(long length) {
    long k = freeSpace.firstFit(length);
    if (k < 0) return 0;
    MasterPtrEntry entry;
    if (long error = loadEntry(k, &entry)) return error;
    long place = entry.offset;
    entry.offset = int32_t(entry.offset + length);
    entry.length = int32_t(entry.length - length);
    if (long error = setMPEntry(k, &entry)) return error;
    return place;
}

// Finds `total` bytes, first fit in free space or else at the end of the
// file, and writes `data` (`length` bytes; zeros when null) at their start.
// The data is written while the bytes are still free or past the end, so
// until an entry claims them nothing in the file changes meaning.
long Database::takeSpace(const char* data, long length, long total, long* offset) {
    WorkingBuffer zeros(*this);
    if (data == nullptr) {
        if (long error = zeros.allocateZeroed(length)) return error;
        data = zeros.data();
    }
    long k = freeSpace.firstFit(total);
    if (k > 0) {
        *offset = freeSpace.record(k).offset;
        if (long error = writeDataToFile(*offset, data, length)) return error;
        long place = grabFreeSpace(total);
        return place < 0 ? place : 0;
    }
    if (fileLength + total > INT32_MAX) return EFBIG;  // offsets are 32-bit
    *offset = fileLength;
    if (long error = writeDataToFile(fileLength, data, length)) return error;
    if (long error = file.extendTo(fileLength + total)) return error;
    return setFileLength(fileLength + total);
}

// Makes the `extra` bytes that follow the block's space belong to nothing,
// so that the block's next entry write can take them: past the end of the
// file, or from the front of a 'FREE' record that starts there.
long Database::claimSpaceAfter(const MasterPtrEntry& entry, long extra, bool* claimed) {
    long end = long(entry.offset) + entry.length + entry.slop;
    *claimed = false;
    if (end == fileLength) {
        if (fileLength + extra > INT32_MAX) return 0;  // the block moves instead, if it can
        if (long error = file.extendTo(fileLength + extra)) return error;
        if (long error = setFileLength(fileLength + extra)) return error;
        *claimed = true;
        return 0;
    }
    long k = freeSpace.startingAt(end);
    if (k < 0 || freeSpace.record(k).length < extra) return 0;
    MasterPtrEntry free = freeSpace.record(k);
    free.offset = int32_t(free.offset + extra);
    free.length = int32_t(free.length - extra);
    if (long error = setMPEntry(k, &free)) return error;
    *claimed = true;
    return 0;
}

// Records bytes that nothing uses any more as free space, merged with the
// 'FREE' records on either side. `ownEntry`, when not 0, is the entry that
// gave the bytes up (a deleted block) and becomes their record; the one
// write that turns it into 'FREE' is the commit. Merging takes one write per
// record, each leaving the file sound: a neighbour that is absorbed is first
// emptied, so no two records ever cover the same bytes.
long Database::releaseSpace(long offset, long length, long ownEntry) {
    long before = freeSpace.endingAt(offset);
    long after = freeSpace.startingAt(offset + length);
    if (ownEntry > 0) {
        bool merges = length > 0 && (before > 0 || after > 0);
        MasterPtrEntry own{kFreeType, int32_t(merges ? 0 : length), 0, int32_t(offset)};
        if (long error = setMPEntry(ownEntry, &own)) return error;
        if (!merges) return 0;
    }
    if (length == 0) return 0;
    if (before > 0 && after > 0) {
        MasterPtrEntry next = freeSpace.record(after);
        length += next.length;
        next.length = 0;
        if (long error = setMPEntry(after, &next)) return error;
        after = -1;
    }
    if (before > 0) {
        MasterPtrEntry previous = freeSpace.record(before);
        previous.length = int32_t(previous.length + length);
        return setMPEntry(before, &previous);
    }
    if (after > 0) {
        MasterPtrEntry next = freeSpace.record(after);
        next.offset = int32_t(offset);
        next.length = int32_t(next.length + length);
        return setMPEntry(after, &next);
    }
    long reused = reserveEntry();
    if (reused < -1) return reused;
    long index = 0;
    return addEntry({kFreeType, int32_t(length), 0, int32_t(offset)}, reused, &index);
}

long Database::addBlock(TypeCode type, long length, long slop, long* index) {
    return addBlock(type, nullptr, length, slop, index);
}

long Database::addBlock(TypeCode type, const char* data, long length, long slop, long* index) {
    if (length < 0 || slop < 0 || length + slop > INT32_MAX) return kErrorBadArgument;
    long reused = reserveEntry();
    if (reused < -1) return reused;
    long offset = 0;
    if (long error = takeSpace(data, length, length + slop, &offset)) return error;
    return addEntry({type, int32_t(length), int32_t(slop), int32_t(offset)}, reused, index);
}

long Database::deleteBlock(long index) {
    MasterPtrEntry entry;
    if (long error = loadWritableEntry(index, &entry)) return error;
    fieldIndex.forget();
    return releaseSpace(entry.offset, long(entry.length) + entry.slop, index);
}

// The n-th block of `type` counting from entry `first`.
long Database::scanForType(TypeCode type, long first, long n, long* index) {
    MasterPtrEntry entry;
    for (long k = std::max(first, 1L); k <= entries; ++k) {
        if (long error = getMPEntry(k, &entry)) return error;
        if (entry.type == type && --n == 0) {
            *index = k;
            return 0;
        }
    }
    return kErrorNoBlockOfType;
}

long Database::countBlocksOfType(TypeCode type, long* count) {
    *count = 0;
    MasterPtrEntry entry;
    for (long k = 1; k <= entries; ++k) {
        if (long error = getMPEntry(k, &entry)) return error;
        if (entry.type == type) ++*count;
    }
    return 0;
}

long Database::getNthBlockOfType(TypeCode type, long n, long* index) {
    if (n < 1) return kErrorNoBlockOfType;
    return scanForType(type, 1, n, index);
}

long Database::getNextBlockOfType(TypeCode type, long after, long* index) {
    return scanForType(type, after + 1, 1, index);
}

long Database::getBlockLength(long index, long* length) {
    MasterPtrEntry entry;
    if (long error = loadEntry(index, &entry)) return error;
    *length = entry.length;
    return 0;
}

long Database::readDataFromBlock(long index, char* buffer, bool useCache) {
    MasterPtrEntry entry;
    if (long error = loadEntry(index, &entry)) return error;
    return readDataFromFile(entry.offset, buffer, entry.length, useCache);
}

long Database::grownSlop(long length) { return std::max(kMovedBlockSlop, length / 2); }

// Deliberately never in place, even when the data fits: overwriting live
// bytes could be cut short halfway and leave a block that is neither the
// old nor the new one. The new bytes go to free space, the entry write is
// the commit, and the old space is freed after it.
long Database::writeDataToBlock(long index, const char* data, long length) {
    if (length < 0 || length > INT32_MAX / 2) return kErrorBadArgument;
    MasterPtrEntry entry;
    if (long error = loadWritableEntry(index, &entry)) return error;
    fieldIndex.forget();
    long capacity = long(entry.length) + entry.slop;
    long slop = length <= capacity ? capacity - length : grownSlop(length);
    return relocateBlock(index, entry, data, length, slop);
}

long Database::relocateBlock(long index, MasterPtrEntry entry, const char* data, long length,
                             long slop) {
    // The old space needs an entry of its own when no free neighbour takes
    // it; make sure of one before anything moves.
    if (long reused = reserveEntry(); reused < -1) return reused;
    long place = 0;
    if (long error = takeSpace(data, length, length + slop, &place)) return error;
    MasterPtrEntry old = entry;
    entry.offset = int32_t(place);
    entry.length = int32_t(length);
    entry.slop = int32_t(slop);
    if (long error = setMPEntry(index, &entry)) return error;
    return releaseSpace(old.offset, long(old.length) + old.slop, 0);
}

// ---------------------------------------------------------------- fields

// In place: writing the count 0 is the commit (the old fields become bytes
// that belong to no field); the entry then gives them back as slop.
long Database::initBlockForFields(long index) {
    MasterPtrEntry entry;
    if (long error = loadWritableEntry(index, &entry)) return error;
    fieldIndex.forget();
    long capacity = long(entry.length) + entry.slop;
    if (capacity < kFieldWordSize) {
        char count[kFieldWordSize];
        writeField32(count, 0);
        return writeDataToBlock(index, count, kFieldWordSize);
    }
    if (long error = writeLong(entry.offset, 0)) return error;
    entry.length = int32_t(kFieldWordSize);
    entry.slop = int32_t(capacity - kFieldWordSize);
    return setMPEntry(index, &entry);
}

long Database::countFieldsInBlock(long index, long* count) {
    MasterPtrEntry entry;
    if (long error = loadEntry(index, &entry)) return error;
    if (entry.length < kFieldWordSize) return kErrorDamagedFile;
    char word[kFieldWordSize];
    if (long error = readDataFromFile(entry.offset, word, kFieldWordSize, false)) return error;
    *count = readField32(word);
    return fieldCountFits(*count, entry.length) ? 0 : kErrorDamagedFile;
}

long Database::readFieldCount(const char* blockData, long blockLength, long* count) {
    if (blockLength < kFieldWordSize) return kErrorDamagedFile;
    *count = readField32(blockData);
    return fieldCountFits(*count, blockLength) ? 0 : kErrorDamagedFile;
}

long Database::stepOverField(const char* blockData, long blockLength, long* position,
                             long* offset, long* length) {
    if (*position > blockLength - kFieldWordSize) return kErrorDamagedFile;
    long fieldLength = readField32(blockData + *position);
    long data = *position + kFieldWordSize;
    if (fieldLength < 0 || fieldLength > blockLength - data) return kErrorDamagedFile;
    *offset = data;
    *length = fieldLength;
    *position = data + fieldLength;
    return 0;
}

long Database::getFieldInfo(const char* blockData, long blockLength, long field, long* offset,
                            long* length) {
    long count = 0;
    if (long error = readFieldCount(blockData, blockLength, &count)) return error;
    if (field < 1 || field > count) return kErrorFieldRange;
    long position = kFieldWordSize;
    for (long k = 1; k <= field; ++k) {
        if (long error = stepOverField(blockData, blockLength, &position, offset, length))
            return error;
    }
    return 0;
}

// Reads the whole block into a working buffer.
long Database::readBlock(long index, WorkingBuffer& buffer, MasterPtrEntry* entry) {
    if (long error = loadEntry(index, entry)) return error;
    if (long error = buffer.allocate(entry->length)) return error;
    return readDataFromFile(entry->offset, buffer.data(), entry->length, false);
}

// The field index of block `index`, built by one walk unless it is current.
long Database::indexFields(long index, MasterPtrEntry* entry) {
    if (long error = loadEntry(index, entry)) return error;
    if (fieldIndex.describes(index, *entry)) return 0;
    WorkingBuffer block(*this);
    if (long error = readBlock(index, block, entry)) return error;
    return fieldIndex.build(index, *entry, block.data());
}

// The file offset of one field's data, and its length.
long Database::locateField(long index, long field, long* fileOffset, long* length) {
    MasterPtrEntry entry;
    if (long error = indexFields(index, &entry)) return error;
    if (field < 1 || field > fieldIndex.count()) return kErrorFieldRange;
    *fileOffset = entry.offset + fieldIndex.dataOffset(field);
    *length = fieldIndex.length(field);
    return 0;
}

long Database::getFieldLength(long index, long field, long* length) {
    long offset = 0;
    return locateField(index, field, &offset, length);
}

long Database::getLongFromBlock(long index, long field, long* value) {
    *value = 0;
    long offset = 0;
    long length = 0;
    if (long error = locateField(index, field, &offset, &length)) return error;
    if (length != 4) return 0;
    return readLong(offset, value);
}

long Database::getFieldIntoBuffer(long index, long field, char* buffer, long* length,
                                  long maxLength) {
    if (maxLength > 0) buffer[0] = '\0';
    *length = 0;
    long offset = 0;
    long fieldLength = 0;
    if (long error = locateField(index, field, &offset, &fieldLength)) return error;
    long copied = std::clamp(fieldLength, 0L, std::max(maxLength, 0L));
    if (long error = readDataFromFile(offset, buffer, copied, false)) return error;
    *length = copied;
    return 0;
}

long Database::getField(long index, long field, char** data, long* length) {
    *data = nullptr;
    *length = 0;
    long offset = 0;
    long fieldLength = 0;
    if (long error = locateField(index, field, &offset, &fieldLength)) return error;
    std::unique_ptr<char[]> copy(new (std::nothrow) char[size_t(std::max(fieldLength, 1L))]);
    if (copy == nullptr) return kErrorOutOfMemory;
    if (long error = readDataFromFile(offset, copy.get(), fieldLength, false)) return error;
    *data = copy.release();
    *length = fieldLength;
    return 0;
}

// In place when the field fits the block's space, or the space can grow
// into what follows it: the field goes after the last one (beyond the
// block's length, where no reader looks), the entry takes it in, and the
// count written last is the commit. Cut short before that, the block keeps
// its old fields and ends in bytes that belong to no field, which the next
// append overwrites. Otherwise the block is rewritten elsewhere with the
// field, with slop in proportion to its length.
long Database::addFieldToBlock(long index, const char* data, long length) {
    if (length < 0 || length > INT32_MAX / 4) return kErrorBadArgument;
    MasterPtrEntry entry;
    if (long error = loadWritableEntry(index, &entry)) return error;
    if (long error = indexFields(index, &entry)) return error;
    long end = fieldIndex.end();
    long grownLength = end + kFieldWordSize + length;
    if (grownLength > INT32_MAX / 2) return kErrorBadArgument;
    long capacity = long(entry.length) + entry.slop;

    WorkingBuffer block(*this);
    if (grownLength > capacity) {
        long extra = grownLength + grownSlop(grownLength) - capacity;
        bool claimed = false;
        if (long error = claimSpaceAfter(entry, extra, &claimed)) return error;
        if (!claimed) {
            if (long error = block.allocate(grownLength)) return error;
            if (long error = readDataFromFile(entry.offset, block.data(), end, false)) return error;
            writeField32(block.data(), fieldIndex.count() + 1);
            writeField32(block.data() + end, length);
            std::memcpy(block.data() + end + kFieldWordSize, data, size_t(length));
            fieldIndex.forget();
            return relocateBlock(index, entry, block.data(), grownLength,
                                 grownSlop(grownLength));
        }
        capacity += extra;
    }

    if (long error = block.allocate(kFieldWordSize + length)) return error;
    writeField32(block.data(), length);
    std::memcpy(block.data() + kFieldWordSize, data, size_t(length));
    if (long error = writeDataToFile(entry.offset + end, block.data(), kFieldWordSize + length))
        return error;
    entry.length = int32_t(grownLength);
    entry.slop = int32_t(capacity - grownLength);
    if (long error = setMPEntry(index, &entry)) return error;
    if (long error = writeLong(entry.offset, fieldIndex.count() + 1)) return error;
    fieldIndex.append(entry, length);
    return 0;
}

long Database::deleteFieldFromBlock(long index, long field) {
    MasterPtrEntry entry;
    WorkingBuffer block(*this);
    if (long error = readBlock(index, block, &entry)) return error;
    long offset = 0;
    long length = 0;
    if (long error = getFieldInfo(block.data(), entry.length, field, &offset, &length)) return error;
    char* bytes = block.data();
    long tail = entry.length - (offset + length);
    std::memmove(bytes + offset - kFieldWordSize, bytes + offset + length, size_t(tail));
    writeField32(bytes, readField32(bytes) - 1);
    return writeDataToBlock(index, bytes, entry.length - length - kFieldWordSize);
}

long Database::setFieldOfBlock(long index, long field, const char* data, long length) {
    if (length < 0 || length > INT32_MAX / 2) return kErrorBadArgument;
    MasterPtrEntry entry;
    WorkingBuffer block(*this);
    if (long error = readBlock(index, block, &entry)) return error;
    long offset = 0;
    long oldLength = 0;
    if (long error = getFieldInfo(block.data(), entry.length, field, &offset, &oldLength))
        return error;
    long newBlockLength = entry.length + length - oldLength;
    long tail = entry.length - (offset + oldLength);

    // A shorter or equal value is rebuilt in place; a longer one in a new
    // buffer that first takes everything before the field.
    WorkingBuffer larger(*this);
    char* target = block.data();
    if (length > oldLength) {
        if (long error = larger.allocate(newBlockLength)) return error;
        target = larger.data();
        std::memcpy(target, block.data(), size_t(offset));
    }
    std::memmove(target + offset + length, block.data() + offset + oldLength, size_t(tail));
    std::memcpy(target + offset, data, size_t(length));
    writeField32(target + offset - kFieldWordSize, length);
    return writeDataToBlock(index, target, newBlockLength);
}

// ------------------------------------------------------- raw file access

long Database::writeDataToFile(long offset, const char* data, long length) {
    if (offset < 0 || length < 0) return kErrorBadArgument;
    return file.writeAt(offset, data, length);
}

long Database::appendDataToFile(const char* data, long length) {
    if (length < 0) return kErrorBadArgument;
    if (fileLength + length > INT32_MAX) return EFBIG;  // offsets are 32-bit
    if (long error = writeDataToFile(fileLength, data, length)) return error;
    return setFileLength(fileLength + length);
}

long Database::readDataFromFile(long offset, char* buffer, long length, bool useCache) {
    if (offset < 0 || length < 0) return kErrorBadArgument;
    bool cached = useCache && cachingEnabled;
    if (cached) {
        if (readFromCache(offset, buffer, length)) {
            ++cacheHits;
            return 0;
        }
        ++cacheMisses;
    }
    long got = file.readAt(offset, buffer, length);
    if (got < 0) return errno;
    if (got < length) return kErrorDamagedFile;
    if (cached) addToCache(offset, buffer, length);
    return 0;
}

bool Database::readFromCache(long offset, char* buffer, long length) {
    return mode != kModeReadWrite && readCache && readCache->lookup(offset, buffer, length);
}

void Database::addToCache(long offset, const char* data, long length) {
    if (mode == kModeReadOnly && readCache) readCache->insert(offset, data, length);
}

char* Database::newDataPtr(long size) {
    if (size < 0) return nullptr;
    if (!scratchInUse && size <= kScratchSize) {
        scratchInUse = true;
        return scratch.get();
    }
    return new (std::nothrow) char[size_t(std::max(size, 1L))];
}

void Database::deleteDataPtr(char* buffer) {
    if (buffer == nullptr) return;
    if (buffer == scratch.get()) {
        scratchInUse = false;
        return;
    }
    delete[] buffer;
}

// ------------------------------------------------------------ statistics

void Database::dumpBlockStats(long /*entryCount*/, std::ofstream& /*out*/) {}

void Database::logStats(const char* label, long used, long slop) {
    auto share = [this](long value) { return fileLength < 1 ? 0 : value * 100 / fileLength; };
    statisticsStream() << "Total " << label << " in file: " << used << " (" << share(used)
                       << "%) / " << slop << " (" << share(slop) << "%)\n";
}

long Database::dumpDatabaseStats() {
    char name[kPathSize];
    int number = 1;
    for (; number <= kStatsFileLimit; ++number) {
        formatPath(name, sizeof name, "dblog.%d", number);
        if (!fileExists(name)) break;
    }
    if (number > kStatsFileLimit) {
        OKA_LOG("too many dblog files!");
        for (int beep = 0; beep < 3; ++beep) okaBeep();
        return 0;
    }
    std::ofstream& out = statisticsStream();
    out.open(name);
    if (!out) return errno != 0 ? errno : EIO;

    struct HeaderValue {
        long position;
        const char* label;
    };
    const HeaderValue values[] = {
        {kListOffsetOffset, ": offset to master pointer list = "},
        {kFileLengthOffset, ": total length of database = "},
        {listOffset, ": number of mp entries = "},
        {listOffset + 4, ": number of mp slots = "},
    };
    out << "Logging database stats\n";
    for (const HeaderValue& value : values) {
        long found = 0;
        readLong(value.position, &found);
        out << value.position << value.label << found << '\n';
    }
    out << '\n';
    dumpBlockStats(entries, out);
    out << '\n';
    out.close();
    return 0;
}
