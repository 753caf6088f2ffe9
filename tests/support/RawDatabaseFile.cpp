// The independent reader of database files: bounds-checked big-endian words,
// header, list and entry placement, and field blocks.
#include "RawDatabaseFile.h"

#include <algorithm>
#include <utility>

#include "TestSupport.h"

namespace {

constexpr long kHeaderSize = 20;
constexpr long kListHeaderSize = 8;
constexpr long kEntrySize = 16;

std::string describe(const std::string& what, long value) {
    return what + ": " + std::to_string(value);
}

// Header, list header and entries; an empty string when they hold.
std::string readStructure(RawDatabaseFile& file) {
    const std::string& bytes = file.bytes;
    const long size = long(bytes.size());
    if (size < kHeaderSize) return describe("file shorter than the header", size);
    file.type = bytes.substr(0, 4);
    file.formatVersion = rawWord16(bytes, 4);
    file.dataVersion = rawWord16(bytes, 6);
    file.flags = rawWord32(bytes, 8);
    file.listOffset = rawWord32(bytes, 12);
    file.fileLength = rawWord32(bytes, 16);
    if (file.formatVersion != 1) return describe("format version", file.formatVersion);
    if (file.fileLength < kHeaderSize || file.fileLength > size)
        return describe("file length outside the file", file.fileLength);
    if (file.listOffset < kHeaderSize || file.listOffset > file.fileLength - kListHeaderSize)
        return describe("list offset outside the file", file.listOffset);
    long used = rawWord32(bytes, file.listOffset);
    file.slots = rawWord32(bytes, file.listOffset + 4);
    if (used < 0 || used > file.slots) return describe("entries in use", used);
    if (file.slots > (file.fileLength - file.listOffset - kListHeaderSize) / kEntrySize)
        return describe("list slots beyond the file length", file.slots);
    for (long k = 0; k < used; ++k) {
        long at = file.listOffset + kListHeaderSize + k * kEntrySize;
        RawEntry entry{bytes.substr(size_t(at), 4), rawWord32(bytes, at + 4),
                       rawWord32(bytes, at + 8), rawWord32(bytes, at + 12)};
        if (entry.length < 0 || entry.slop < 0 || entry.offset < kHeaderSize ||
            entry.length + entry.slop > file.fileLength - entry.offset)
            return describe(
                "entry " + std::to_string(k + 1) + " '" + entry.type + "' outside the file, offset",
                entry.offset);
        file.entries.push_back(entry);
    }
    return "";
}

// Blocks, free records and the list never share a byte.
std::string findOverlap(const RawDatabaseFile& file) {
    std::vector<std::pair<long, long>> spans = {
        {file.listOffset, file.listOffset + kListHeaderSize + file.slots * kEntrySize}};
    for (const RawEntry& entry : file.entries)
        if (entry.length + entry.slop > 0)
            spans.push_back({entry.offset, entry.offset + entry.length + entry.slop});
    std::sort(spans.begin(), spans.end());
    long reach = spans[0].second;  // the furthest end so far
    for (size_t k = 1; k < spans.size(); ++k) {
        if (spans[k].first < reach) return describe("overlapping space at offset", spans[k].first);
        reach = std::max(reach, spans[k].second);
    }
    return "";
}

}  // namespace

long rawWord32(const std::string& bytes, long offset) {
    if (offset < 0 || offset + 4 > long(bytes.size())) return -1;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + offset);
    unsigned long value =
        (unsigned long)p[0] << 24 | (unsigned long)p[1] << 16 | (unsigned long)p[2] << 8 | p[3];
    return value >= 0x80000000ul ? long(value) - 0x100000000l : long(value);
}

long rawWord16(const std::string& bytes, long offset) {
    if (offset < 0 || offset + 2 > long(bytes.size())) return -1;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + offset);
    long value = long(p[0]) << 8 | p[1];
    return value >= 0x8000 ? value - 0x10000 : value;
}

RawDatabaseFile readRawDatabaseFile(std::string bytes) {
    RawDatabaseFile file;
    file.bytes = std::move(bytes);
    file.problem = readStructure(file);
    if (file.problem.empty()) file.problem = findOverlap(file);
    return file;
}

bool readRawRecords(const RawDatabaseFile& file, const std::string& type,
                    std::vector<std::string>* records, std::string* problem) {
    records->clear();
    auto block = std::find_if(file.entries.begin(), file.entries.end(),
                              [&](const RawEntry& entry) { return entry.type == type; });
    if (block == file.entries.end()) {
        *problem = "no block of type '" + type + "'";
        return false;
    }
    const long end = block->offset + block->length;
    long count = rawWord32(file.bytes, block->offset);
    if (block->length < 4 || count < 0) {
        *problem = describe("field count of '" + type + "'", count);
        return false;
    }
    long position = block->offset + 4;
    for (long k = 1; k <= count; ++k) {
        long length = position + 4 <= end ? rawWord32(file.bytes, position) : -1;
        if (length < 0 || length > end - position - 4) {
            *problem =
                describe("field " + std::to_string(k) + " of '" + type + "' overruns", length);
            return false;
        }
        records->push_back(file.bytes.substr(size_t(position + 4), size_t(length)));
        position += 4 + length;
    }
    return true;
}

std::vector<std::string> rawRecordsInFile(const std::filesystem::path& path,
                                          const std::string& type) {
    std::vector<std::string> records;
    std::string problem;
    RawDatabaseFile file = readRawDatabaseFile(readFile(path));
    if (!readRawRecords(file, type, &records, &problem)) records.clear();
    return records;
}

std::string recordText(const std::string& record) {
    return record.substr(0, record.find('\0'));
}
