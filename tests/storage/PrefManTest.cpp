// PrefMan: records, their persistence and opening (kelvane's first start is end to end).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>

#include "RawDatabaseFile.h"
#include "TestSupport.h"
#include "storage/DatabaseCheck.h"
#include "storage/PrefMan.h"

namespace {

constexpr TypeCode kViewer = typeCode("HTPT");
constexpr TypeCode kPositions = typeCode("WPOS");

class PrefManTest : public ::testing::Test {
  public:
    std::unique_ptr<PrefMan> open(short version = 2) {
        return std::make_unique<PrefMan>(kPreferencesFileType, version, path.c_str(), "preferences",
                                         true);
    }

    // Every record of `type`, in order.
    static std::vector<std::string> records(PrefMan& prefs, TypeCode type) {
        std::vector<std::string> all;
        char buffer[64];
        for (long n = 1; n <= prefs.countPreferencesOfType(type).valueOr(0); ++n)
            all.emplace_back(
                buffer, size_t(prefs.readNthPreference(type, n, buffer, sizeof buffer).valueOr(0)));
        return all;
    }
    static std::string text(const char* value) { return std::string(value, strlen(value) + 1); }

    TempHome home;
    std::string path = (home.path() / "test.prf").string();
};

// Edited records are read back by PrefMan and, after a reopen, from the
// documented layout alone, as another program would.
TEST_F(PrefManTest, RecordsAppendReplaceDeleteAndPersist) {
    std::vector<std::string> written;
    {
        auto prefs = open();
        EXPECT_EQ(prefs->countPreferencesOfType(kPositions).code(), kErrorNoBlockOfType);
        EXPECT_TRUE(prefs->deletePreferencesOfType(kPositions).ok());
        for (int i = 0; i < 50; ++i) {
            const std::string& r = written.emplace_back("record " + std::to_string(i) + '\0');
            EXPECT_TRUE(prefs->addPreference(kPositions, r.data(), long(r.size())).ok());
        }
        // One past the end appends; further is refused.
        EXPECT_TRUE(prefs->writeNthPreference(kPositions, 51, "last", 5).ok());
        EXPECT_EQ(prefs->writeNthPreference(kPositions, 53, "gap", 4).code(), kErrorFieldRange);
        EXPECT_TRUE(prefs->writeNthPreference(kPositions, 1, "1st", 4).ok());
        EXPECT_TRUE(prefs->deleteNthPreference(kPositions, 2).ok());
        written.push_back(text("last"));
        written[0] = text("1st");
        written.erase(written.begin() + 1);
        EXPECT_EQ(records(*prefs, kPositions), written);

        // Writing the first record creates a type; emptied, its block stays and takes the next.
        EXPECT_TRUE(prefs->writeNthPreference(kViewer, 1, "viewer", 7).ok());
        EXPECT_EQ(records(*prefs, kViewer), std::vector<std::string>{text("viewer")});
        EXPECT_TRUE(prefs->deletePreferencesOfType(kViewer).ok());
        EXPECT_EQ(prefs->countPreferencesOfType(kViewer).valueOr(-1), 0);
        EXPECT_TRUE(prefs->addPreference(kViewer, "new one", 8).ok());
        EXPECT_EQ(prefs->countBlocksOfType(kViewer).valueOr(0), 1);
    }
    EXPECT_EQ(rawRecordsInFile(path, "WPOS"), written);

    auto prefs = open();
    EXPECT_EQ(prefs->getLastError(), 0);
    EXPECT_EQ(records(*prefs, kPositions), written);
    EXPECT_EQ(records(*prefs, kViewer), std::vector<std::string>{text("new one")});
    EXPECT_TRUE(prefs->closePreferencesFile().ok());
    std::vector<std::string> problems;
    EXPECT_TRUE(checkDatabaseFile(path.c_str(), &problems)) << ::testing::PrintToString(problems);
}

// The alert answers with its first button, "Cancel": the file is kept and
// the manager stays closed.
TEST_F(PrefManTest, InvalidFilesAreKeptAndUnopenableOnesReported) {
    std::vector<std::string> invalid;
    for (auto [type, version] : {std::pair{typeCode("PRJ "), 2}, {kPreferencesFileType, 1}}) {
        ASSERT_EQ(Database().createDBFile(path.c_str(), type, short(version)).code(), 0);
        invalid.push_back(readFile(path));
    }
    invalid.push_back(std::string("TPRF\0\1\0\2", 8) + std::string(12, '\xff'));
    for (const std::string& before : invalid) {
        writeFile(path, before);
        LogCapture log;
        auto prefs = open();
        EXPECT_TRUE(log.contains("alert \"Invalid file\": The preferences file " + path +
                                 " was invalid. Would you like to overwrite the exisiting file?"))
            << log.text();
        EXPECT_FALSE(log.contains("File error"));
        EXPECT_FALSE(prefs->isOpen());
        char buffer[8] = "unset";
        EXPECT_EQ(
            (std::vector<long>{prefs->getLastError(), prefs->addPreference(kViewer, "x", 2).code(),
                               prefs->readNthPreference(kViewer, 1, buffer, sizeof buffer).code()}),
            (std::vector<long>{0, kErrorNoPreferencesFile, kErrorNoPreferencesFile}));
        prefs.reset();
        EXPECT_EQ(readFile(path), before);
    }

    // A file that cannot be opened or made at all is a file error, with its errno.
    path = (home.path() / "missing" / "dir" / "test.prf").string();
    LogCapture log;
    auto prefs = open();
    EXPECT_GT(prefs->getLastError(), 0) << "an errno";
    EXPECT_TRUE(
        log.contains("alert \"File error\": An error occurred opening or creating the "
                     "preferences file " +
                     path + " ("));
}

// Appends to one type or to two in turn keep the file in proportion to the records;
// deleting half one by one and appending as many again reuses the freed space.
TEST_F(PrefManTest, FileStaysInProportionThroughAppendsAndDeletes) {
    // Records, their size, and the number of types they alternate between.
    for (auto [records, size, typeCount] :
         {std::tuple{1000L, 256L, 1L}, {1000L, 256L, 2L}, {3000L, 12L, 1L}, {100L, 3000L, 2L}}) {
        SCOPED_TRACE(std::to_string(records) + " records of " + std::to_string(size));
        std::remove(path.c_str());
        auto prefs = open();
        const TypeCode types[] = {kPositions, kViewer};
        auto append = [&](long n) {
            std::string bytes(size_t(size), char('a' + n % 26));
            ASSERT_TRUE(prefs->addPreference(types[n % typeCount], bytes.data(), size).ok());
        };
        for (long n = 0; n < records; ++n) append(n);
        const long data = records * (size + 4);
        EXPECT_LE(long(std::filesystem::file_size(path)), 5 * data / 2 + 4096);

        for (long n = 0; n < records / 2; ++n)
            ASSERT_TRUE(prefs->deleteNthPreference(types[n % typeCount], 1).ok());
        for (long n = 0; n < records / 2; ++n) append(n);
        EXPECT_EQ(prefs->countPreferencesOfType(kPositions).valueOr(0) +
                      prefs->countPreferencesOfType(kViewer).valueOr(0),
                  records);
        EXPECT_LE(long(std::filesystem::file_size(path)), 3 * data + 4096);
        std::vector<std::string> problems;
        EXPECT_TRUE(checkDatabaseFile(path.c_str(), &problems))
            << ::testing::PrintToString(problems);
    }
}

}  // namespace
