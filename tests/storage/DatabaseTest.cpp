// Database: file layout against the raw bytes, block placement, fields, the in-use bit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "RawDatabaseFile.h"
#include "TestSupport.h"
#include "storage/Database.h"

namespace {

constexpr TypeCode kTestType = typeCode("TEST");
constexpr long kFree = long(typeCode("FREE"));

class DatabaseTest : public ::testing::Test {
  protected:
    // Creates a fresh file and opens it read-write with the in-use check.
    void createAndOpen() {
        ASSERT_EQ(database.createDBFile(path.c_str(), kTestType, 7).code(), 0);
        ASSERT_EQ(database.openDBFile(path.c_str(), kModeReadWrite, true).code(), 0);
    }

    long addBlock(long length, long slop, TypeCode type = kTestType) {
        Result<long> index = database.addBlock(type, length, slop);
        EXPECT_TRUE(index.ok());
        return index.valueOr(0);
    }

    MasterPtrEntry entry(long index) {
        Result<MasterPtrEntry> found = database.getMPEntry(index);
        EXPECT_TRUE(found.ok());
        return found.valueOr({});
    }
    // An entry's type, length, slop and offset, to compare as one value.
    std::vector<long> fields(long index) {
        MasterPtrEntry e = entry(index);
        return {long(e.type), e.length, e.slop, e.offset};
    }

    // The file's bytes, read without Database.
    std::string raw() const { return readFile(path); }
    long raw32(long offset) const { return rawWord32(raw(), offset); }

    std::string readBlock(long index) {
        std::string data(size_t(database.getBlockLength(index).valueOr(0)), '\0');
        EXPECT_TRUE(database.readDataFromBlock(index, data.data(), long(data.size()), false).ok());
        return data;
    }

    std::vector<std::string> fieldTexts(long index) {
        std::vector<std::string> texts;
        for (long k = 1; k <= database.countFieldsInBlock(index).valueOr(0); ++k) {
            std::vector<char> data = database.getField(index, k).valueOr({});
            texts.emplace_back(data.begin(), data.end());
        }
        return texts;
    }

    TempHome home;
    std::string path = (home.path() / "test.db").string();
    Database database;
};

TEST_F(DatabaseTest, CreateWritesTheFreshLayoutThatValidationAccepts) {
    EXPECT_EQ(database.validDBFile(path.c_str(), kTestType).code(), kErrorFileMissing);
    ASSERT_EQ(database.createDBFile(path.c_str(), kTestType, 7).code(), 0);
    EXPECT_FALSE(database.isOpen());
    std::string bytes = raw();
    ASSERT_EQ(bytes.size(), 1628u);
    EXPECT_EQ(bytes.substr(0, 4), "TEST");
    // Version, format, flags (in-use bit cleared by close), list offset, file length, entries,
    // slots.
    EXPECT_EQ((std::vector<long>{rawWord16(bytes, 4), rawWord16(bytes, 6), raw32(8), raw32(12),
                                 raw32(16), raw32(20), raw32(24)}),
              (std::vector<long>{1, 7, 0, 20, 1628, 0, 100}));
    std::string blankSlots;
    for (int k = 0; k < 100; ++k) blankSlots += "----" + std::string(12, '\0');
    EXPECT_EQ(bytes.substr(28), blankSlots);

    EXPECT_EQ(database.validDBFile(path.c_str(), kTestType).valueOr(-1), 7);
    EXPECT_EQ(database.validDBFile(path.c_str(), typeCode("PRJ ")).code(), kErrorWrongFileType);
    bytes[5] = 2;  // format version 2
    writeFile(path, bytes);
    EXPECT_EQ(database.validDBFile(path.c_str(), kTestType).code(), kErrorWrongFileType);
}

TEST_F(DatabaseTest, ListGrowsInPlaceWhileItEndsTheFileThenMovesToTheEnd) {
    createAndOpen();
    // Empty blocks take no bytes, so the list stays at the end of the file.
    for (int i = 0; i < 101; ++i) addBlock(0, 0);
    EXPECT_EQ((std::vector<long>{database.getMPOffset(), database.getMPSlots(), raw32(24),
                                 raw32(16), long(raw().size())}),
              (std::vector<long>{20, 200, 200, 1628 + 1600, 1628 + 1600}));

    // Blocks behind it fill it; it moves to the end, 100 slots larger, and its
    // old place is free space, of which first fit took 8 bytes.
    for (int i = 0; i < 99; ++i) addBlock(10, 0);
    EXPECT_EQ(database.getFileLength(), 3228 + 990);
    long index = addBlock(8, 0);
    EXPECT_EQ((std::vector<long>{index, database.getMPOffset(), database.getMPSlots(),
                                 entry(index).offset}),
              (std::vector<long>{202, 4218, 300, 20}));
    EXPECT_EQ(fields(201), (std::vector<long>{kFree, 3208 - 8, 0, 20 + 8}));

    EXPECT_TRUE(database.closeDBFile().ok());
    long entry201 = 4218 + 8 + 200 * 16;
    EXPECT_EQ(raw().substr(size_t(entry201), 4), "FREE");
    EXPECT_EQ((std::vector<long>{raw32(12), raw32(4218), raw32(4222), raw32(entry201 + 4),
                                 raw32(entry201 + 12), raw32(16)}),
              (std::vector<long>{4218, 202, 300, 3200, 28, 4218 + 8 + 300 * 16}));
}

// A rewrite goes to free space first fit, never over the block's bytes, keeping its capacity or
// growing with slop; the old place is freed, merging with free neighbours on either side.
TEST_F(DatabaseTest, RewritesMoveToFreeSpaceThatBlocksReuseAndNeighboursMerge) {
    createAndOpen();
    long index = addBlock(10, 5), next = addBlock(10, 0);
    const long home = entry(index).offset;
    ASSERT_EQ(database.writeDataToBlock(index, "fifteen bytes!!", 15).code(), 0);
    EXPECT_EQ(fields(index), (std::vector<long>{long(kTestType), 15, 0, entry(next).offset + 10}));
    EXPECT_EQ(fields(3), (std::vector<long>{kFree, 15, 0, home}));
    ASSERT_EQ(database.writeDataToBlock(index, "four", 4).code(), 0);
    EXPECT_EQ(fields(index), (std::vector<long>{long(kTestType), 4, 11, home}));
    EXPECT_EQ(readBlock(index), "four");

    // Outgrowing its capacity, a block moves to the end with 60 bytes of slop; its old place
    // joins the free record after it, the one the rewrite above left.
    ASSERT_EQ(database.writeDataToBlock(next, "twenty bytes of data", 20).code(), 0);
    EXPECT_EQ(fields(next), (std::vector<long>{long(kTestType), 20, 60, home + 40}));
    EXPECT_EQ(fields(3), (std::vector<long>{kFree, 10 + 15, 0, home + 15}));
    EXPECT_EQ(readBlock(next), "twenty bytes of data");
    EXPECT_EQ(database.getFileLength(), home + 40 + 80);

    // A new block fits in it, shrinking the record to 2 bytes...
    long reuser = addBlock(23, 0);
    EXPECT_EQ((std::vector<long>{reuser, entry(reuser).offset, entry(3).length}),
              (std::vector<long>{4, home + 15, 2}));
    // ...and a record below 5 bytes gives up its entry to the next block.
    long taker = addBlock(30, 0);
    EXPECT_EQ((std::vector<long>{taker, fields(taker)[0], database.getMPEntries()}),
              (std::vector<long>{3, long(kTestType), 4}));

    // The block freed after its free neighbour leaves one record over both places.
    ASSERT_EQ(database.deleteBlock(index).code(), 0);
    ASSERT_EQ(database.deleteBlock(reuser).code(), 0);
    std::vector<std::vector<long>> freeSpace;
    for (long k = 1; k <= database.getMPEntries(); ++k)
        if (fields(k)[0] == kFree && fields(k)[1] > 0) freeSpace.push_back(fields(k));
    EXPECT_EQ(freeSpace, (std::vector<std::vector<long>>{{kFree, 15 + 23, 0, home}}));
}

TEST_F(DatabaseTest, DeletedBlocksAndMissingTypes) {
    createAndOpen();
    long index = addBlock(10, 6);
    ASSERT_EQ(database.deleteBlock(index).code(), 0);
    EXPECT_EQ(fields(index), (std::vector<long>{kFree, 16, 0, entry(index).offset}));
    EXPECT_EQ(database.deleteBlock(index).code(), kErrorBlockDeleted);
    EXPECT_EQ(database.writeDataToBlock(index, "x", 1).code(), kErrorBlockDeleted);

    EXPECT_EQ(database.getNthBlockOfType(typeCode("NONE"), 1).code(), kErrorNoBlockOfType);
    long a = addBlock(1, 0, typeCode("AAAA"));
    addBlock(1, 0, typeCode("BBBB"));
    long c = addBlock(1, 0, typeCode("AAAA"));
    EXPECT_EQ(database.getNthBlockOfType(typeCode("AAAA"), 2).valueOr(0), c);
    EXPECT_EQ(database.getNextBlockOfType(typeCode("AAAA"), a).valueOr(0), c);
    EXPECT_EQ(database.getNextBlockOfType(typeCode("AAAA"), c).code(), kErrorNoBlockOfType);
    EXPECT_EQ(database.countBlocksOfType(typeCode("AAAA")).valueOr(0), 2);
}

TEST_F(DatabaseTest, FieldsAtBothEndsAndOutOfRange) {
    createAndOpen();
    long index = addBlock(0, 0);
    ASSERT_EQ(database.initBlockForFields(index).code(), 0);
    for (const char* value : {"one", "two!", "three"})
        ASSERT_EQ(database.addFieldToBlock(index, value, long(strlen(value)) + 1).code(), 0);
    using Texts = std::vector<std::string>;
    EXPECT_EQ(fieldTexts(index), (Texts{{"one", 4}, {"two!", 5}, {"three", 6}}));

    char buffer[8] = "unset";
    for (long bad : {0L, 4L}) {
        EXPECT_EQ(database.getFieldIntoBuffer(index, bad, buffer, 8).code(), kErrorFieldRange);
        EXPECT_EQ(buffer[0], '\0') << "a refused read leaves an empty text";
        EXPECT_EQ(database.setFieldOfBlock(index, bad, "x", 1).code(), kErrorFieldRange);
        EXPECT_EQ(database.deleteFieldFromBlock(index, bad).code(), kErrorFieldRange);
    }

    // Shorter and longer values keep the following fields intact.
    ASSERT_EQ(database.setFieldOfBlock(index, 1, "1", 2).code(), 0);
    EXPECT_EQ(fieldTexts(index), (Texts{{"1", 2}, {"two!", 5}, {"three", 6}}));
    ASSERT_EQ(database.setFieldOfBlock(index, 2, "a much longer second field", 27).code(), 0);
    EXPECT_EQ(fieldTexts(index),
              (Texts{{"1", 2}, {"a much longer second field", 27}, {"three", 6}}));
    EXPECT_EQ(readBlock(index).size(), 4u + 6 + 31 + 10);

    ASSERT_EQ(database.deleteFieldFromBlock(index, 1).code(), 0);
    ASSERT_EQ(database.deleteFieldFromBlock(index, 2).code(), 0);
    EXPECT_EQ(fieldTexts(index), (Texts{{"a much longer second field", 27}}));

    // A buffer shorter than the field gets a prefix and no terminator.
    buffer[0] = 'z';
    EXPECT_EQ(database.getFieldIntoBuffer(index, 1, buffer, 6).valueOr(0), 6);
    EXPECT_EQ(std::string(buffer, 6), "a much");

    // A field reads as a long only when it is exactly four bytes.
    const char number[5] = {0x00, 0x01, 0x02, 0x03, 0x04};
    for (long length : {3L, 4L, 5L}) {
        ASSERT_EQ(database.addFieldToBlock(index, number, length).code(), 0);
        EXPECT_EQ(database.getLongFromBlock(index, length - 1).valueOr(-1),
                  length == 4 ? 0x00010203 : 0)
            << length;
    }
}

TEST_F(DatabaseTest, InUseBitIsSetByCheckedWritersAndRefused) {
    createAndOpen();
    EXPECT_EQ(raw32(8), 1);
    // Another flag bit survives the clear and the next set.
    ASSERT_EQ(database.writeFlags(0x101).code(), 0);

    Database other;
    // Refused to checked openers of either mode; an unchecked reader gets in.
    EXPECT_EQ((std::vector<long>{other.openDBFile(path.c_str(), kModeReadWrite, true).code(),
                                 other.openDBFile(path.c_str(), kModeReadOnly, true).code(),
                                 other.openDBFile(path.c_str(), kModeReadOnly, false).code()}),
              (std::vector<long>{kErrorFileInUse, kErrorFileInUse, 0}));
    EXPECT_TRUE(other.closeDBFile().ok());
    // Creating over a file in use is refused, and the file is kept as it is.
    addBlock(10, 0);
    const std::string inUse = raw();
    EXPECT_EQ(other.createDBFile(path.c_str(), kTestType, 1).code(), kErrorFileInUse);
    EXPECT_EQ(raw(), inUse);

    EXPECT_TRUE(database.closeDBFile().ok());
    EXPECT_EQ(raw32(8), 0x100);
    ASSERT_EQ(database.openDBFile(path.c_str(), kModeReadWrite, true).code(), 0);
    EXPECT_EQ(raw32(8), 0x101);
}

// Entries and blocks pass through a window of the list and a read cache: whatever
// was read before, a read gives what the file holds now.
TEST_F(DatabaseTest, CachedEntriesAndBlocksNeverGoStale) {
    createAndOpen();
    std::vector<std::pair<long, long>> placed;  // index and offset of each block added
    for (int i = 0; i < 150; ++i) {
        long index = addBlock(1, 0);
        placed.emplace_back(index, entry(index).offset);
    }
    long index = addBlock(0, 0);
    ASSERT_EQ(database.writeDataToBlock(index, "first", 6).code(), 0);
    EXPECT_EQ(readBlock(index), std::string("first", 6));
    ASSERT_EQ(database.writeDataToBlock(index, "second", 7).code(), 0);
    EXPECT_EQ(readBlock(index), std::string("second", 7));
    MasterPtrEntry changed = entry(placed[1].first);
    changed.type = typeCode("SEEN");
    ASSERT_TRUE(database.setMPEntry(placed[1].first, changed).ok());

    // Entries on both sides of a window refill, read-write and read-only.
    for (long mode : {kModeReadWrite, kModeReadOnly}) {
        ASSERT_EQ(database.openDBFile(path.c_str(), mode, false).code(), 0);
        for (size_t k : {0u, 100u, 149u, 1u, 77u})
            EXPECT_EQ(entry(placed[k].first).offset, placed[k].second) << placed[k].first;
        EXPECT_EQ(entry(placed[1].first).type, typeCode("SEEN"));
        EXPECT_EQ(readBlock(index), std::string("second", 7));
        EXPECT_EQ(readBlock(index), std::string("second", 7));
    }
    EXPECT_EQ(database.getMPEntry(database.getMPEntries() + 1).code(), kErrorBadArgument);
}

}  // namespace
