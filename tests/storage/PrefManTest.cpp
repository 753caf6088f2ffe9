// PrefMan: record semantics, persistence, and the opening paths (kelvane's first
// start is tested end to end).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "RawDatabaseFile.h"
#include "TestSupport.h"
#include "core/Utilities.h"
#include "storage/DatabaseCheck.h"
#include "storage/PrefMan.h"

namespace {

constexpr TypeCode kViewer = typeCode("HTPT");
constexpr TypeCode kPositions = typeCode("WPOS");

class PrefManTest : public ::testing::Test {
  public:
    void SetUp() override { path = (home.path() / "test.prf").string(); }

    std::unique_ptr<PrefMan> open(short version = 2) {
        return std::make_unique<PrefMan>(kPreferencesFileType, version, path.c_str(), "preferences",
                                         true);
    }

    // Every record of `type`, in order.
    static std::vector<std::string> records(PrefMan& prefs, TypeCode type) {
        std::vector<std::string> all;
        char buffer[64];
        for (long n = 1; n <= prefs.countPreferencesOfType(type).valueOr(0); ++n) {
            Result<long> length = prefs.readNthPreference(type, n, buffer, sizeof buffer);
            all.emplace_back(buffer, size_t(length.valueOr(0)));
        }
        return all;
    }
    static std::string text(const char* value) { return std::string(value, strlen(value) + 1); }

    TempHome home;
    std::string path;
};

TEST_F(PrefManTest, RecordsAppendReplaceAndDelete) {
    auto prefs = open();
    EXPECT_TRUE(prefs->addPreference(kPositions, "first", 6).ok());
    EXPECT_TRUE(prefs->addPreference(kPositions, "second", 7).ok());
    // One past the end appends; further is refused.
    EXPECT_TRUE(prefs->writeNthPreference(kPositions, 3, "third", 6).ok());
    EXPECT_TRUE(prefs->writeNthPreference(kPositions, 1, "1st", 4).ok());
    EXPECT_EQ(prefs->writeNthPreference(kPositions, 5, "gap", 4).code(), kErrorFieldRange);
    EXPECT_EQ(records(*prefs, kPositions),
              (std::vector<std::string>{text("1st"), text("second"), text("third")}));
    EXPECT_TRUE(prefs->deleteNthPreference(kPositions, 1).ok());
    EXPECT_EQ(records(*prefs, kPositions),
              (std::vector<std::string>{text("second"), text("third")}));
}

TEST_F(PrefManTest, TypesNeverWrittenAndDeleteByTypeKeepsTheBlock) {
    auto prefs = open();
    EXPECT_EQ(prefs->countPreferencesOfType(kViewer).code(), kErrorNoBlockOfType);
    EXPECT_TRUE(prefs->deletePreferencesOfType(kViewer).ok());
    EXPECT_TRUE(prefs->writeNthPreference(kViewer, 1, "viewer", 7).ok());  // creates the type
    EXPECT_TRUE(prefs->addPreference(kViewer, "other", 6).ok());
    EXPECT_EQ(records(*prefs, kViewer), (std::vector<std::string>{text("viewer"), text("other")}));

    // The emptied block stays, and takes the next records.
    EXPECT_TRUE(prefs->deletePreferencesOfType(kViewer).ok());
    EXPECT_EQ(prefs->countPreferencesOfType(kViewer).valueOr(-1), 0);
    EXPECT_TRUE(prefs->addPreference(kViewer, "new one", 8).ok());
    EXPECT_EQ(records(*prefs, kViewer), std::vector<std::string>{text("new one")});
    EXPECT_EQ(prefs->countBlocksOfType(kViewer).valueOr(0), 1);
}

// The records are read back by PrefMan and, from the documented layout
// alone, as another program would.
TEST_F(PrefManTest, RecordsPersistAcrossCloseAndReopen) {
    std::vector<std::string> written;
    {
        auto prefs = open();
        for (int i = 0; i < 50; ++i) {
            written.push_back("record " + std::to_string(i) + std::string(1, '\0'));
            EXPECT_TRUE(
                prefs->addPreference(kPositions, written.back().data(), long(written.back().size()))
                    .ok());
        }
        EXPECT_TRUE(prefs->addPreference(kViewer, "viewer", 7).ok());
    }
    EXPECT_EQ(rawRecordsInFile(path, "WPOS"), written);

    auto prefs = open();
    EXPECT_EQ(prefs->getLastError(), 0);
    EXPECT_EQ(records(*prefs, kPositions), written);
    EXPECT_EQ(records(*prefs, kViewer), std::vector<std::string>{text("viewer")});
    EXPECT_TRUE(prefs->closePreferencesFile().ok());
    std::vector<std::string> problems;
    EXPECT_TRUE(checkDatabaseFile(path.c_str(), &problems)) << problems.front();
}

// The alert answers with its first button, "Cancel": the file is kept and
// the manager stays closed.
void expectInvalidFileKept(PrefManTest& test, const std::string& path) {
    std::string before = readFile(path);
    LogCapture log;
    auto prefs = test.open();
    EXPECT_TRUE(log.contains("alert \"Invalid file\": The preferences file " + path +
                             " was invalid. Would you like to overwrite the exisiting file?"))
        << log.text();
    EXPECT_FALSE(log.contains("File error"));
    EXPECT_EQ(prefs->getLastError(), 0);
    EXPECT_FALSE(prefs->isOpen());
    EXPECT_EQ(prefs->addPreference(kViewer, "x", 2).code(), kErrorNoPreferencesFile);
    char buffer[8] = "unset";
    EXPECT_EQ(prefs->readNthPreference(kViewer, 1, buffer, sizeof buffer).code(),
              kErrorNoPreferencesFile);
    prefs.reset();
    EXPECT_EQ(readFile(path), before);
}

TEST_F(PrefManTest, FilesOfAnotherTypeOrVersionAndDamagedFilesAreKept) {
    Database other;
    ASSERT_EQ(other.createDBFile(path.c_str(), typeCode("PRJ "), 2).code(), 0);
    expectInvalidFileKept(*this, path);
    ASSERT_EQ(other.createDBFile(path.c_str(), kPreferencesFileType, 1).code(), 0);
    expectInvalidFileKept(*this, path);
    writeFile(path, std::string("TPRF\0\1\0\2", 8) + std::string(12, '\xff'));
    expectInvalidFileKept(*this, path);
}

TEST_F(PrefManTest, OpenFailuresShowTheFileErrorAlert) {
    path = (home.path() / "missing" / "dir" / "test.prf").string();
    LogCapture log;
    auto prefs = open();
    EXPECT_GT(prefs->getLastError(), 0) << "an errno";
    EXPECT_TRUE(
        log.contains("alert \"File error\": An error occurred opening or creating the "
                     "preferences file " +
                     path + " ("));
}

// Records appended one at a time, to one type or to two types in turn,
// keep the file in proportion to the records; deleting half of them one by
// one and appending as many again reuses the space the deletes freed.
TEST_F(PrefManTest, FileStaysInProportionThroughAppendsAndDeletes) {
    struct Case {
        long records;
        long size;
        int types;
    };
    for (Case c : {Case{1000, 256, 1}, Case{1000, 256, 2}, Case{3000, 12, 1}, Case{100, 3000, 2}}) {
        SCOPED_TRACE(std::to_string(c.records) + " records of " + std::to_string(c.size));
        std::remove(path.c_str());
        auto prefs = open();
        const TypeCode types[] = {kPositions, kViewer};
        auto append = [&](long n) {
            std::string bytes(size_t(c.size), char('a' + n % 26));
            ASSERT_TRUE(prefs->addPreference(types[n % c.types], bytes.data(), c.size).ok());
        };
        for (long n = 0; n < c.records; ++n) append(n);
        const long data = c.records * (c.size + 4);
        const long grown = long(std::filesystem::file_size(path));
        EXPECT_LE(grown, 5 * data / 2 + 4096);

        for (long n = 0; n < c.records / 2; ++n)
            ASSERT_TRUE(prefs->deleteNthPreference(types[n % c.types], 1).ok());
        for (long n = 0; n < c.records / 2; ++n) append(n);
        long count = 0;
        for (int t = 0; t < c.types; ++t)
            count += prefs->countPreferencesOfType(types[t]).valueOr(0);
        EXPECT_EQ(count, c.records);
        EXPECT_LE(long(std::filesystem::file_size(path)), 3 * data + 4096);
        std::vector<std::string> problems;
        EXPECT_TRUE(checkDatabaseFile(path.c_str(), &problems));
    }
}

}  // namespace
