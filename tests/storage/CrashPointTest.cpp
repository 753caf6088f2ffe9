// Every kind of change to a database file, stopped after each of its writes
// in turn, as a process killed at that moment would be: the file left
// behind opens, passes okadb's check and the independent reader, and holds
// what it held before the change or after it, nothing in between.
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

const TypeCode kBlob = typeCode("BLOB");

std::string record(char fill, long length) { return std::string(size_t(length), fill); }

void add(PrefMan& prefs, const char* type, const std::string& bytes) {
    prefs.addPreference(typeCodeFromBytes(type), bytes.data(), long(bytes.size()));
}

long addBlob(PrefMan& prefs) {
    long index = 0;
    prefs.addBlock(kBlob, 8, 0, &index);
    return index;
}

// The file's content as `reader` sees it, one line per block in list order:
// its type, then its records when it is the first of its type, else its
// bytes. Free space and unused bytes are left out: they carry no content.
using View = std::vector<std::string>;

View rawView(const std::string& path) {
    RawDatabaseFile file = readRawDatabaseFile(readFile(path));
    if (!file.problem.empty()) return {"raw reader: " + file.problem};
    View view;
    std::set<std::string> seen;
    for (const RawEntry& entry : file.entries) {
        if (entry.type == "FREE" || entry.type == "----") continue;
        std::string line = entry.type + ":";
        if (seen.insert(entry.type).second) {
            std::vector<std::string> records;
            std::string problem;
            if (!readRawRecords(file, entry.type, &records, &problem)) return {"raw reader: " + problem};
            for (const std::string& r : records) line += r + "|";
        } else {
            line += file.bytes.substr(size_t(entry.offset), size_t(entry.length));
        }
        view.push_back(line);
    }
    return view;
}

View databaseView(const std::string& path) {
    Database database;
    if (long error = database.openDBFile(path.c_str(), kModeReadOnly, false))
        return {"open: " + std::to_string(error)};
    View view;
    std::set<TypeCode> seen;
    for (long k = 1; k <= database.getMPEntries(); ++k) {
        MasterPtrEntry entry;
        database.getMPEntry(k, &entry);
        if (entry.type == dbformat::kFreeType || entry.type == dbformat::kBlankType) continue;
        std::string line = printableType(entry.type) + ":";
        long error = 0;
        if (seen.insert(entry.type).second) {
            long count = 0;
            error = database.countFieldsInBlock(k, &count);
            for (long n = 1; error == 0 && n <= count; ++n) {
                char* data = nullptr;
                long length = 0;
                error = database.getField(k, n, &data, &length);
                if (error == 0) line += std::string(data, size_t(length)) + "|";
                delete[] data;
            }
        } else {
            std::string bytes(size_t(entry.length), '\0');
            error = database.readDataFromBlock(k, bytes.data(), false);
            line += bytes;
        }
        if (error != 0) return {"read: " + std::to_string(error)};
        view.push_back(line);
    }
    return view;
}

struct Change {
    const char* name;
    std::function<void(PrefMan&)> setUp;  // brings the file to where the change starts
    std::function<void(PrefMan&)> apply;
};

void noSetUp(PrefMan&) {}

const std::vector<Change>& changes() {
    static const std::vector<Change> table = {
        {"append in the slop", noSetUp, [](PrefMan& p) { add(p, "WPOS", record('n', 12)); }},
        {"append growing at the end", noSetUp, [](PrefMan& p) { add(p, "TAIL", record('t', 900)); }},
        {"append moving the block", noSetUp, [](PrefMan& p) { add(p, "HTPT", record('h', 300)); }},
        {"first record of a type", noSetUp, [](PrefMan& p) { add(p, "NEWT", record('x', 20)); }},
        {"replace a record", noSetUp,
         [](PrefMan& p) { p.writeNthPreference(typeCode("FCMP"), 3, "replaced", 9); }},
        {"delete a record", noSetUp, [](PrefMan& p) { p.deleteNthPreference(typeCode("FCMP"), 2); }},
        {"delete a type", noSetUp, [](PrefMan& p) { p.deletePreferencesOfType(typeCode("FCMP")); }},
        {"batched rewrite, growing", noSetUp,
         [](PrefMan& p) {
             std::vector<std::string> bytes(40, record('b', 256));
             std::vector<PreferenceRecord> records;
             for (const std::string& b : bytes) records.push_back({b.data(), long(b.size())});
             p.replacePreferencesOfType(typeCode("FCMP"), records.data(), long(records.size()));
         }},
        {"list growth", [](PrefMan& p) { while (p.getMPEntries() < p.getMPSlots()) addBlob(p); },
         [](PrefMan& p) { addBlob(p); }},
        {"free space reuse", [](PrefMan& p) { p.deleteBlock(addBlob(p)); },
         [](PrefMan& p) { addBlob(p); }},
        {"delete between free neighbours",
         [](PrefMan& p) {
             long before = addBlob(p);
             add(p, "MIDL", record('m', 8));
             long after = addBlob(p);
             addBlob(p);
             p.deleteBlock(before);
             p.deleteBlock(after);
         },
         [](PrefMan& p) {
             long index = 0;
             p.getNthBlockOfType(typeCode("MIDL"), 1, &index);
             p.deleteBlock(index);
         }},
        {"create over the file", noSetUp,
         [](PrefMan& p) { p.createDBFile(p.getPath(), kPreferencesFileType, 2); }},
    };
    return table;
}

class CrashPointTest : public ::testing::Test {
protected:
    void SetUp() override { path = (home.path() / "crash.prf").string(); }

    PrefMan* open() {
        return new PrefMan(kPreferencesFileType, kPreferencesVersion, path.c_str(), "preferences",
                           true);
    }

    // Records of several sizes and a block at the end of the file.
    void makeBase(const Change& change) {
        std::remove(path.c_str());
        std::unique_ptr<PrefMan> prefs(open());
        add(*prefs, "HTPT", "netscape");
        for (int i = 0; i < 8; ++i) add(*prefs, "FCMP", record(char('a' + i), 256));
        add(*prefs, "WPOS", record('w', 40));
        addBlob(*prefs);
        add(*prefs, "TAIL", record('t', 40));
        change.setUp(*prefs);
    }

    // Runs the change in a child that ends itself before its write number
    // `stopAt` (0: never); true when the change ran to its end.
    bool runUntilWrite(const Change& change, long stopAt) {
        pid_t child = fork();
        if (child == 0) {
            static long writesLeft;
            writesLeft = stopAt;
            if (stopAt > 0)
                gBeforeDatabaseWrite = [] {
                    if (--writesLeft == 0) _exit(0);
                };
            PrefMan* prefs = open();
            change.apply(*prefs);
            _exit(prefs->getLastError() == 0 ? 1 : 2);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "the change failed";
        return WIFEXITED(status) && WEXITSTATUS(status) == 1;
    }

    TempHome home;
    std::string path;
};

TEST_F(CrashPointTest, EveryWriteLeavesTheOldOrTheNewContent) {
    for (const Change& change : changes()) {
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
            EXPECT_TRUE(checkDatabaseFile(path.c_str(), &problems)) << problems.front();
            View left = rawView(path);
            EXPECT_TRUE(left == before || left == after) << left.front();
            EXPECT_EQ(databaseView(path), left);
            if (finished) {
                EXPECT_EQ(left, after);
            }
        }
    }
}

}  // namespace
