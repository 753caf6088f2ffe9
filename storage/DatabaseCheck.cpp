// Structural validation and repair of block database files, from the bytes.
#include "storage/DatabaseCheck.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "core/ByteOrder.h"
#include "storage/Database.h"

using namespace dbformat;

namespace {

// The header and the list of a file read whole, or why they cannot be used.
struct Layout {
    std::string bytes;
    TypeCode type = 0;
    short formatVersion = 0;
    short dataVersion = 0;
    long listOffset = 0;
    long fileLength = 0;
    long slots = 0;
    std::vector<MasterPtrEntry> entries;  // entry k at index k - 1
    std::string unreadable;               // empty when the list could be read
};

long word32(const std::string& bytes, long offset) {
    return int32_t(getBigEndian32(reinterpret_cast<const uint8_t*>(bytes.data() + offset)));
}

Layout readLayout(const char* path) {
    Layout layout;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        layout.unreadable = "cannot read the file";
        return layout;
    }
    layout.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const std::string& bytes = layout.bytes;
    const long size = long(bytes.size());
    if (size < kHeaderSize) {
        layout.unreadable = "the file is shorter than its header";
        return layout;
    }
    const auto* header = reinterpret_cast<const uint8_t*>(bytes.data());
    layout.type = getBigEndian32(header + kTypeOffset);
    layout.formatVersion = short(getBigEndian16(header + kFormatVersionOffset));
    layout.dataVersion = short(getBigEndian16(header + kDataVersionOffset));
    layout.listOffset = word32(bytes, kListOffsetOffset);
    layout.fileLength = word32(bytes, kFileLengthOffset);
    if (layout.fileLength < kHeaderSize || layout.fileLength > size) {
        layout.unreadable = "the file length in the header lies outside the file";
        return layout;
    }
    if (layout.listOffset < kHeaderSize ||
        layout.listOffset > layout.fileLength - kListHeaderSize) {
        layout.unreadable = "the master pointer list lies outside the file";
        return layout;
    }
    long used = word32(bytes, layout.listOffset);
    layout.slots = word32(bytes, layout.listOffset + 4);
    if (layout.slots < 0 || used < 0 || used > layout.slots ||
        layout.slots > (layout.fileLength - layout.listOffset - kListHeaderSize) / kEntrySize) {
        layout.unreadable = "the master pointer list's counts do not fit in the file";
        return layout;
    }
    for (long k = 1; k <= used; ++k)
        layout.entries.push_back(decodeEntry(
            reinterpret_cast<const uint8_t*>(bytes.data() + entryOffset(layout.listOffset, k))));
    return layout;
}

std::string describeEntry(long index, const MasterPtrEntry& entry) {
    char text[128];
    std::snprintf(text, sizeof text, "entry %ld ('%s', offset %d, length %d, slop %d)", index,
                  printableType(entry.type).c_str(), entry.offset, entry.length, entry.slop);
    return text;
}

long spanEnd(const MasterPtrEntry& entry) {
    return long(entry.offset) + entry.length + entry.slop;
}

bool insideFile(const Layout& layout, const MasterPtrEntry& entry) {
    return entry.length >= 0 && entry.slop >= 0 && entry.offset >= kHeaderSize &&
           spanEnd(entry) <= layout.fileLength;
}

bool isBlock(const MasterPtrEntry& entry) {
    return entry.type != kFreeType && entry.type != kBlankType;
}

// Bytes claimed so far, to find the first claim that takes bytes another holds.
class Claims {
  public:
    // False, with the holder, when [start, end) meets bytes already claimed.
    bool claim(long start, long end, const std::string& owner, std::string* holder) {
        if (end <= start) return true;
        auto next = spans.lower_bound(start);
        if (next != spans.end() && next->first < end) {
            *holder = next->second.owner;
            return false;
        }
        if (next != spans.begin() && std::prev(next)->second.end > start) {
            *holder = std::prev(next)->second.owner;
            return false;
        }
        spans[start] = {end, owner};
        return true;
    }

  private:
    struct Span {
        long end;
        std::string owner;
    };
    std::map<long, Span> spans;  // start -> end and owner
};

// The number of whole fields of a field block that lie inside it, and
// whether its count claims more.
struct FieldFit {
    long count = 0;  // what the block's count word says
    long whole = 0;  // fields that fit, in order
    long end = 0;    // offset in the block after the last whole field
    bool sound() const { return whole == count; }
};

// A block too short for a count holds raw bytes, not fields.
FieldFit fitFields(const char* block, long length) {
    FieldFit fit;
    if (length < kFieldWordSize) return fit;
    fit.end = kFieldWordSize;
    fit.count = int32_t(getBigEndian32(reinterpret_cast<const uint8_t*>(block)));
    long position = kFieldWordSize;
    for (long k = 1; k <= fit.count; ++k) {
        long offset = 0;
        long fieldLength = 0;
        if (!Database::stepOverField(block, length, &position, &offset, &fieldLength).ok()) break;
        fit.whole = k;
        fit.end = position;
    }
    return fit;
}

// Walks the list in order, as check and repair both do: calls `keep` with
// each block that lies inside the file clear of everything before it, and
// `drop` with a line for every entry that does not.
template <typename Keep, typename Drop>
void walkEntries(const Layout& layout, Keep keep, Drop drop) {
    Claims claims;
    std::string holder;
    claims.claim(0, kHeaderSize, "the header", &holder);
    claims.claim(layout.listOffset, layout.listOffset + kListHeaderSize + layout.slots * kEntrySize,
                 "the master pointer list", &holder);
    std::set<TypeCode> typesSeen;
    for (long k = 1; k <= long(layout.entries.size()); ++k) {
        const MasterPtrEntry& entry = layout.entries[size_t(k - 1)];
        if (entry.type == kBlankType) continue;
        if (!insideFile(layout, entry)) {
            drop(describeEntry(k, entry) + " lies outside the file");
            continue;
        }
        if (!claims.claim(entry.offset, spanEnd(entry), describeEntry(k, entry), &holder)) {
            drop(describeEntry(k, entry) + " overlaps " + holder);
            continue;
        }
        if (!isBlock(entry)) continue;
        bool firstOfType = typesSeen.insert(entry.type).second;
        keep(k, entry, firstOfType);
    }
}

// A line for a field block whose count claims more fields than fit.
std::string describeFieldDamage(long index, const MasterPtrEntry& entry, const FieldFit& fit) {
    return describeEntry(index, entry) + ": the count claims " + std::to_string(fit.count) +
           " fields, the block holds " + std::to_string(fit.whole);
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
    Layout layout = readLayout(path);
    if (!layout.unreadable.empty()) {
        problems->push_back(layout.unreadable);
        return false;
    }
    if (layout.formatVersion != kFormatVersion) problems->push_back("format version is not 1");
    if (long(layout.bytes.size()) < layout.fileLength)
        problems->push_back("the file is shorter than its file length");
    auto keep = [&](long index, const MasterPtrEntry& entry, bool firstOfType) {
        if (!firstOfType) return;
        FieldFit fit = fitFields(layout.bytes.data() + entry.offset, entry.length);
        if (!fit.sound()) problems->push_back(describeFieldDamage(index, entry, fit));
    };
    walkEntries(layout, keep, [&](const std::string& line) { problems->push_back(line); });
    return problems->size() == before;
}

Status repairDatabaseFile(const char* path, const char* copyPath, std::vector<std::string>* notes) {
    Layout layout = readLayout(path);
    if (!layout.unreadable.empty()) {
        notes->push_back(layout.unreadable + ": nothing can be saved");
        return Status(kErrorDamagedFile);
    }
    Database copy;
    if (Status status = copy.createDBFile(copyPath, layout.type, layout.dataVersion); !status.ok())
        return status;
    if (Status status = copy.openDBFile(copyPath, kModeReadWrite, false); !status.ok())
        return status;
    Status failure;
    auto keep = [&](long index, const MasterPtrEntry& entry, bool firstOfType) {
        std::string data = layout.bytes.substr(size_t(entry.offset), size_t(entry.length));
        if (firstOfType) {
            FieldFit fit = fitFields(data.data(), entry.length);
            if (!fit.sound()) {
                notes->push_back(describeFieldDamage(index, entry, fit) + ": kept " +
                                 std::to_string(fit.whole));
                putBigEndian32(reinterpret_cast<uint8_t*>(data.data()), uint32_t(fit.whole));
                data.resize(size_t(fit.end));
            }
        }
        if (failure.ok())
            failure =
                copy.addBlock(entry.type, data.data(), long(data.size()), entry.slop).status();
    };
    walkEntries(layout, keep,
                [&](const std::string& line) { notes->push_back(line + ": left out"); });
    Status closed = copy.closeDBFile();
    return failure.ok() ? closed : failure;
}
