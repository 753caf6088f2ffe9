// Structural validation of block database files: open, entry placement, overlaps.
#include "storage/DatabaseCheck.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/ByteOrder.h"
#include "storage/Database.h"

using namespace dbformat;

namespace {

// Bytes that one owner (the header, the list, an entry) holds in the file.
struct Region {
    long start;
    long end;
    std::string owner;
};

std::string describeEntry(long index, const MasterPtrEntry& entry) {
    char text[128];
    std::snprintf(text, sizeof text, "entry %ld ('%s', offset %d, length %d, slop %d)", index,
                  printableType(entry.type).c_str(), entry.offset, entry.length, entry.slop);
    return text;
}

std::string openFailure(long error) {
    switch (error) {
        case kErrorDamagedFile:
            return "the header or the master pointer list does not fit in the file";
        case kErrorFileMissing:
            return "the file does not exist";
        default:
            return "cannot open the file (error " + std::to_string(error) + ")";
    }
}

}  // namespace

std::string printableType(TypeCode type) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = char((type >> shift) & 0xFF);
        text += (c >= ' ' && c <= '~') ? c : '?';
    }
    return text;
}

bool checkDatabaseFile(const char* path, std::vector<std::string>* problems) {
    size_t before = problems->size();
    Database database;
    long error = database.openDBFile(path, kModeReadOnly, false);
    if (error != 0) {
        problems->push_back(openFailure(error));
        return false;
    }

    char versionBytes[2];
    std::FILE* raw = std::fopen(path, "rb");
    if (raw != nullptr && std::fseek(raw, kFormatVersionOffset, SEEK_SET) == 0 &&
        std::fread(versionBytes, 1, 2, raw) == 2 &&
        short(getBigEndian16(reinterpret_cast<uint8_t*>(versionBytes))) != kFormatVersion)
        problems->push_back("format version is not 1");
    if (raw != nullptr) std::fclose(raw);

    long fileLength = database.getFileLength();
    long listOffset = database.getMPOffset();
    std::vector<Region> regions = {
        {0, kHeaderSize, "the header"},
        {listOffset, listOffset + kListHeaderSize + database.getMPSlots() * kEntrySize,
         "the master pointer list"},
    };
    for (long k = 1; k <= database.getMPEntries(); ++k) {
        MasterPtrEntry entry;
        if (long readError = database.getMPEntry(k, &entry)) {
            problems->push_back("entry " + std::to_string(k) + " cannot be read (error " +
                                std::to_string(readError) + ")");
            continue;
        }
        if (entry.type == kBlankType) continue;
        long start = entry.offset;
        long end = start + long(entry.length) + entry.slop;
        if (entry.length < 0 || entry.slop < 0 || start < kHeaderSize || end > fileLength) {
            problems->push_back(describeEntry(k, entry) + " lies outside the file");
            continue;
        }
        if (end > start) regions.push_back({start, end, describeEntry(k, entry)});
    }

    std::sort(regions.begin(), regions.end(),
              [](const Region& a, const Region& b) { return a.start < b.start; });
    size_t reach = 0;  // the region that ends furthest so far
    for (size_t i = 1; i < regions.size(); ++i) {
        if (regions[i].start < regions[reach].end)
            problems->push_back(regions[i].owner + " overlaps " + regions[reach].owner);
        if (regions[i].end > regions[reach].end) reach = i;
    }
    return problems->size() == before;
}
