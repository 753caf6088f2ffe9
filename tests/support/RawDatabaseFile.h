// Reads a block database file (preferences and project files) from its
// documented byte layout alone, without the storage library, so that tests
// can cross-check what Database writes and what a program left on disk.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Signed big-endian words at `offset`; -1 when they reach past the end.
long rawWord32(const std::string& bytes, long offset);
long rawWord16(const std::string& bytes, long offset);

// One entry of the master pointer list.
struct RawEntry {
    std::string type;
    long length = 0;
    long slop = 0;
    long offset = 0;
};

struct RawDatabaseFile {
    std::string bytes;
    std::string type;
    long formatVersion = 0;
    long dataVersion = 0;
    long flags = 0;
    long listOffset = 0;
    long fileLength = 0;
    long slots = 0;
    std::vector<RawEntry> entries;  // the entries in use, in list order
    // Empty when the header, the list and every block lie where the layout
    // allows (inside the file length, after the header, none overlapping),
    // else the first problem found.
    std::string problem;
};

RawDatabaseFile readRawDatabaseFile(std::string bytes);

// The records of the first block of `type`, read as a field block (a count,
// then length-prefixed fields). False, with the reason, when the block is
// missing or its fields overrun it.
bool readRawRecords(const RawDatabaseFile& file, const std::string& type,
                    std::vector<std::string>* records, std::string* problem);

// The records of `type` in the file at `path` as readRawRecords reads them;
// none when the block is missing or overruns.
std::vector<std::string> rawRecordsInFile(const std::filesystem::path& path,
                                          const std::string& type);
// A fixed-size text record's text, up to its terminator.
std::string recordText(const std::string& record);
