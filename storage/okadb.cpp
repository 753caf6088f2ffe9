// okadb: looks inside block database files (preferences and project files)
// without changing them.
//   okadb info FILE            header, list counts, free space, blocks by type
//   okadb records FILE TYPE    every record (field) of the blocks of one type
//   okadb check FILE           structural validation; one line per problem
//   okadb check --repair FILE  the problems, then a sound copy of what can
//                              be saved written to FILE.repaired
// Exit status: 0 success (a sound file for check, a copy written for
// repair), 1 failure or problems, 2 wrong usage.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/ByteOrder.h"
#include "core/ProgramOptions.h"
#include "storage/Database.h"
#include "storage/DatabaseCheck.h"

using namespace dbformat;

namespace {

constexpr const char* kUsage =
    "Usage: okadb info FILE\n"
    "       okadb records FILE TYPE\n"
    "       okadb check FILE\n"
    "       okadb check --repair FILE\n"
    "\n"
    "Looks inside the OKA's block database files: the preferences (~/.oka/) and\n"
    "project files. Only --repair writes, and then only FILE.repaired.\n"
    "\n"
    "  info FILE            header, list counts, free space, blocks by type\n"
    "  records FILE TYPE    every record of the blocks of one four-character type\n"
    "  check FILE           structural validation; one line per problem\n"
    "  check --repair FILE  the problems, then a sound copy of what can be saved\n"
    "                       written to FILE.repaired\n"
    "  --help               show this text\n"
    "  --version            show the version\n"
    "\n"
    "Exit status: 0 success (a sound file for check, a copy written for repair),\n"
    "1 failure or problems, 2 wrong usage.\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

// Opens read-only without the in-use check, so nothing is written.
bool openForReading(Database& database, const char* path) {
    Status opened = database.openDBFile(path, kModeReadOnly, false);
    if (opened.ok()) return true;
    std::fprintf(stderr, "okadb: cannot open %s (error %d); try okadb check\n", path,
                 int(opened.code()));
    return false;
}

// The header fields that Database keeps to itself: type, versions, flags.
bool readHeader(const char* path, uint8_t* header) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    bool complete = std::fread(header, 1, kHeaderSize, file) == size_t(kHeaderSize);
    std::fclose(file);
    return complete;
}

struct TypeTotals {
    long blocks = 0;
    long used = 0;
    long slop = 0;
};

int showInfo(const char* path) {
    Database database;
    uint8_t header[kHeaderSize];
    if (!openForReading(database, path) || !readHeader(path, header)) return 1;
    std::printf("file type       '%s'\n",
                printableType(getBigEndian32(header + kTypeOffset)).c_str());
    std::printf("format version  %d\n", short(getBigEndian16(header + kFormatVersionOffset)));
    std::printf("data version    %d\n", short(getBigEndian16(header + kDataVersionOffset)));
    std::printf("flags           0x%08x%s\n", getBigEndian32(header + kFlagsOffset),
                (getBigEndian32(header + kFlagsOffset) & kInUseFlag) ? " (in use)" : "");
    std::printf("list offset     %ld\n", database.getMPOffset());
    std::printf("file length     %ld\n", database.getFileLength());
    std::printf("entries         %ld\n", database.getMPEntries());
    std::printf("slots           %ld\n", database.getMPSlots());

    std::map<std::string, TypeTotals> byType;
    TypeTotals free;
    for (long k = 1; k <= database.getMPEntries(); ++k) {
        Result<MasterPtrEntry> found = database.getMPEntry(k);
        if (!found.ok()) return 1;
        const MasterPtrEntry& entry = found.value();
        TypeTotals& totals = entry.type == kFreeType ? free : byType[printableType(entry.type)];
        ++totals.blocks;
        totals.used += entry.length;
        totals.slop += entry.slop;
    }
    std::printf("free space      %ld bytes in %ld records\n", free.used, free.blocks);
    std::printf("blocks by type:\n");
    for (const auto& [type, totals] : byType)
        std::printf("  '%s'  %ld blocks, %ld bytes, %ld slop\n", type.c_str(), totals.blocks,
                    totals.used, totals.slop);
    return 0;
}

// Text when the record is a NUL-terminated string of printable characters.
bool isPrintableText(const char* data, long length) {
    if (length < 1 || data[length - 1] != '\0') return false;
    for (long i = 0; i + 1 < length; ++i) {
        unsigned char c = static_cast<unsigned char>(data[i]);
        if (c < ' ' && c != '\t' && c != '\n') return false;
        if (c == 0x7F) return false;
    }
    return true;
}

void printRecord(long block, long record, const char* data, long length) {
    std::printf("block %ld record %ld (%ld bytes): ", block, record, length);
    if (isPrintableText(data, length)) {
        std::printf("\"%s\"\n", data);
        return;
    }
    for (long i = 0; i < length; ++i) std::printf("%02x", static_cast<unsigned char>(data[i]));
    std::printf("\n");
}

// One read of the block and one pass over its fields.
Status printBlockRecords(Database& database, long block) {
    Result<long> length = database.getBlockLength(block);
    if (!length.ok()) return length.status();
    std::vector<char> data(size_t(std::max(length.value(), 1L)));
    if (Status status = database.readDataFromBlock(block, data.data(), length.value(), false);
        !status.ok())
        return status;
    Result<long> count = Database::readFieldCount(data.data(), length.value());
    if (!count.ok()) return count.status();
    long position = kFieldWordSize;
    for (long k = 1; k <= count.value(); ++k) {
        long offset = 0;
        long fieldLength = 0;
        if (Status status = Database::stepOverField(data.data(), length.value(), &position, &offset,
                                                    &fieldLength);
            !status.ok())
            return status;
        printRecord(block, k, data.data() + offset, fieldLength);
    }
    return kSuccess;
}

int showRecords(const char* path, const char* typeText) {
    if (std::strlen(typeText) != 4) {
        std::fprintf(stderr, "okadb: a type has exactly four characters: '%s'\n", typeText);
        return 2;
    }
    Database database;
    if (!openForReading(database, path)) return 1;
    TypeCode type = typeCodeFromBytes(typeText);
    int status = 0;
    long block = 0;
    for (Result<long> next = database.getNextBlockOfType(type, block); next.ok();
         next = database.getNextBlockOfType(type, block)) {
        block = next.value();
        Status read = printBlockRecords(database, block);
        if (!read.ok()) {
            std::printf("block %ld: records unreadable (error %d)\n", block, int(read.code()));
            status = 1;
        }
    }
    return status;
}

int checkFile(const char* path) {
    std::vector<std::string> problems;
    bool sound = checkDatabaseFile(path, &problems);
    for (const std::string& problem : problems) std::printf("%s: %s\n", path, problem.c_str());
    return sound ? 0 : 1;
}

int repairFile(const char* path) {
    checkFile(path);
    std::string copyPath = std::string(path) + ".repaired";
    std::vector<std::string> notes;
    Status repaired = repairDatabaseFile(path, copyPath.c_str(), &notes);
    for (const std::string& note : notes) std::printf("%s: %s\n", path, note.c_str());
    if (!repaired.ok()) {
        std::fprintf(stderr, "okadb: no copy of %s written (error %d)\n", path,
                     int(repaired.code()));
        return 1;
    }
    std::printf("wrote %s\n", copyPath.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (answerHelpOrVersion(argc, argv, "okadb", kUsage)) return 0;
    if (argc == 3 && std::strcmp(argv[1], "info") == 0) return showInfo(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "records") == 0) return showRecords(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "check") == 0) return checkFile(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "check") == 0 && std::strcmp(argv[2], "--repair") == 0)
        return repairFile(argv[3]);
    return usage();
}
