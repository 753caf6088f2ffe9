// Damaged files give error codes, never a fault, when read, checked, edited or given to okadb.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <tuple>

#include "ChildProcess.h"
#include "DatabaseExercise.h"
#include "RawDatabaseFile.h"
#include "TestSupport.h"
#include "core/ByteOrder.h"
#include "storage/DatabaseCheck.h"
#include "storage/PrefMan.h"

namespace {

using namespace dbformat;

class DamagedFileTest : public ::testing::Test {
  protected:
    // A file grown through a moved list, moved blocks and free records, of several types.
    void SetUp() override {
        auto prefs = std::make_unique<PrefMan>(kPreferencesFileType, kPreferencesVersion,
                                               path.c_str(), "preferences", true);
        EXPECT_TRUE(prefs->addPreference(typeCode("HTPT"), "netscape", 9).ok());
        for (int i = 0; i < 150; ++i) {
            char position[12] = {0, 0, 0, char(i), 0, 10, 0, 20, 1, 0, 0, char(i)};
            EXPECT_TRUE(prefs->addPreference(typeCode("WPOS"), position, sizeof position).ok());
        }
        long index = 0;
        for (int i = 0; i < 120; ++i) index = prefs->addBlock(typeCode("BLOB"), 8, 4).valueOr(0);
        EXPECT_TRUE(prefs->deleteBlock(index).ok());
        EXPECT_TRUE(prefs->addPreference(typeCode("CPRJ"), "/home/user/project.prj", 23).ok());
        prefs.reset();
        sample = readFile(path);
    }

    long sampleLong(long offset) const { return rawWord32(sample, offset); }
    // The sample, or `bytes`, with the word at `offset` set to `value`.
    std::string withLong(long offset, uint32_t value, std::string bytes = {}) const {
        if (bytes.empty()) bytes = sample;
        putBigEndian32(reinterpret_cast<uint8_t*>(bytes.data() + offset), value);
        return bytes;
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
    std::string path = (home.path() / "sample.prf").string();
    std::string sample;
};

TEST_F(DamagedFileTest, BrokenHeadersAreRefusedAtOpen) {
    // The sample is sound, and its list has moved and grown.
    std::vector<std::string> problems;
    EXPECT_TRUE(checkDatabaseFile(path.c_str(), &problems)) << ::testing::PrintToString(problems);
    long list = sampleLong(kListOffsetOffset);
    EXPECT_NE(list, kHeaderSize);
    EXPECT_GT(sampleLong(list), 100);

    long cprj = entryOfType("CPRJ");
    long htpt = sampleLong(entryOfType("HTPT") + 12);
    const std::string damaged[] = {
        sample.substr(0, 19), sample.substr(0, sample.size() - 1),  // length beyond the end
        withLong(kListOffsetOffset, uint32_t(sample.size())), withLong(kListOffsetOffset, 4),
        withLong(list + 4, 0x7FFFFFFFu),                     // slots
        withLong(list, uint32_t(sampleLong(list + 4) + 1)),  // entries beyond slots
        withLong(list, 0xFFFFFFFFu),
        // Blocks that share bytes with the list or with each other.
        withLong(cprj + 12, uint32_t(list + 8)), withLong(cprj + 12, uint32_t(htpt + 3))};
    for (size_t k = 0; k < std::size(damaged); ++k) {
        writeFile(path, damaged[k]);
        EXPECT_EQ(Database().openDBFile(path.c_str(), kModeReadOnly, false).code(),
                  kErrorDamagedFile)
            << "case " << k;
    }
}

// Damage in one type's block (its entry outside the file, a field length or count
// overrunning the 17-byte block) refuses that type's record operations only; a
// count is read without the lengths, so only a damaged count stops it.
TEST_F(DamagedFileTest, DamageInOneBlockRefusesOnlyItsType) {
    const long cprj = entryOfType("CPRJ") + 12, htpt = sampleLong(entryOfType("HTPT") + 12);
    const TypeCode kCprj = typeCode("CPRJ"), kHtpt = typeCode("HTPT");
    const long refused = kErrorDamagedFile;
    for (auto [at, value, type, other, count, otherLength] :
         {std::tuple{cprj, uint32_t(sample.size()), kCprj, kHtpt, refused, 9L},
          {cprj, 0u, kCprj, kHtpt, refused, 9L},
          {cprj, 0xFFFFFFF0u, kCprj, kHtpt, refused, 9L},
          {htpt + 4, 10u, kHtpt, kCprj, 0L, 23L},
          {htpt + 4, 0xFFFFFFFFu, kHtpt, kCprj, 0L, 23L},
          {htpt, 5u, kHtpt, kCprj, refused, 23L},
          {htpt, 0x7FFFFFFFu, kHtpt, kCprj, refused, 23L}}) {
        writeFile(path, withLong(at, value));
        PrefMan prefs(kPreferencesFileType, kPreferencesVersion, path.c_str(), "preferences", true);
        ASSERT_TRUE(prefs.isOpen());
        char buffer[64];
        EXPECT_EQ(
            (std::vector<long>{
                prefs.readNthPreference(type, 1, buffer, sizeof buffer).code(),
                prefs.countPreferencesOfType(type).code(),
                prefs.writeNthPreference(type, 1, "x", 2).code(),
                prefs.addPreference(type, "x", 2).code(), prefs.deleteNthPreference(type, 1).code(),
                prefs.readNthPreference(other, 1, buffer, sizeof buffer).valueOr(-1)}),
            (std::vector<long>{refused, count, refused, refused, refused, otherLength}))
            << "word at " << at << " set to " << value;
    }
    // An overrunning length is named in the check's report.
    writeFile(path, withLong(cprj - 8, 0x7FFFFFFFu));
    std::vector<std::string> problems;
    EXPECT_FALSE(checkDatabaseFile(path.c_str(), &problems));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("'CPRJ'"), std::string::npos) << problems[0];
}

TEST_F(DamagedFileTest, MutatedAndTruncatedFilesGiveOnlyDocumentedCodesAndStayAsTheyWere) {
    std::mt19937 random(20261206);
    long list = sampleLong(kListOffsetOffset);
    // Words that hold structure: header values, list counts, entry fields.
    std::vector<long> structural = {kFlagsOffset, kListOffsetOffset, kFileLengthOffset, list,
                                    list + 4};
    for (long k = 1; k <= sampleLong(list); ++k)
        for (long field = 4; field < kEntrySize; field += 4)
            structural.push_back(entryOffset(list, k) + field);
    const uint32_t size = uint32_t(sample.size());
    const uint32_t extremes[] = {0, 1, 4, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, size, size - 3};

    int sound = 0, refused = 0;
    for (int round = 0; round < 900; ++round) {
        std::string bytes = sample;
        if (round % 3 == 0) {  // a few random bytes
            for (int i = 0, count = 1 + int(random() % 4); i < count; ++i)
                bytes[random() % bytes.size()] = char(random());
        } else if (round % 3 == 1) {  // an extreme value in a structural word
            long at = structural[random() % structural.size()];
            bytes = withLong(at, extremes[random() % std::size(extremes)]);
        } else {  // truncated anywhere
            bytes.resize(random() % bytes.size());
        }
        writeFile(path, bytes);
        ExerciseOutcome outcome = exerciseDatabaseFile(path.c_str());
        ASSERT_TRUE(outcome.faults.empty()) << "round " << round << ": " << outcome.faults.front();
        sound += outcome.sound;
        refused += outcome.refused;
    }
    // Both sound files (damage only in record bytes) and refused ones are reached.
    EXPECT_GT(sound, 100);
    EXPECT_GT(refused, 300);
}

class Okadb : public DamagedFileTest {
  protected:
    // Exit status and standard output of one okadb command.
    static std::pair<int, std::string> run(const std::string& arguments) {
        CommandRun run = runCommand(builtProgram("okadb").string() + " " + arguments);
        return {run.status, run.output};
    }
    // Runs each command on the sample's path followed by its suffix, expecting
    // its exit status and, unless empty, a piece of its output.
    void expectRuns(
        std::initializer_list<std::tuple<std::string, std::string, int, std::string>> commands) {
        for (const auto& [command, suffix, status, shown] : commands) {
            auto [got, output] = run(command + " " + path + suffix);
            EXPECT_EQ(got, status) << command << suffix;
            EXPECT_NE(output.find(shown), std::string::npos) << output;
        }
    }
};

TEST_F(Okadb, ReportsOnSoundAndDamagedFilesAndRepairsACopy) {
    EXPECT_EQ(run("check " + path), (std::pair{0, std::string()}));
    expectRuns({{"records", " HTPT", 0, "record 1 (9 bytes): \"netscape\""},
                {"records", " WPOS", 0, "record 150 (12 bytes): 00000095000a001401000095"},
                {"info", "", 0, "file type       'TPRF'"},
                {"info", "", 0, "'WPOS'  1 blocks, 2404 bytes"}});

    writeFile(path, withLong(entryOfType("CPRJ") + 12, 0));
    expectRuns({{"check", "", 1, "lies outside the file"}});
    writeFile(path, sample.substr(0, 100));
    expectRuns({{"check", "", 1, ""}, {"info", "", 1, ""}});

    // A count one field over the block (an append whose length never reached the file)
    // and a block over another: repair copies the fields that fit, not the second block.
    long wpos = sampleLong(entryOfType("WPOS") + 12);
    const std::string damaged =
        withLong(entryOfType("CPRJ") + 12, uint32_t(wpos + 8), withLong(wpos, 151));
    writeFile(path, damaged);
    expectRuns({{"check", "", 1, "'WPOS'"},
                {"check", "", 1, "the count claims 151 fields, the block holds 150"},
                {"check", "", 1, "'CPRJ'"},
                {"check --repair", "", 0, ""},
                {"check", ".repaired", 0, ""},
                {"records", ".repaired WPOS", 0, "record 150 "}});
    EXPECT_EQ(readFile(path), damaged) << "the file itself is left alone";
    EXPECT_EQ(run("records " + path + ".repaired WPOS").second.find("record 151 "),
              std::string::npos);
    EXPECT_EQ(run("records " + path + ".repaired CPRJ"), (std::pair{0, std::string()}));
}

}  // namespace
