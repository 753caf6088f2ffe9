// Damaged files: each kind of structural damage gives its error code, and
// hundreds of deterministic mutations and truncations of a well-used file
// are read, checked and edited giving only documented codes, never changing
// a file they only read or refuse (the sanitizer build catches any stray
// access). Also okadb's answers on sound and damaged files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "DatabaseExercise.h"
#include "TestSupport.h"
#include "core/ByteOrder.h"
#include "storage/DatabaseCheck.h"
#include "storage/PrefMan.h"

namespace {

using namespace dbformat;

class DamagedFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path = (home.path() / "sample.prf").string();
        makeSample();
        sample = readFile(path);
    }

    // A file that has been through growth: a moved list, moved blocks and
    // free records, records of several types.
    void makeSample() {
        PrefMan prefs(kPreferencesFileType, kPreferencesVersion, path.c_str(), "preferences", true);
        EXPECT_TRUE(prefs.addPreference(typeCode("HTPT"), "netscape", 9).ok());
        for (int i = 0; i < 150; ++i) {
            char position[12] = {0, 0, 0, char(i), 0, 10, 0, 20, 1, 0, 0, char(i)};
            EXPECT_TRUE(prefs.addPreference(typeCode("WPOS"), position, sizeof position).ok());
        }
        long index = 0;
        for (int i = 0; i < 120; ++i) index = prefs.addBlock(typeCode("BLOB"), 8, 4).valueOr(0);
        EXPECT_TRUE(prefs.deleteBlock(index).ok());
        EXPECT_TRUE(prefs.addPreference(typeCode("CPRJ"), "/home/user/project.prj", 23).ok());
    }

    long sampleLong(long offset) const {
        return int32_t(getBigEndian32(reinterpret_cast<const uint8_t*>(sample.data() + offset)));
    }

    std::string withLong(long offset, uint32_t value) const {
        std::string bytes = sample;
        putBigEndian32(reinterpret_cast<uint8_t*>(bytes.data() + offset), value);
        return bytes;
    }

    long openResult(const std::string& bytes) {
        writeFile(path, bytes);
        Database database;
        return database.openDBFile(path.c_str(), kModeReadOnly, false).code();
    }

    // Offset of the first entry of `type` in the sample's list.
    long entryOfType(const char* type) const {
        long list = sampleLong(kListOffsetOffset);
        for (long k = 1; k <= sampleLong(list); ++k) {
            long at = entryOffset(list, k);
            if (sample.compare(size_t(at), 4, type) == 0) return at;
        }
        return -1;
    }

    TempHome home;
    std::string path;
    std::string sample;
};

TEST_F(DamagedFileTest, SampleIsSoundAndHasGrown) {
    std::vector<std::string> problems;
    EXPECT_TRUE(checkDatabaseFile(path.c_str(), &problems)) << problems.front();
    EXPECT_NE(sampleLong(kListOffsetOffset), kHeaderSize) << "the list has moved";
    EXPECT_GT(sampleLong(sampleLong(kListOffsetOffset)), 100);
}

TEST_F(DamagedFileTest, BrokenHeadersAreRefusedAtOpen) {
    EXPECT_EQ(openResult(sample.substr(0, 19)), kErrorDamagedFile);
    EXPECT_EQ(openResult(sample.substr(0, sample.size() - 1)), kErrorDamagedFile)
        << "file length beyond the end of the file";
    EXPECT_EQ(openResult(withLong(kListOffsetOffset, uint32_t(sample.size()))), kErrorDamagedFile);
    EXPECT_EQ(openResult(withLong(kListOffsetOffset, 4)), kErrorDamagedFile);
    long list = sampleLong(kListOffsetOffset);
    EXPECT_EQ(openResult(withLong(list + 4, 0x7FFFFFFFu)), kErrorDamagedFile) << "slots";
    EXPECT_EQ(openResult(withLong(list, uint32_t(sampleLong(list + 4) + 1))), kErrorDamagedFile)
        << "entries beyond slots";
    EXPECT_EQ(openResult(withLong(list, 0xFFFFFFFFu)), kErrorDamagedFile);
    // Blocks that share bytes with the list or with each other.
    long cprj = entryOfType("CPRJ");
    EXPECT_EQ(openResult(withLong(cprj + 12, uint32_t(list + 8))), kErrorDamagedFile);
    long htpt = sampleLong(entryOfType("HTPT") + 12);
    EXPECT_EQ(openResult(withLong(cprj + 12, uint32_t(htpt + 3))), kErrorDamagedFile);
}

TEST_F(DamagedFileTest, EntriesOutsideTheFileAreRefusedPerBlock) {
    long at = entryOfType("CPRJ");
    ASSERT_GT(at, 0);
    for (uint32_t offset : {uint32_t(sample.size()), 0u, 0xFFFFFFF0u}) {
        writeFile(path, withLong(at + 12, offset));
        PrefMan prefs(kPreferencesFileType, kPreferencesVersion, path.c_str(), "preferences", true);
        ASSERT_TRUE(prefs.isOpen());
        char buffer[64];
        EXPECT_EQ(prefs.readNthPreference(typeCode("CPRJ"), 1, buffer, sizeof buffer).code(),
                  kErrorDamagedFile);
        EXPECT_EQ(prefs.addPreference(typeCode("CPRJ"), "x", 2).code(), kErrorDamagedFile);
        // The other types are untouched by the damage.
        EXPECT_EQ(prefs.readNthPreference(typeCode("HTPT"), 1, buffer, sizeof buffer).valueOr(-1),
                  9);
    }
    writeFile(path, withLong(at + 4, 0x7FFFFFFFu));  // length
    std::vector<std::string> problems;
    EXPECT_FALSE(checkDatabaseFile(path.c_str(), &problems));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("'CPRJ'"), std::string::npos) << problems[0];
}

TEST_F(DamagedFileTest, FieldLengthsThatOverrunTheirBlockAreRefused) {
    long at = entryOfType("HTPT");
    long block = sampleLong(at + 12);
    PrefMan* prefs = nullptr;
    auto reopen = [&](const std::string& bytes) {
        delete prefs;
        writeFile(path, bytes);
        prefs = new PrefMan(kPreferencesFileType, kPreferencesVersion, path.c_str(), "preferences",
                            true);
    };
    char buffer[64];
    reopen(withLong(block + 4, 10));  // field 1 claims 10 of the 9 bytes left
    EXPECT_EQ(prefs->readNthPreference(typeCode("HTPT"), 1, buffer, sizeof buffer).code(),
              kErrorDamagedFile);
    reopen(withLong(block + 4, 0xFFFFFFFFu));
    EXPECT_EQ(prefs->deleteNthPreference(typeCode("HTPT"), 1).code(), kErrorDamagedFile);
    reopen(withLong(block, 5));  // five length words alone overrun the 17-byte block
    EXPECT_EQ(prefs->countPreferencesOfType(typeCode("HTPT")).code(), kErrorDamagedFile);
    reopen(withLong(block, 0x7FFFFFFFu));  // a count that callers would loop over
    EXPECT_EQ(prefs->countPreferencesOfType(typeCode("HTPT")).code(), kErrorDamagedFile);
    EXPECT_EQ(prefs->writeNthPreference(typeCode("HTPT"), 2, "x", 2).code(), kErrorDamagedFile);
    EXPECT_EQ(prefs->addPreference(typeCode("HTPT"), "x", 2).code(), kErrorDamagedFile);
    delete prefs;
}

TEST_F(DamagedFileTest, MutatedAndTruncatedFilesGiveOnlyDocumentedCodesAndStayAsTheyWere) {
    std::mt19937 random(20261206);
    long list = sampleLong(kListOffsetOffset);
    long entries = sampleLong(list);
    // Words that hold structure: header values, list counts, entry fields.
    std::vector<long> structural = {kFlagsOffset, kListOffsetOffset, kFileLengthOffset, list,
                                    list + 4};
    for (long k = 1; k <= entries; ++k)
        for (long field = 4; field < kEntrySize; field += 4)
            structural.push_back(entryOffset(list, k) + field);
    const uint32_t extremes[] = {0,
                                 1,
                                 4,
                                 0x7FFFFFFFu,
                                 0x80000000u,
                                 0xFFFFFFFFu,
                                 uint32_t(sample.size()),
                                 uint32_t(sample.size() - 3)};

    int sound = 0, refused = 0;
    for (int round = 0; round < 900; ++round) {
        std::string bytes = sample;
        switch (round % 3) {
            case 0: {  // a few random bytes
                int count = 1 + int(random() % 4);
                for (int i = 0; i < count; ++i) bytes[random() % bytes.size()] = char(random());
                break;
            }
            case 1: {  // an extreme value in a structural word
                long at = structural[random() % structural.size()];
                putBigEndian32(reinterpret_cast<uint8_t*>(bytes.data() + at),
                               extremes[random() % std::size(extremes)]);
                break;
            }
            default:  // truncated anywhere
                bytes.resize(random() % bytes.size());
        }
        writeFile(path, bytes);
        ExerciseOutcome outcome = exerciseDatabaseFile(path.c_str());
        ASSERT_TRUE(outcome.faults.empty()) << "round " << round << ": " << outcome.faults.front();
        sound += outcome.sound;
        refused += outcome.refused;
    }
    // The rounds reach both sound files (damage only in record bytes) and
    // files the preferences refuse.
    EXPECT_GT(sound, 100);
    EXPECT_GT(refused, 300);
}

class Okadb : public DamagedFileTest {
  protected:
    void SetUp() override {
        const char* build = std::getenv("OKA_BUILD_DIR");
        if (build == nullptr) GTEST_SKIP() << "OKA_BUILD_DIR not set: run through ctest";
        tool = (std::filesystem::path(build) / "bin" / "okadb").string();
        DamagedFileTest::SetUp();
    }

    // Exit status and standard output of one okadb command.
    int run(const std::string& arguments, std::string* output) {
        std::string outputPath = (home.path() / "okadb.out").string();
        int status = std::system((tool + " " + arguments + " > " + outputPath).c_str());
        *output = readFile(outputPath);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string tool;
};

TEST_F(Okadb, ReportsOnSoundAndDamagedFiles) {
    std::string output;
    EXPECT_EQ(run("check " + path, &output), 0);
    EXPECT_EQ(output, "");
    EXPECT_EQ(run("records " + path + " HTPT", &output), 0);
    EXPECT_NE(output.find("record 1 (9 bytes): \"netscape\""), std::string::npos) << output;
    EXPECT_EQ(run("records " + path + " WPOS", &output), 0);
    EXPECT_NE(output.find("record 150 (12 bytes): 00000095000a001401000095"), std::string::npos)
        << output;
    EXPECT_EQ(run("info " + path, &output), 0);
    EXPECT_NE(output.find("file type       'TPRF'"), std::string::npos) << output;
    EXPECT_NE(output.find("'WPOS'  1 blocks, 2404 bytes"), std::string::npos) << output;

    writeFile(path, withLong(entryOfType("CPRJ") + 12, 0));
    EXPECT_EQ(run("check " + path, &output), 1);
    EXPECT_NE(output.find("lies outside the file"), std::string::npos) << output;
    writeFile(path, sample.substr(0, 100));
    EXPECT_EQ(run("check " + path, &output), 1);
    EXPECT_EQ(run("info " + path, &output), 1);
}

// A count that claims one field more than the block holds (an append whose
// count reached the file but whose length did not) and a block over another
// one: check names both, and repair writes a copy that checks clean, with
// the fields that fit and without the second block.
TEST_F(Okadb, RepairWritesASoundCopy) {
    long wpos = sampleLong(entryOfType("WPOS") + 12);
    std::string damaged = withLong(wpos, 151);
    long cprj = entryOfType("CPRJ");
    putBigEndian32(reinterpret_cast<uint8_t*>(damaged.data() + cprj + 12), uint32_t(wpos + 8));
    writeFile(path, damaged);
    std::string output;
    EXPECT_EQ(run("check " + path, &output), 1);
    EXPECT_NE(output.find("'WPOS'"), std::string::npos) << output;
    EXPECT_NE(output.find("the count claims 151 fields, the block holds 150"), std::string::npos)
        << output;
    EXPECT_NE(output.find("'CPRJ'"), std::string::npos) << output;

    EXPECT_EQ(run("check --repair " + path, &output), 0) << output;
    EXPECT_EQ(readFile(path), damaged) << "the file itself is left alone";
    EXPECT_EQ(run("check " + path + ".repaired", &output), 0) << output;
    EXPECT_EQ(run("records " + path + ".repaired WPOS", &output), 0);
    EXPECT_NE(output.find("record 150 "), std::string::npos) << output;
    EXPECT_EQ(output.find("record 151 "), std::string::npos) << output;
    EXPECT_EQ(run("records " + path + ".repaired CPRJ", &output), 0);
    EXPECT_EQ(output, "");
}

}  // namespace
