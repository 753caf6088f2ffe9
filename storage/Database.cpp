// Database: opening, creating and validating the file; the master pointer
// list and its window; blocks, free space and fields; raw file access with
// the read cache. See storage/DatabaseFormat.h for the bytes.
#include "storage/Database.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "core/ByteOrder.h"
#include "core/Log.h"
#include "core/Utilities.h"

using namespace dbformat;

namespace {
constexpr const char* kLogSource = "../dbfile";

constexpr long kScratchSize = 1024;
constexpr long kReadWriteWindowEntries = 100;
constexpr long kSmallFreeRecord = 5;  // free records below this are given up for their entry

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
    Status allocate(long size) {
        database.deleteDataPtr(bytes);
        bytes = database.newDataPtr(size);
        return bytes != nullptr ? kSuccess : Status(kErrorOutOfMemory);
    }
    Status allocateZeroed(long size) {
        Status status = allocate(size);
        if (status.ok()) std::memset(bytes, 0, size_t(size));
        return status;
    }
    char* data() const { return bytes; }

  private:
    Database& database;
    char* bytes = nullptr;
};

Database::Database() : scratch(new char[kScratchSize]) {
    initialize();
}

Database::~Database() {
    (void)closeDBFile();
}

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
    scratchInUse = false;
    cachingEnabled = true;
}

// ---------------------------------------------------------------- opening

Status Database::openDescriptor(const char* path, long openMode) {
    mode = openMode;
    if (cachingEnabled) readCache = std::make_unique<ReadCache>();
    int fd =
        openMode == kModeReadWrite ? ::open(path, O_RDWR | O_CREAT, 0666) : ::open(path, O_RDONLY);
    if (fd < 0) {
        Status failure(errno);
        abandonFile();
        return failure;
    }
    file.reset(fd);
    return kSuccess;
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
Status Database::loadHeader() {
    long size = sizeOnDisk();
    if (size < 0) return Status(errno);
    uint8_t header[kHeaderSize];
    if (size < kHeaderSize || file.readAt(0, header, kHeaderSize) != kHeaderSize)
        return Status(kErrorDamagedFile);
    long length = int32_t(getBigEndian32(header + kFileLengthOffset));
    long list = int32_t(getBigEndian32(header + kListOffsetOffset));
    if (length < kHeaderSize || length > size) return Status(kErrorDamagedFile);
    if (list < kHeaderSize || list > length - kListHeaderSize) return Status(kErrorDamagedFile);
    uint8_t counts[kListHeaderSize];
    if (file.readAt(list, counts, kListHeaderSize) != kListHeaderSize)
        return Status(kErrorDamagedFile);
    long used = int32_t(getBigEndian32(counts));
    long room = int32_t(getBigEndian32(counts + 4));
    if (room < 0 || used < 0 || used > room ||
        room > (length - list - kListHeaderSize) / kEntrySize)
        return Status(kErrorDamagedFile);

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
Status Database::loadAllEntries() {
    std::vector<uint8_t> list(size_t(entries * kEntrySize));
    if (file.readAt(entryOffset(listOffset, 1), list.data(), long(list.size())) !=
        long(list.size()))
        return Status(kErrorDamagedFile);
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
        if (spans[i].start < reach) return Status(kErrorDamagedFile);
        reach = std::max(reach, spans[i].end);
    }
    return kSuccess;
}

Status Database::checkAndMarkInUse() {
    Result<long> flags = readFlags();
    if (!flags.ok()) return flags.status();
    if (flags.value() & kInUseFlag) return Status(kErrorFileInUse);
    return mode == kModeReadWrite ? writeFlags(flags.value() | kInUseFlag) : kSuccess;
}

Status Database::openDBFile(const char* path, long openMode, bool checkInUse) {
    if (isOpen()) {
        if (openMode == mode) return kSuccess;
        (void)closeDBFile();  // the file is left either way; a new open follows
    }
    Status status = openDescriptor(path, openMode);
    if (status.ok()) status = loadHeader();
    if (status.ok() && checkInUse) status = checkAndMarkInUse();
    if (!status.ok()) abandonFile();
    return status;
}

Status Database::closeDBFile() {
    if (!isOpen()) return kSuccess;
    Status status;
    if (mode & kModeReadWrite) {
        Result<long> flags = readFlags();
        status = flags.ok() ? writeFlags(flags.value() & ~kInUseFlag) : flags.status();
    }
    initialize();
    return status;
}

// Deliberately not written in place: the fresh file is written beside the
// old one and renamed over it, so that an interruption leaves either file
// whole, and a failure removes only the file this call made. A file that
// another process has in use is refused and left alone.
Status Database::createDBFile(const char* path, TypeCode fileType, short version) {
    if (isOpen()) (void)closeDBFile();  // the file is replaced whatever its flags say
    {
        FileDescriptor existing;
        existing.reset(::open(path, O_RDONLY));
        uint8_t flags[4];
        if (existing.isOpen() && existing.readAt(kFlagsOffset, flags, 4) == 4 &&
            (getBigEndian32(flags) & kInUseFlag))
            return Status(kErrorFileInUse);
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
    if (!created.isOpen()) return Status(errno);
    Status status = created.writeAt(0, fresh.data(), long(fresh.size()));
    created.reset();
    if (status.ok() && gBeforeDatabaseWrite != nullptr) gBeforeDatabaseWrite();
    if (status.ok() && std::rename(temporary.c_str(), path) != 0) status = Status(errno);
    if (!status.ok()) std::remove(temporary.c_str());
    return status;
}

Result<short> Database::validDBFile(const char* path, TypeCode fileType) {
    if (!fileExists(path)) return Status(kErrorFileMissing);
    if (isOpen()) (void)closeDBFile();
    cachingEnabled = false;  // a look at the header needs no cache or window
    if (Status status = openDescriptor(path, kModeReadOnly); !status.ok()) {
        initialize();
        return status;
    }
    uint8_t head[kFlagsOffset];
    bool complete = file.readAt(0, head, sizeof head) == long(sizeof head);
    (void)closeDBFile();  // read-only: nothing to write back
    if (!complete || getBigEndian32(head + kTypeOffset) != fileType ||
        short(getBigEndian16(head + kFormatVersionOffset)) != kFormatVersion)
        return Status(kErrorWrongFileType);
    return short(getBigEndian16(head + kDataVersionOffset));
}

// ------------------------------------------------------ header and list

Result<long> Database::readLong(long offset) {
    char bytes[4];
    if (Status status = readDataFromFile(offset, bytes, 4, false); !status.ok()) return status;
    return readField32(bytes);
}

Status Database::writeLong(long offset, long value) {
    char bytes[4];
    writeField32(bytes, value);
    return writeDataToFile(offset, bytes, 4);
}

Result<long> Database::readFlags() {
    return readLong(kFlagsOffset);
}

Status Database::writeFlags(long flags) {
    return writeLong(kFlagsOffset, flags);
}

Status Database::setMPOffset(long value) {
    listOffset = value;
    windowStart = 0;
    return writeLong(kListOffsetOffset, value);
}

Status Database::setMPEntries(long value) {
    entries = value;
    return writeLong(listOffset, value);
}

Status Database::setMPSlots(long value) {
    slots = value;
    return writeLong(listOffset + 4, value);
}

Status Database::setFileLength(long value) {
    fileLength = value;
    return writeLong(kFileLengthOffset, value);
}

Result<MasterPtrEntry> Database::getMPEntry(long index) {
    if (index < 1 || index > entries) return Status(kErrorBadArgument);
    if (window.empty()) {
        uint8_t bytes[kEntrySize];
        if (Status status = readDataFromFile(entryOffset(listOffset, index),
                                             reinterpret_cast<char*>(bytes), kEntrySize, false);
            !status.ok())
            return status;
        return decodeEntry(bytes);
    }
    if (windowStart == 0 || index < windowStart || index >= windowStart + windowCount) {
        // Read-write: the next 100 entries from here; read-only: the whole list.
        long start = mode == kModeReadWrite ? index : 1;
        long count = std::min(long(window.size()) / kEntrySize, slots - start + 1);
        windowStart = 0;
        if (Status status =
                readDataFromFile(entryOffset(listOffset, start),
                                 reinterpret_cast<char*>(window.data()), count * kEntrySize, false);
            !status.ok())
            return status;
        windowStart = start;
        windowCount = count;
    }
    return decodeEntry(window.data() + (index - windowStart) * kEntrySize);
}

Status Database::setMPEntry(long index, const MasterPtrEntry& entry) {
    if (index < 1 || index > slots) return Status(kErrorBadArgument);
    uint8_t bytes[kEntrySize];
    encodeEntry(entry, bytes);
    freeSpace.update(index, entry);
    Status status =
        writeDataToFile(entryOffset(listOffset, index), reinterpret_cast<char*>(bytes), kEntrySize);
    // Written through to the window, which stays good.
    bool inWindow = windowStart != 0 && index >= windowStart && index < windowStart + windowCount;
    if (!status.ok())
        windowStart = 0;
    else if (inWindow)
        std::memcpy(window.data() + (index - windowStart) * kEntrySize, bytes, kEntrySize);
    return status;
}

Status Database::growMPList(long extraSlots) {
    long oldSize = slots * kEntrySize + kListHeaderSize;
    long newSize = oldSize + extraSlots * kEntrySize;
    WorkingBuffer list(*this);
    if (Status status = list.allocate(newSize); !status.ok()) return status;
    uint8_t* added = reinterpret_cast<uint8_t*>(list.data()) + oldSize;
    fillBlankEntries(added, extraSlots);

    // The new slots are written past the file's end; raising the slot count
    // is the commit.
    if (listOffset + oldSize == fileLength) {
        if (Status status =
                appendDataToFile(reinterpret_cast<char*>(added), extraSlots * kEntrySize);
            !status.ok())
            return status;
        return setMPSlots(slots + extraSlots);
    }

    // The list is not at the end: a copy with room to spare, which already
    // records the old place as a 'FREE' record, goes there, and pointing the
    // header at it is the commit. Until then the old list is the list.
    long oldOffset = listOffset;
    long oldSlots = slots;
    if (Status status = readDataFromFile(oldOffset, list.data(), oldSize, false); !status.ok())
        return status;
    auto* copy = reinterpret_cast<uint8_t*>(list.data());
    MasterPtrEntry oldSpace{kFreeType, int32_t(oldSize), 0, int32_t(oldOffset)};
    encodeEntry(oldSpace, copy + kListHeaderSize + entries * kEntrySize);
    putBigEndian32(copy, uint32_t(entries + 1));
    putBigEndian32(copy + 4, uint32_t(slots + extraSlots));
    long newOffset = fileLength;
    if (Status status = appendDataToFile(list.data(), newSize); !status.ok()) return status;
    if (Status status = setMPOffset(newOffset); !status.ok()) return status;
    slots += extraSlots;
    entries += 1;
    freeSpace.update(entries, oldSpace);
    OKA_LOG("Moved master ptr list from %ld to %ld", oldOffset, newOffset);
    OKA_LOG("oldSlots = %ld, newSlots = %ld", oldSlots, slots);
    OKA_LOG("oldMPSize = %ld, newMPSize = %ld", oldSize, newSize);
    return kSuccess;
}

Result<long> Database::reserveEntry() {
    long reused = locateSmallFreeEntry();
    if (reused > 0) return reused;
    if (entries < slots) return 0L;
    if (Status status = growMPList(kGrowthSlots); !status.ok()) return status;
    return 0L;
}

// Writes `entry` into the reused entry (one write, the commit), or into the
// first unused slot and then raises the count (the commit). The entry's
// number comes back.
Result<long> Database::addEntry(const MasterPtrEntry& entry, long reused) {
    long number = reused > 0 ? reused : entries + 1;
    if (number > slots) return Status(kErrorBadArgument);
    if (Status status = setMPEntry(number, entry); !status.ok()) return status;
    if (reused <= 0) {
        if (Status status = setMPEntries(number); !status.ok()) return status;
    }
    return number;
}

// ---------------------------------------------------------------- blocks

// The entry, refused when it places its bytes outside the file.
Result<MasterPtrEntry> Database::loadEntry(long index) {
    Result<MasterPtrEntry> found = getMPEntry(index);
    if (!found.ok()) return found;
    const MasterPtrEntry& entry = found.value();
    long start = entry.offset;
    long end = start + entry.length + entry.slop;
    if (start < kHeaderSize || entry.length < 0 || entry.slop < 0 || end > fileLength)
        return Status(kErrorDamagedFile);
    // A block over the list would let a write scramble every entry.
    long listEnd = listOffset + kListHeaderSize + slots * kEntrySize;
    if (end > start && start < listEnd && listOffset < end) return Status(kErrorDamagedFile);
    return found;
}

// As loadEntry, for operations that refuse a deleted block.
Result<MasterPtrEntry> Database::loadWritableEntry(long index) {
    Result<MasterPtrEntry> found = loadEntry(index);
    if (found.ok() && found.value().type == kFreeType) return Status(kErrorBlockDeleted);
    return found;
}

long Database::locateSmallFreeEntry() const {
    return freeSpace.smallRecord(kSmallFreeRecord);
}

Result<long> Database::grabFreeSpace(long length) {
    long k = freeSpace.firstFit(length);
    if (k < 0) return 0L;
    Result<MasterPtrEntry> found = loadEntry(k);
    if (!found.ok()) return found.status();
    MasterPtrEntry entry = found.value();
    long place = entry.offset;
    entry.offset = int32_t(entry.offset + length);
    entry.length = int32_t(entry.length - length);
    if (Status status = setMPEntry(k, entry); !status.ok()) return status;
    return place;
}

// Finds `total` bytes, first fit in free space or else at the end of the
// file, and writes `data` (`length` bytes; zeros when null) at their start;
// their offset comes back. The data is written while the bytes are still
// free or past the end, so until an entry claims them nothing in the file
// changes meaning.
Result<long> Database::takeSpace(const char* data, long length, long total) {
    WorkingBuffer zeros(*this);
    if (data == nullptr) {
        if (Status status = zeros.allocateZeroed(length); !status.ok()) return status;
        data = zeros.data();
    }
    long k = freeSpace.firstFit(total);
    if (k > 0) {
        long offset = freeSpace.record(k).offset;
        if (Status status = writeDataToFile(offset, data, length); !status.ok()) return status;
        Result<long> grabbed = grabFreeSpace(total);
        if (!grabbed.ok()) return grabbed;
        return offset;
    }
    if (fileLength + total > INT32_MAX) return Status(EFBIG);  // offsets are 32-bit
    long offset = fileLength;
    if (Status status = writeDataToFile(offset, data, length); !status.ok()) return status;
    if (Status status = file.extendTo(offset + total); !status.ok()) return status;
    if (Status status = setFileLength(offset + total); !status.ok()) return status;
    return offset;
}

// Makes the `extra` bytes that follow the block's space belong to nothing,
// so that the block's next entry write can take them: past the end of the
// file, or from the front of a 'FREE' record that starts there. False when
// neither can give them.
Result<bool> Database::claimSpaceAfter(const MasterPtrEntry& entry, long extra) {
    long end = long(entry.offset) + entry.length + entry.slop;
    if (end == fileLength) {
        if (fileLength + extra > INT32_MAX) return false;  // the block moves instead, if it can
        if (Status status = file.extendTo(fileLength + extra); !status.ok()) return status;
        if (Status status = setFileLength(fileLength + extra); !status.ok()) return status;
        return true;
    }
    long k = freeSpace.startingAt(end);
    if (k < 0 || freeSpace.record(k).length < extra) return false;
    MasterPtrEntry free = freeSpace.record(k);
    free.offset = int32_t(free.offset + extra);
    free.length = int32_t(free.length - extra);
    if (Status status = setMPEntry(k, free); !status.ok()) return status;
    return true;
}

// Records bytes that nothing uses any more as free space, merged with the
// 'FREE' records on either side. `ownEntry`, when not 0, is the entry that
// gave the bytes up (a deleted block) and becomes their record; the one
// write that turns it into 'FREE' is the commit. Merging takes one write per
// record, each leaving the file sound: a neighbour that is absorbed is first
// emptied, so no two records ever cover the same bytes.
Status Database::releaseSpace(long offset, long length, long ownEntry) {
    long before = freeSpace.endingAt(offset);
    long after = freeSpace.startingAt(offset + length);
    if (ownEntry > 0) {
        bool merges = length > 0 && (before > 0 || after > 0);
        MasterPtrEntry own{kFreeType, int32_t(merges ? 0 : length), 0, int32_t(offset)};
        if (Status status = setMPEntry(ownEntry, own); !status.ok()) return status;
        if (!merges) return kSuccess;
    }
    if (length == 0) return kSuccess;
    if (before > 0 && after > 0) {
        MasterPtrEntry next = freeSpace.record(after);
        length += next.length;
        next.length = 0;
        if (Status status = setMPEntry(after, next); !status.ok()) return status;
        after = -1;
    }
    if (before > 0) {
        MasterPtrEntry previous = freeSpace.record(before);
        previous.length = int32_t(previous.length + length);
        return setMPEntry(before, previous);
    }
    if (after > 0) {
        MasterPtrEntry next = freeSpace.record(after);
        next.offset = int32_t(offset);
        next.length = int32_t(next.length + length);
        return setMPEntry(after, next);
    }
    Result<long> reused = reserveEntry();
    if (!reused.ok()) return reused.status();
    return addEntry({kFreeType, int32_t(length), 0, int32_t(offset)}, reused.value()).status();
}

Result<long> Database::addBlock(TypeCode type, long length, long slop) {
    return addBlock(type, nullptr, length, slop);
}

Result<long> Database::addBlock(TypeCode type, const char* data, long length, long slop) {
    if (length < 0 || slop < 0 || length + slop > INT32_MAX) return Status(kErrorBadArgument);
    Result<long> reused = reserveEntry();
    if (!reused.ok()) return reused;
    Result<long> offset = takeSpace(data, length, length + slop);
    if (!offset.ok()) return offset;
    return addEntry({type, int32_t(length), int32_t(slop), int32_t(offset.value())},
                    reused.value());
}

Status Database::deleteBlock(long index) {
    Result<MasterPtrEntry> entry = loadWritableEntry(index);
    if (!entry.ok()) return entry.status();
    fieldIndex.forget();
    return releaseSpace(entry.value().offset, long(entry.value().length) + entry.value().slop,
                        index);
}

// The entry number of the n-th block of `type` counting from entry `first`.
Result<long> Database::scanForType(TypeCode type, long first, long n) {
    for (long k = std::max(first, 1L); k <= entries; ++k) {
        Result<MasterPtrEntry> entry = getMPEntry(k);
        if (!entry.ok()) return entry.status();
        if (entry.value().type == type && --n == 0) return k;
    }
    return Status(kErrorNoBlockOfType);
}

Result<long> Database::countBlocksOfType(TypeCode type) {
    long count = 0;
    for (long k = 1; k <= entries; ++k) {
        Result<MasterPtrEntry> entry = getMPEntry(k);
        if (!entry.ok()) return entry.status();
        if (entry.value().type == type) ++count;
    }
    return count;
}

Result<long> Database::getNthBlockOfType(TypeCode type, long n) {
    if (n < 1) return Status(kErrorNoBlockOfType);
    return scanForType(type, 1, n);
}

Result<long> Database::getNextBlockOfType(TypeCode type, long after) {
    return scanForType(type, after + 1, 1);
}

Result<long> Database::getBlockLength(long index) {
    Result<MasterPtrEntry> entry = loadEntry(index);
    if (!entry.ok()) return entry.status();
    return long(entry.value().length);
}

Status Database::readDataFromBlock(long index, char* buffer, long size, bool useCache) {
    Result<MasterPtrEntry> entry = loadEntry(index);
    if (!entry.ok()) return entry.status();
    if (entry.value().length > size) return Status(kErrorBadArgument);
    return readDataFromFile(entry.value().offset, buffer, entry.value().length, useCache);
}

long Database::grownSlop(long length) {
    return std::max(kMovedBlockSlop, length / 2);
}

// Deliberately never in place, even when the data fits: overwriting live
// bytes could be cut short halfway and leave a block that is neither the
// old nor the new one. The new bytes go to free space, the entry write is
// the commit, and the old space is freed after it.
Status Database::writeDataToBlock(long index, const char* data, long length) {
    if (length < 0 || length > INT32_MAX / 2) return Status(kErrorBadArgument);
    Result<MasterPtrEntry> entry = loadWritableEntry(index);
    if (!entry.ok()) return entry.status();
    fieldIndex.forget();
    long capacity = long(entry.value().length) + entry.value().slop;
    long slop = length <= capacity ? capacity - length : grownSlop(length);
    return relocateBlock(index, entry.value(), data, length, slop);
}

Status Database::relocateBlock(long index, MasterPtrEntry entry, const char* data, long length,
                               long slop) {
    // The old space needs an entry of its own when no free neighbour takes
    // it; make sure of one before anything moves.
    if (Result<long> reused = reserveEntry(); !reused.ok()) return reused.status();
    Result<long> place = takeSpace(data, length, length + slop);
    if (!place.ok()) return place.status();
    MasterPtrEntry old = entry;
    entry.offset = int32_t(place.value());
    entry.length = int32_t(length);
    entry.slop = int32_t(slop);
    if (Status status = setMPEntry(index, entry); !status.ok()) return status;
    return releaseSpace(old.offset, long(old.length) + old.slop, 0);
}

// ---------------------------------------------------------------- fields

// In place: writing the count 0 is the commit (the old fields become bytes
// that belong to no field); the entry then gives them back as slop.
Status Database::initBlockForFields(long index) {
    Result<MasterPtrEntry> found = loadWritableEntry(index);
    if (!found.ok()) return found.status();
    MasterPtrEntry entry = found.value();
    fieldIndex.forget();
    long capacity = long(entry.length) + entry.slop;
    if (capacity < kFieldWordSize) {
        char count[kFieldWordSize];
        writeField32(count, 0);
        return writeDataToBlock(index, count, kFieldWordSize);
    }
    if (Status status = writeLong(entry.offset, 0); !status.ok()) return status;
    entry.length = int32_t(kFieldWordSize);
    entry.slop = int32_t(capacity - kFieldWordSize);
    return setMPEntry(index, entry);
}

Result<long> Database::countFieldsInBlock(long index) {
    Result<MasterPtrEntry> entry = loadEntry(index);
    if (!entry.ok()) return entry.status();
    if (entry.value().length < kFieldWordSize) return Status(kErrorDamagedFile);
    char word[kFieldWordSize];
    if (Status status = readDataFromFile(entry.value().offset, word, kFieldWordSize, false);
        !status.ok())
        return status;
    long count = readField32(word);
    if (!fieldCountFits(count, entry.value().length)) return Status(kErrorDamagedFile);
    return count;
}

Result<long> Database::readFieldCount(const char* blockData, long blockLength) {
    if (blockLength < kFieldWordSize) return Status(kErrorDamagedFile);
    long count = readField32(blockData);
    if (!fieldCountFits(count, blockLength)) return Status(kErrorDamagedFile);
    return count;
}

Status Database::stepOverField(const char* blockData, long blockLength, long* position,
                               long* offset, long* length) {
    if (*position > blockLength - kFieldWordSize) return Status(kErrorDamagedFile);
    long fieldLength = readField32(blockData + *position);
    long data = *position + kFieldWordSize;
    if (fieldLength < 0 || fieldLength > blockLength - data) return Status(kErrorDamagedFile);
    *offset = data;
    *length = fieldLength;
    *position = data + fieldLength;
    return kSuccess;
}

Status Database::getFieldInfo(const char* blockData, long blockLength, long field, long* offset,
                              long* length) {
    Result<long> count = readFieldCount(blockData, blockLength);
    if (!count.ok()) return count.status();
    if (field < 1 || field > count.value()) return Status(kErrorFieldRange);
    long position = kFieldWordSize;
    for (long k = 1; k <= field; ++k) {
        if (Status status = stepOverField(blockData, blockLength, &position, offset, length);
            !status.ok())
            return status;
    }
    return kSuccess;
}

// Reads the whole block into a working buffer; its entry comes back.
Result<MasterPtrEntry> Database::readBlock(long index, WorkingBuffer& buffer) {
    Result<MasterPtrEntry> entry = loadEntry(index);
    if (!entry.ok()) return entry;
    if (Status status = buffer.allocate(entry.value().length); !status.ok()) return status;
    Status status =
        readDataFromFile(entry.value().offset, buffer.data(), entry.value().length, false);
    if (!status.ok()) return status;
    return entry;
}

// The field index of block `index`, built by one walk unless it is current.
Result<MasterPtrEntry> Database::indexFields(long index) {
    Result<MasterPtrEntry> entry = loadEntry(index);
    if (!entry.ok() || fieldIndex.describes(index, entry.value())) return entry;
    WorkingBuffer block(*this);
    if (Result<MasterPtrEntry> read = readBlock(index, block); !read.ok()) return read;
    if (Status status = fieldIndex.build(index, entry.value(), block.data()); !status.ok())
        return status;
    return entry;
}

Result<Database::FieldPlace> Database::locateField(long index, long field) {
    Result<MasterPtrEntry> entry = indexFields(index);
    if (!entry.ok()) return entry.status();
    if (field < 1 || field > fieldIndex.count()) return Status(kErrorFieldRange);
    return FieldPlace{entry.value().offset + fieldIndex.dataOffset(field),
                      fieldIndex.length(field)};
}

Result<long> Database::getFieldLength(long index, long field) {
    Result<FieldPlace> place = locateField(index, field);
    if (!place.ok()) return place.status();
    return place.value().length;
}

Result<long> Database::getLongFromBlock(long index, long field) {
    Result<FieldPlace> place = locateField(index, field);
    if (!place.ok()) return place.status();
    if (place.value().length != 4) return 0L;
    return readLong(place.value().fileOffset);
}

Result<long> Database::getFieldIntoBuffer(long index, long field, char* buffer, long maxLength) {
    if (maxLength > 0) buffer[0] = '\0';
    Result<FieldPlace> place = locateField(index, field);
    if (!place.ok()) return place.status();
    long copied = std::clamp(place.value().length, 0L, std::max(maxLength, 0L));
    if (Status status = readDataFromFile(place.value().fileOffset, buffer, copied, false);
        !status.ok())
        return status;
    return copied;
}

Result<std::vector<char>> Database::getField(long index, long field) {
    Result<FieldPlace> place = locateField(index, field);
    if (!place.ok()) return place.status();
    std::vector<char> copy;
    try {
        copy.resize(size_t(place.value().length));
    } catch (const std::bad_alloc&) {
        return Status(kErrorOutOfMemory);
    }
    if (Status status =
            readDataFromFile(place.value().fileOffset, copy.data(), long(copy.size()), false);
        !status.ok())
        return status;
    return copy;
}

// In place when the field fits the block's space, or the space can grow
// into what follows it: the field goes after the last one (beyond the
// block's length, where no reader looks), the entry takes it in, and the
// count written last is the commit. Cut short before that, the block keeps
// its old fields and ends in bytes that belong to no field, which the next
// append overwrites. Otherwise the block is rewritten elsewhere with the
// field, with slop in proportion to its length.
Status Database::addFieldToBlock(long index, const char* data, long length) {
    if (length < 0 || length > INT32_MAX / 4) return Status(kErrorBadArgument);
    if (Result<MasterPtrEntry> writable = loadWritableEntry(index); !writable.ok())
        return writable.status();
    Result<MasterPtrEntry> indexed = indexFields(index);
    if (!indexed.ok()) return indexed.status();
    MasterPtrEntry entry = indexed.value();
    long end = fieldIndex.end();
    long grownLength = end + kFieldWordSize + length;
    if (grownLength > INT32_MAX / 2) return Status(kErrorBadArgument);
    long capacity = long(entry.length) + entry.slop;

    WorkingBuffer block(*this);
    if (grownLength > capacity) {
        long extra = grownLength + grownSlop(grownLength) - capacity;
        Result<bool> claimed = claimSpaceAfter(entry, extra);
        if (!claimed.ok()) return claimed.status();
        if (!claimed.value()) {
            if (Status status = block.allocate(grownLength); !status.ok()) return status;
            if (Status status = readDataFromFile(entry.offset, block.data(), end, false);
                !status.ok())
                return status;
            writeField32(block.data(), fieldIndex.count() + 1);
            writeField32(block.data() + end, length);
            std::memcpy(block.data() + end + kFieldWordSize, data, size_t(length));
            fieldIndex.forget();
            return relocateBlock(index, entry, block.data(), grownLength, grownSlop(grownLength));
        }
        capacity += extra;
    }

    if (Status status = block.allocate(kFieldWordSize + length); !status.ok()) return status;
    writeField32(block.data(), length);
    std::memcpy(block.data() + kFieldWordSize, data, size_t(length));
    if (Status status = writeDataToFile(entry.offset + end, block.data(), kFieldWordSize + length);
        !status.ok())
        return status;
    entry.length = int32_t(grownLength);
    entry.slop = int32_t(capacity - grownLength);
    if (Status status = setMPEntry(index, entry); !status.ok()) return status;
    if (Status status = writeLong(entry.offset, fieldIndex.count() + 1); !status.ok())
        return status;
    fieldIndex.append(entry, length);
    return kSuccess;
}

Status Database::deleteFieldFromBlock(long index, long field) {
    WorkingBuffer block(*this);
    Result<MasterPtrEntry> entry = readBlock(index, block);
    if (!entry.ok()) return entry.status();
    long blockLength = entry.value().length;
    long offset = 0;
    long length = 0;
    if (Status status = getFieldInfo(block.data(), blockLength, field, &offset, &length);
        !status.ok())
        return status;
    char* bytes = block.data();
    long tail = blockLength - (offset + length);
    std::memmove(bytes + offset - kFieldWordSize, bytes + offset + length, size_t(tail));
    writeField32(bytes, readField32(bytes) - 1);
    return writeDataToBlock(index, bytes, blockLength - length - kFieldWordSize);
}

Status Database::setFieldOfBlock(long index, long field, const char* data, long length) {
    if (length < 0 || length > INT32_MAX / 2) return Status(kErrorBadArgument);
    WorkingBuffer block(*this);
    Result<MasterPtrEntry> entry = readBlock(index, block);
    if (!entry.ok()) return entry.status();
    long blockLength = entry.value().length;
    long offset = 0;
    long oldLength = 0;
    if (Status status = getFieldInfo(block.data(), blockLength, field, &offset, &oldLength);
        !status.ok())
        return status;
    long newBlockLength = blockLength + length - oldLength;
    long tail = blockLength - (offset + oldLength);

    // A shorter or equal value is rebuilt in place; a longer one in a new
    // buffer that first takes everything before the field.
    WorkingBuffer larger(*this);
    char* target = block.data();
    if (length > oldLength) {
        if (Status status = larger.allocate(newBlockLength); !status.ok()) return status;
        target = larger.data();
        std::memcpy(target, block.data(), size_t(offset));
    }
    std::memmove(target + offset + length, block.data() + offset + oldLength, size_t(tail));
    std::memcpy(target + offset, data, size_t(length));
    writeField32(target + offset - kFieldWordSize, length);
    return writeDataToBlock(index, target, newBlockLength);
}

// ------------------------------------------------------- raw file access

Status Database::writeDataToFile(long offset, const char* data, long length) {
    if (offset < 0 || length < 0) return Status(kErrorBadArgument);
    return file.writeAt(offset, data, length);
}

Status Database::appendDataToFile(const char* data, long length) {
    if (length < 0) return Status(kErrorBadArgument);
    if (fileLength + length > INT32_MAX) return Status(EFBIG);  // offsets are 32-bit
    if (Status status = writeDataToFile(fileLength, data, length); !status.ok()) return status;
    return setFileLength(fileLength + length);
}

Status Database::readDataFromFile(long offset, char* buffer, long length, bool useCache) {
    if (offset < 0 || length < 0) return Status(kErrorBadArgument);
    bool cached = useCache && cachingEnabled;
    if (cached && readFromCache(offset, buffer, length)) return kSuccess;
    long got = file.readAt(offset, buffer, length);
    if (got < 0) return Status(errno);
    if (got < length) return Status(kErrorDamagedFile);
    if (cached) addToCache(offset, buffer, length);
    return kSuccess;
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
