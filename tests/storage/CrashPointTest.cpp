// Every change to a database file, stopped before each of its writes in turn as a
// killed process would be, leaves a sound file holding the old or the new content.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "RawDatabaseFile.h"
#include "TestSupport.h"
#include "storage/DatabaseCheck.h"
#include "storage/PrefMan.h"

namespace {

Status add(PrefMan& prefs, const char* type, const std::string& bytes) {
    return prefs.addPreference(typeCodeFromBytes(type), bytes.data(), long(bytes.size()));
}

Result<long> addBlob(PrefMan& prefs) {
    return prefs.addBlock(typeCode("BLOB"), 8, 0);
}

// The content as the independent reader sees it: per block in list order, its type and
// records (the first of a type) or bytes; free space and slop carry no content.
using View = std::vector<std::string>;

View rawView(const std::string& path) {
    RawDatabaseFile file = readRawDatabaseFile(readFile(path));
    if (!file.problem.empty()) return {"raw reader: " + file.problem};
    View view;
    std::set<std::string> seen;
    for (const RawEntry& entry : file.entries) {
        if (entry.type == "FREE" || entry.type == "----") continue;
        std::string line = entry.type + ":", problem;
        std::vector<std::string> records;
        if (!seen.insert(entry.type).second)
            line += file.bytes.substr(size_t(entry.offset), size_t(entry.length));
        else if (!readRawRecords(file, entry.type, &records, &problem))
            return {"raw reader: " + problem};
        for (const std::string& r : records) line += r + "|";
        view.push_back(line);
    }
    return view;
}

struct Change {
    const char* name;
    std::function<Status(PrefMan&)> apply;     // the change, with its outcome
    std::function<void(PrefMan&)> setUp = {};  // brings the file to where the change starts
};

class CrashPointTest : public ::testing::Test {
  protected:
    PrefMan* open() {
        return new PrefMan(kPreferencesFileType, kPreferencesVersion, path.c_str(), "preferences",
                           true);
    }

    // Records of several sizes and a block at the end of the file.
    void makeBase(const Change& change) {
        std::remove(path.c_str());
        std::unique_ptr<PrefMan> prefs(open());
        EXPECT_TRUE(add(*prefs, "HTPT", "netscape").ok());
        for (int i = 0; i < 8; ++i)
            EXPECT_TRUE(add(*prefs, "FCMP", std::string(256, char('a' + i))).ok());
        EXPECT_TRUE(add(*prefs, "WPOS", std::string(40, 'w')).ok());
        EXPECT_TRUE(addBlob(*prefs).ok());
        EXPECT_TRUE(add(*prefs, "TAIL", std::string(40, 't')).ok());
        if (change.setUp) change.setUp(*prefs);
    }

    // Runs the change in a child that ends itself before its write number
    // `stopAt` (0: never); true when the change ran to its end.
    bool runUntilWrite(const Change& change, long stopAt) {
        pid_t child = fork();
        if (child == 0) {
            static long writesLeft;
            writesLeft = stopAt;  // at 0 the count goes negative and never stops the change
            gBeforeDatabaseWrite = [] {
                if (--writesLeft == 0) _exit(0);
            };
            _exit(change.apply(*open()).ok() ? 1 : 2);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "the change failed";
        return WIFEXITED(status) && WEXITSTATUS(status) == 1;
    }

    TempHome home;
    std::string path = (home.path() / "crash.prf").string();
};

TEST_F(CrashPointTest, EveryWriteLeavesTheOldOrTheNewContent) {
    const std::vector<Change> changes = {
        {"append in the slop", [](PrefMan& p) { return add(p, "WPOS", std::string(12, 'n')); }},
        {"append growing at the end",
         [](PrefMan& p) { return add(p, "TAIL", std::string(900, 't')); }},
        {"append moving the block",
         [](PrefMan& p) { return add(p, "HTPT", std::string(300, 'h')); }},
        {"first record of a type", [](PrefMan& p) { return add(p, "NEWT", std::string(20, 'x')); }},
        {"replace a record",
         [](PrefMan& p) { return p.writeNthPreference(typeCode("FCMP"), 3, "replaced", 9); }},
        {"delete a record", [](PrefMan& p) { return p.deleteNthPreference(typeCode("FCMP"), 2); }},
        {"delete a type", [](PrefMan& p) { return p.deletePreferencesOfType(typeCode("FCMP")); }},
        {"batched rewrite, growing",
         [](PrefMan& p) {
             std::vector<std::string> bytes(40, std::string(256, 'b'));
             std::vector<PreferenceRecord> records;
             for (const std::string& b : bytes) records.push_back({b.data(), long(b.size())});
             return p.replacePreferencesOfType(typeCode("FCMP"), records.data(),
                                               long(records.size()));
         }},
        {"list growth", [](PrefMan& p) { return addBlob(p).status(); },
         [](PrefMan& p) {
             while (p.getMPEntries() < p.getMPSlots()) ASSERT_TRUE(addBlob(p).ok());
         }},
        {"free space reuse", [](PrefMan& p) { return addBlob(p).status(); },
         [](PrefMan& p) { EXPECT_TRUE(p.deleteBlock(addBlob(p).valueOr(0)).ok()); }},
        {"delete between free neighbours",
         [](PrefMan& p) {
             Result<long> middle = p.getNthBlockOfType(typeCode("MIDL"), 1);
             return middle.ok() ? p.deleteBlock(middle.value()) : middle.status();
         },
         [](PrefMan& p) {
             long before = addBlob(p).valueOr(0);
             EXPECT_TRUE(add(p, "MIDL", std::string(8, 'm')).ok());
             long after = addBlob(p).valueOr(0);
             EXPECT_TRUE(addBlob(p).ok());
             EXPECT_TRUE(p.deleteBlock(before).ok());
             EXPECT_TRUE(p.deleteBlock(after).ok());
         }},
        {"create over the file",
         [](PrefMan& p) { return p.createDBFile(p.getPath(), kPreferencesFileType, 2); }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        makeBase(change);
        const std::string base = readFile(path);
        const View before = rawView(path);
        runUntilWrite(change, 0);
        const View after = rawView(path);
        ASSERT_NE(before, after) << "the change changes nothing";

        bool finished = false;
        for (long stopAt = 1; !finished; ++stopAt) {
            SCOPED_TRACE("stopped before write " + std::to_string(stopAt));
            ASSERT_LT(stopAt, 100) << "the change never ends";
            writeFile(path, base);
            finished = runUntilWrite(change, stopAt);
            std::vector<std::string> problems;
            EXPECT_TRUE(checkDatabaseFile(path.c_str(), &problems))
                << ::testing::PrintToString(problems);
            View left = rawView(path);
            // The old content only while the change has not finished.
            EXPECT_TRUE(left == after || (left == before && !finished)) << left.front();
        }
    }
}

}  // namespace
