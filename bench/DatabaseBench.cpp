// Preference records against SQLite: N records of 256 bytes of one type are
// added one by one, read back one by one, and rewritten the way a project
// save does it (delete the type, then add N). SQLite runs with
// synchronous=OFF and journal_mode=MEMORY, once with one statement per
// record (autocommit) and once with each phase in one transaction.
//
// usage: storage_database_bench [DIRECTORY] [N ...]   (default: /tmp 1000 10000)
// The files are removed afterwards; their sizes are printed, as appending
// one record at a time must keep the record store's file in proportion to
// its records.
#include <sqlite3.h>

#include <sys/stat.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "BenchScale.h"
#include "storage/PrefMan.h"

namespace {

constexpr long kRecordSize = 256;
constexpr TypeCode kRecordType = typeCode("FCMP");

struct Phases {
    double add = 0;  // milliseconds
    double read = 0;
    double rewrite = 0;
    long fileSize = 0;  // bytes at the end
};

class Stopwatch {
  public:
    double elapsedMs() const {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count();
    }

  private:
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

long fileSize(const std::string& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 ? long(status.st_size) : -1;
}

// Record n's bytes: distinct per record so that reads can be checked.
std::vector<char> recordBytes(long n) {
    std::vector<char> bytes(kRecordSize, char('a' + n % 26));
    std::snprintf(bytes.data(), bytes.size(), "record %ld", n);
    return bytes;
}

bool fail(const char* what) {
    std::fprintf(stderr, "bench: %s failed\n", what);
    return false;
}

bool runRecordStore(const std::string& path, long n, Phases* phases) {
    std::remove(path.c_str());
    auto store = std::make_unique<PrefMan>(typeCode("PRJ "), 1, path.c_str(), "project", true);
    if (store->getLastError() != 0) return fail("opening the record store");

    Stopwatch add;
    for (long i = 1; i <= n; ++i) {
        if (!store->addPreference(kRecordType, recordBytes(i).data(), kRecordSize).ok())
            return fail("adding records");
    }
    phases->add = add.elapsedMs();

    std::vector<char> buffer(kRecordSize);
    Stopwatch read;
    for (long i = 1; i <= n; ++i) {
        if (store->readNthPreference(kRecordType, i, buffer.data(), kRecordSize).valueOr(0) !=
                kRecordSize ||
            buffer != recordBytes(i))
            return fail("reading records");
    }
    phases->read = read.elapsedMs();

    Stopwatch rewrite;
    bool rewritten = store->deletePreferencesOfType(kRecordType).ok();
    for (long i = 1; i <= n && rewritten; ++i)
        rewritten = store->addPreference(kRecordType, recordBytes(i).data(), kRecordSize).ok();
    phases->rewrite = rewrite.elapsedMs();
    if (!rewritten || store->countPreferencesOfType(kRecordType).valueOr(0) != n)
        return fail("rewriting records");
    if (!store->closePreferencesFile().ok()) return fail("closing the record store");
    phases->fileSize = fileSize(path);
    std::remove(path.c_str());
    return true;
}

// One SQLite database with the table of records and its prepared statements.
class SqliteStore {
  public:
    explicit SqliteStore(const std::string& path) {
        std::remove(path.c_str());
        ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK && exec("PRAGMA synchronous=OFF") &&
             exec("PRAGMA journal_mode=MEMORY") &&
             exec(
                 "CREATE TABLE records (type INTEGER, n INTEGER, data BLOB, "
                 "PRIMARY KEY (type, n))") &&
             prepare("INSERT INTO records VALUES (?, ?, ?)", &insert) &&
             prepare("SELECT data FROM records WHERE type = ? AND n = ?", &select);
    }
    ~SqliteStore() {
        sqlite3_finalize(insert);
        sqlite3_finalize(select);
        sqlite3_close(db);
    }

    bool exec(const char* sql) {
        return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    }

    bool add(long n) {
        std::vector<char> bytes = recordBytes(n);
        sqlite3_bind_int64(insert, 1, kRecordType);
        sqlite3_bind_int64(insert, 2, n);
        sqlite3_bind_blob(insert, 3, bytes.data(), int(kRecordSize), SQLITE_TRANSIENT);
        bool done = sqlite3_step(insert) == SQLITE_DONE;
        sqlite3_reset(insert);
        return done;
    }

    bool read(long n, std::vector<char>* buffer) {
        sqlite3_bind_int64(select, 1, kRecordType);
        sqlite3_bind_int64(select, 2, n);
        bool found = sqlite3_step(select) == SQLITE_ROW &&
                     sqlite3_column_bytes(select, 0) == int(kRecordSize);
        if (found) std::memcpy(buffer->data(), sqlite3_column_blob(select, 0), kRecordSize);
        sqlite3_reset(select);
        return found;
    }

    bool ok = false;

  private:
    bool prepare(const char* sql, sqlite3_stmt** statement) {
        return sqlite3_prepare_v2(db, sql, -1, statement, nullptr) == SQLITE_OK;
    }

    sqlite3* db = nullptr;
    sqlite3_stmt* insert = nullptr;
    sqlite3_stmt* select = nullptr;
};

bool runSqlite(const std::string& path, long n, bool oneTransaction, Phases* phases) {
    bool result = true;
    {
        SqliteStore store(path);
        if (!store.ok) return fail("opening SQLite");
        auto begin = [&] { return !oneTransaction || store.exec("BEGIN"); };
        auto commit = [&] { return !oneTransaction || store.exec("COMMIT"); };

        Stopwatch add;
        bool done = begin();
        for (long i = 1; done && i <= n; ++i) done = store.add(i);
        done = done && commit();
        phases->add = add.elapsedMs();
        if (!done) return fail("SQLite insert");

        std::vector<char> buffer(kRecordSize);
        Stopwatch read;
        done = begin();
        for (long i = 1; done && i <= n; ++i)
            done = store.read(i, &buffer) && buffer == recordBytes(i);
        done = done && commit();
        phases->read = read.elapsedMs();
        if (!done) return fail("SQLite select");

        Stopwatch rewrite;
        std::string deleteType = "DELETE FROM records WHERE type = " + std::to_string(kRecordType);
        done = begin() && store.exec(deleteType.c_str());
        for (long i = 1; done && i <= n; ++i) done = store.add(i);
        done = done && commit();
        phases->rewrite = rewrite.elapsedMs();
        result = done || fail("SQLite rewrite");
    }
    phases->fileSize = fileSize(path);
    std::remove(path.c_str());
    return result;
}

void printRow(const char* name, const Phases& phases, const Phases& reference) {
    std::printf("  %-26s add %10.1f ms  read %10.1f ms  rewrite %10.1f ms  file %11ld bytes\n",
                name, phases.add, phases.read, phases.rewrite, phases.fileSize);
    if (&phases == &reference) return;
    std::printf("  %-26s add %10.2fx    read %10.2fx    rewrite %10.2fx\n", "  record store / this",
                reference.add / phases.add, reference.read / phases.read,
                reference.rewrite / phases.rewrite);
}

}  // namespace

int main(int argc, char** argv) {
    std::string directory = argc > 1 ? argv[1] : "/tmp";
    std::vector<long> sizes;
    for (int i = 2; i < argc; ++i) sizes.push_back(std::atol(argv[i]));
    if (sizes.empty())
        sizes = benchIsSmokeRun() ? std::vector<long>{100} : std::vector<long>{1000, 10000};

    for (long n : sizes) {
        Phases store;
        Phases perStatement;
        Phases transaction;
        if (!runRecordStore(directory + "/bench-records.prj", n, &store) ||
            !runSqlite(directory + "/bench-statement.sqlite", n, false, &perStatement) ||
            !runSqlite(directory + "/bench-transaction.sqlite", n, true, &transaction))
            return 1;
        std::printf("N = %ld records of %ld bytes\n", n, kRecordSize);
        printRow("record store (PrefMan)", store, store);
        printRow("SQLite, per statement", perStatement, store);
        printRow("SQLite, one transaction", transaction, store);
    }
    return 0;
}
