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
    long error = database.openDBFile(path, kModeReadOnly, false);
    if (error == 0) return true;
    std::fprintf(stderr, "okadb: cannot open %s (error %ld); try okadb check\n", path, error);
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
        MasterPtrEntry entry;
        if (database.getMPEntry(k, &entry) != 0) return 1;
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
    while (database.getNextBlockOfType(type, block, &block) == 0) {
        // One read of the block and one pass over its fields.
        long length = 0;
        long count = 0;
        long error = database.getBlockLength(block, &length);
        std::vector<char> data(size_t(std::max(length, 1L)));
        if (error == 0) error = database.readDataFromBlock(block, data.data(), false);
        if (error == 0) error = Database::readFieldCount(data.data(), length, &count);
        long position = kFieldWordSize;
        for (long k = 1; error == 0 && k <= count; ++k) {
            long offset = 0;
            long fieldLength = 0;
            error = Database::stepOverField(data.data(), length, &position, &offset, &fieldLength);
            if (error == 0) printRecord(block, k, data.data() + offset, fieldLength);
        }
        if (error != 0) {
            std::printf("block %ld: records unreadable (error %ld)\n", block, error);
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
    long error = repairDatabaseFile(path, copyPath.c_str(), &notes);
    for (const std::string& note : notes) std::printf("%s: %s\n", path, note.c_str());
    if (error != 0) {
        std::fprintf(stderr, "okadb: no copy of %s written (error %ld)\n", path, error);
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
