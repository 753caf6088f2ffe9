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

long Database::createDBFile(const char* path, TypeCode fileType, short version) {
    if (isOpen()) closeDBFile();
    long error = openDescriptor(path, kModeReadWrite);
    if (error != 0) return error;

    // A file too short to hold flags cannot be in use; it only needs the bit.
    long size = sizeOnDisk();
    error = size >= kHeaderSize ? checkAndMarkInUse() : writeLong(kFlagsOffset, kInUseFlag);

    uint8_t head[kFlagsOffset];
    putBigEndian32(head + kTypeOffset, fileType);
    putBigEndian16(head + kFormatVersionOffset, uint16_t(kFormatVersion));
    putBigEndian16(head + kDataVersionOffset, uint16_t(version));
    if (error == 0) error = file.writeAt(0, head, sizeof head);
    if (error == 0) error = setMPOffset(kHeaderSize);
    if (error == 0) error = setFileLength(kHeaderSize);

    std::vector<uint8_t> list(size_t(kListHeaderSize + kInitialSlots * kEntrySize));
    putBigEndian32(list.data(), 0);
    putBigEndian32(list.data() + 4, uint32_t(kInitialSlots));
    fillBlankEntries(list.data() + kListHeaderSize, kInitialSlots);
    if (error == 0) error = appendDataToFile(reinterpret_cast<char*>(list.data()), long(list.size()));

    if (error == 0) return closeDBFile();
    abandonFile();
    std::remove(path);
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
    windowStart = 0;
    return writeDataToFile(entryOffset(listOffset, index), reinterpret_cast<char*>(bytes),
                           kEntrySize);
}

long Database::growMPList(long extraSlots) {
    long oldSize = slots * kEntrySize + kListHeaderSize;
    long newSize = oldSize + extraSlots * kEntrySize;
    WorkingBuffer list(*this);
    if (long error = list.allocate(newSize)) return error;
    uint8_t* added = reinterpret_cast<uint8_t*>(list.data()) + oldSize;
    fillBlankEntries(added, extraSlots);

    if (listOffset + oldSize == fileLength) {
        if (long error = appendDataToFile(reinterpret_cast<char*>(added), extraSlots * kEntrySize))
            return error;
        return setMPSlots(slots + extraSlots);
    }

    // The list is not at the end: copy it there with room to spare, and
    // record its old place as free space.
    long oldOffset = listOffset;
    long oldSlots = slots;
    if (long error = readDataFromFile(oldOffset, list.data(), oldSize, false)) return error;
    long newOffset = fileLength;
    if (long error = appendDataToFile(list.data(), newSize)) return error;
    if (long error = setMPOffset(newOffset)) return error;
    if (long error = setMPSlots(slots + extraSlots)) return error;
    if (long error = addFreeRecord(oldOffset, oldSize)) return error;
    OKA_LOG("Moved master ptr list from %ld to %ld", oldOffset, newOffset);
    OKA_LOG("oldSlots = %ld, newSlots = %ld", oldSlots, slots);
    OKA_LOG("oldMPSize = %ld, newMPSize = %ld", oldSize, newSize);
    return 0;
}

// Appends a 'FREE' entry; the caller has made sure a slot is available.
long Database::addFreeRecord(long offset, long length) {
    if (long error = setMPEntries(entries + 1)) return error;
    MasterPtrEntry free{kFreeType, int32_t(length), 0, int32_t(offset)};
    return setMPEntry(entries, &free);
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

long Database::locateSmallFreeEntry() {
    MasterPtrEntry entry;
    for (long k = 1; k <= entries; ++k) {
        if (long error = getMPEntry(k, &entry)) return error;
        if (entry.type == kFreeType && entry.length < kSmallFreeRecord) return k;
    }
    return -1;
}

long Database::grabFreeSpace(long length) {
    MasterPtrEntry entry;
    for (long k = 1; k <= entries; ++k) {
        if (long error = getMPEntry(k, &entry)) return error;
        if (entry.type != kFreeType || entry.length < length) continue;
        if (long error = loadEntry(k, &entry)) return error;
        long place = entry.offset;
        entry.offset = int32_t(entry.offset + length);
        entry.length = int32_t(entry.length - length);
        if (long error = setMPEntry(k, &entry)) return error;
        return place;
    }
    return 0;
}

long Database::addBlock(TypeCode type, long length, long slop, long* index) {
    if (length < 0 || slop < 0 || length + slop > INT32_MAX) return kErrorBadArgument;
    long total = length + slop;
    long reused = locateSmallFreeEntry();
    if (reused < -1) return reused;
    if (reused == -1 && entries == slots) {
        if (long error = growMPList(kGrowthSlots)) return error;
    }

    WorkingBuffer content(*this);
    if (long error = content.allocateZeroed(total)) return error;
    long offset = grabFreeSpace(total);
    if (offset < 0) return offset;
    if (offset > 0) {
        if (long error = writeDataToFile(offset, content.data(), total)) return error;
    } else {
        offset = fileLength;
        if (long error = appendDataToFile(content.data(), total)) return error;
    }

    long number = reused > 0 ? reused : entries + 1;
    if (reused < 0) {
        if (long error = setMPEntries(number)) return error;
    }
    MasterPtrEntry entry{type, int32_t(length), int32_t(slop), int32_t(offset)};
    if (long error = setMPEntry(number, &entry)) return error;
    *index = number;
    return 0;
}

long Database::deleteBlock(long index) {
    MasterPtrEntry entry;
    if (long error = loadWritableEntry(index, &entry)) return error;
    entry.type = kFreeType;
    entry.length += entry.slop;
    entry.slop = 0;
    return setMPEntry(index, &entry);
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

long Database::writeDataToBlock(long index, const char* data, long length) {
    if (length < 0 || length > INT32_MAX - kMovedBlockSlop) return kErrorBadArgument;
    MasterPtrEntry entry;
    if (long error = loadWritableEntry(index, &entry)) return error;
    if (length <= long(entry.length) + entry.slop) {
        entry.slop = int32_t(entry.slop + entry.length - length);
        entry.length = int32_t(length);
        if (long error = writeDataToFile(entry.offset, data, length)) return error;
        return setMPEntry(index, &entry);
    }

    // Too big for its place: the old bytes become free space and the block
    // moves, with slop so that it can grow a little in place next time.
    if (entries == slots) {
        if (long error = growMPList(kGrowthSlots)) return error;
    }
    if (long error = addFreeRecord(entry.offset, long(entry.length) + entry.slop)) return error;
    entry.length = int32_t(length);
    entry.slop = int32_t(kMovedBlockSlop);
    long place = grabFreeSpace(length + kMovedBlockSlop);
    if (place < 0) return place;
    if (place > 0) {
        if (long error = writeDataToFile(place, data, length)) return error;
    } else {
        place = fileLength;
        WorkingBuffer slop(*this);
        if (long error = slop.allocateZeroed(kMovedBlockSlop)) return error;
        if (long error = appendDataToFile(data, length)) return error;
        if (long error = appendDataToFile(slop.data(), kMovedBlockSlop)) return error;
    }
    entry.offset = int32_t(place);
    return setMPEntry(index, &entry);
}

// ---------------------------------------------------------------- fields

long Database::initBlockForFields(long index) {
    char count[kFieldWordSize];
    writeField32(count, 0);
    return writeDataToBlock(index, count, kFieldWordSize);
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

// Reads the block and finds one of its fields.
long Database::locateField(long index, long field, WorkingBuffer& block, long* offset,
                           long* length) {
    MasterPtrEntry entry;
    if (long error = readBlock(index, block, &entry)) return error;
    return getFieldInfo(block.data(), entry.length, field, offset, length);
}

long Database::getFieldLength(long index, long field, long* length) {
    WorkingBuffer block(*this);
    long offset = 0;
    return locateField(index, field, block, &offset, length);
}

long Database::getLongFromBlock(long index, long field, long* value) {
    *value = 0;
    WorkingBuffer block(*this);
    long offset = 0;
    long length = 0;
    if (long error = locateField(index, field, block, &offset, &length)) return error;
    if (length == 4) *value = readField32(block.data() + offset);
    return 0;
}

long Database::getFieldIntoBuffer(long index, long field, char* buffer, long* length,
                                  long maxLength) {
    if (maxLength > 0) buffer[0] = '\0';
    *length = 0;
    WorkingBuffer block(*this);
    long offset = 0;
    long fieldLength = 0;
    if (long error = locateField(index, field, block, &offset, &fieldLength)) return error;
    long copied = std::clamp(fieldLength, 0L, std::max(maxLength, 0L));
    if (copied > 0) std::memcpy(buffer, block.data() + offset, size_t(copied));
    *length = copied;
    return 0;
}

long Database::getField(long index, long field, char** data, long* length) {
    *data = nullptr;
    *length = 0;
    WorkingBuffer block(*this);
    long offset = 0;
    long fieldLength = 0;
    if (long error = locateField(index, field, block, &offset, &fieldLength)) return error;
    char* copy = new (std::nothrow) char[size_t(std::max(fieldLength, 1L))];
    if (copy == nullptr) return kErrorOutOfMemory;
    std::memcpy(copy, block.data() + offset, size_t(fieldLength));
    *data = copy;
    *length = fieldLength;
    return 0;
}

long Database::addFieldToBlock(long index, const char* data, long length) {
    if (length < 0 || length > INT32_MAX / 2) return kErrorBadArgument;
    MasterPtrEntry entry;
    if (long error = loadWritableEntry(index, &entry)) return error;
    long count = 0;
    if (long error = countFieldsInBlock(index, &count)) return error;
    long grownLength = entry.length + kFieldWordSize + length;
    if (grownLength > INT32_MAX - kMovedBlockSlop) return kErrorBadArgument;

    if (kFieldWordSize + length <= entry.slop) {
        // Room in the slop: write only the new field and the count instead
        // of rewriting the whole block.
        char word[kFieldWordSize];
        writeField32(word, length);
        long end = long(entry.offset) + entry.length;
        if (long error = writeDataToFile(end, word, kFieldWordSize)) return error;
        if (long error = writeDataToFile(end + kFieldWordSize, data, length)) return error;
        if (long error = writeLong(entry.offset, count + 1)) return error;
        entry.slop = int32_t(entry.slop - (grownLength - entry.length));
        entry.length = int32_t(grownLength);
        return setMPEntry(index, &entry);
    }

    WorkingBuffer block(*this);
    if (long error = block.allocate(grownLength)) return error;
    if (long error = readDataFromFile(entry.offset, block.data(), entry.length, false)) return error;
    writeField32(block.data(), count + 1);
    writeField32(block.data() + entry.length, length);
    std::memcpy(block.data() + entry.length + kFieldWordSize, data, size_t(length));
    return writeDataToBlock(index, block.data(), grownLength);
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
        formatPath(name, "dblog.%d", number);
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
