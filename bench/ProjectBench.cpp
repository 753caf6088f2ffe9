// Figures for the project at scale, measured against an in-process Tool
// Manager with scripted tools in child processes answering 'IDFB' (the
// tool library's batches) or, as tools built before it, only 'IDFL':
//   - loading a project of 10,000 files with no tools running and the files
//     absent from disk, against SQLite reading the same paths from a table
//     (the sqlite3 program, when installed, and the library in-process)
//   - loading a project of 1,000, 10,000 and 100,000 files identified by two
//     tools, with the peak resident size of this process (which holds the
//     Tool Manager) during the load; 1,000 and 10,000 also file by file
//   - adding one file (identified by the tools, saved) to such a project
//   - building a project up to 1,000 files one 'ADDF' at a time, and the
//     project file's size at the end
//   - 'RSLV' with 50 project paths, resolved in the last one
#include <fcntl.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchScale.h"
#include "ScriptedTool.h"
#include "TestSupport.h"
#include "ToolManagerHarness.h"
#include "core/Log.h"
#include "projects/GlobalPathManager.h"
#include "projects/ProjectManager.h"
#include "projects/ProjectRecords.h"
#include "storage/PrefMan.h"

extern char** environ;

namespace {
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// "<stem><n><extension>", built with snprintf: g++ 12 warns falsely about
// string concatenations of this shape in optimised builds.
std::string numberedName(const char* stem, int n, const char* extension) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%d%s", stem, n, extension);
    return name;
}

// A figure measured over a failed operation would mean nothing: stop.
void mustSucceed(Status outcome, const char* what) {
    if (outcome.ok()) return;
    std::fprintf(stderr, "bench: %s failed (%d)\n", what, int(outcome.code()));
    std::exit(1);
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Two tools: the first recognises agents (.qa), the second headers (.qh).
struct TwoTools {
    explicit TwoTools(ToolManagerHarness& harness,
                      ScriptedTool::Library library = ScriptedTool::Library::batches)
        : agents("", "agents", typeCode("AGNT"),
                 {{".qa", IdentifyRule::recognise, "Quenta agent", typeCode("QAGT"), "Agents"}},
                 library),
          headers("", "headers", typeCode("HDRS"),
                  {{".qh", IdentifyRule::recognise, "Quenta header", typeCode("QHDR"), ""}},
                  library) {
        harness.registerTool(agents.info);
        harness.registerTool(headers.info);
    }
    ScriptedTool agents;
    ScriptedTool headers;
};

// `count` files, alternately agents and headers, stored as the 'FCMP'
// records of the current project; written to disk when `onDisk` is true.
std::vector<std::string> makeProjectFiles(const fs::path& directory, int count,
                                          bool onDisk = true) {
    fs::create_directories(directory);
    std::vector<std::string> paths;
    std::vector<uint8_t> records(size_t(count) * kFileRecordSize);
    std::vector<PreferenceRecord> list;
    for (int n = 0; n < count; ++n) {
        std::string path = (directory / numberedName("file", n, n % 2 ? ".qh" : ".qa")).string();
        if (onDisk) writeFile(path, "text\n");
        paths.push_back(path);
        uint8_t* record = records.data() + size_t(n) * kFileRecordSize;
        encodeFileRecord(path.c_str(), record);
        list.push_back({reinterpret_cast<const char*>(record), kFileRecordSize});
    }
    mustSucceed(gProjectManager->getProjectFile().replacePreferencesOfType(kFileRecord, list.data(),
                                                                           long(list.size())),
                "writing the file records");
    return paths;
}

// Milliseconds the sqlite3 program needs to print every path of the table
// (to /dev/null), or a negative value when it is not installed.
double sqliteProgramReadsPaths(const fs::path& file) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::string database = file.string();
    char program[] = "sqlite3";
    char query[] = "SELECT path FROM files";
    char* arguments[] = {program, database.data(), query, nullptr};
    auto start = Clock::now();
    pid_t child = 0;
    int status = -1;
    if (posix_spawnp(&child, program, &actions, nullptr, arguments, environ) == 0)
        waitpid(child, &status, 0);
    double elapsed = millisecondsSince(start);
    posix_spawn_file_actions_destroy(&actions);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? elapsed : -1;
}

// Milliseconds SQLite needs to open a database and read `paths` back from
// a table of one text column, in this process.
double sqliteReadPaths(const fs::path& file, const std::vector<std::string>& paths) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE files (path TEXT); BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO files VALUES (?)", -1, &insert, nullptr);
    for (const std::string& path : paths) {
        sqlite3_bind_text(insert, 1, path.c_str(), -1, SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);

    auto start = Clock::now();
    sqlite3_open(file.c_str(), &db);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT path FROM files", -1, &select, nullptr);
    std::vector<std::string> read;
    while (sqlite3_step(select) == SQLITE_ROW)
        read.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(select, 0)));
    sqlite3_finalize(select);
    sqlite3_close(db);
    double elapsed = millisecondsSince(start);
    if (read != paths) std::printf("  SQLite read back other paths!\n");
    return elapsed;
}

// A project whose files are all missing, loaded with no tool to ask: what
// is left is reading the project file, one existence check per file and
// filing the files into their list.
void loadWithoutTools(int count) {
    ToolManagerHarness harness;
    const TempHome& home = harness.home;
    gOKALogStream = nullptr;  // the figures leave out writing the log
    mustSucceed(gProjectManager->loadProject((home.path() / "absent.prj").c_str(), true),
                "loading the project");
    std::vector<std::string> paths = makeProjectFiles(home.path() / "src", count, false);
    // Warm the file cache as SQLite's is.
    mustSucceed(gProjectManager->loadProject(nullptr, false), "loading the project");
    auto start = Clock::now();
    mustSucceed(gProjectManager->loadProject(nullptr, false), "loading the project");
    double load = millisecondsSince(start);
    double library = sqliteReadPaths(home.path() / "paths.sqlite", paths);
    double program = sqliteProgramReadsPaths(home.path() / "paths.sqlite");
    std::printf("load %5d absent files, no tools:   %9.1f ms\n", count, load);
    std::printf(
        "  the sqlite3 program reads the paths in %.1f ms (load %.1fx); the SQLite library "
        "in this process in %.1f ms (load %.1fx)\n",
        program, load / program, library, load / library);
}

// The peak resident size of this process since the last resetPeakResidentSize, in MB.
double peakResidentMegabytes() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    long kilobytes = 0;
    char line[256];
    while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr)
        std::sscanf(line, "VmHWM: %ld kB", &kilobytes);
    if (status != nullptr) std::fclose(status);
    return kilobytes / 1024.0;
}

void resetPeakResidentSize() {
    if (std::FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", refs);
        std::fclose(refs);
    }
}

void loadAndAdd(int count, ScriptedTool::Library library = ScriptedTool::Library::batches) {
    bool fileByFile = library == ScriptedTool::Library::fileByFile;
    ToolManagerHarness harness;
    const TempHome& home = harness.home;
    gOKALogStream = nullptr;  // the figures leave out writing the log
    mustSucceed(gProjectManager->loadProject((home.path() / "big.prj").c_str(), true),
                "loading the project");
    makeProjectFiles(home.path() / "src", count);
    TwoTools tools(harness, library);

    // Reopening the stored project reads and identifies it as a start does.
    double waitedBefore = gProjectManager->getIdentifyWaitMs();
    resetPeakResidentSize();
    auto start = Clock::now();
    mustSucceed(gProjectManager->loadProject(nullptr, false), "loading the project");
    double load = millisecondsSince(start);
    double peak = peakResidentMegabytes();
    double waited = gProjectManager->getIdentifyWaitMs() - waitedBefore;
    std::printf("load %6d files, 2 tools%s: %9.1f ms  (%.4f ms per file), peak resident %.1f MB\n",
                count, fileByFile ? ", file by file" : " in batches  ", load, load / count, peak);
    std::printf("  waiting for the tools %.1f ms, everything else %.1f ms (%.1f%%)\n", waited,
                load - waited, 100 * (load - waited) / load);
    if (count > 10000) return;  // adding is measured on the smaller projects

    constexpr int kAdds = 5;
    double worst = 0;
    double total = 0;
    for (int n = 0; n < kAdds; ++n) {
        std::string path = (home.path() / "src" / numberedName("added", n, ".qa")).string();
        writeFile(path, "text\n");
        start = Clock::now();
        mustSucceed(gProjectManager->addFileToProject(path.c_str()), "adding a file");
        double once = millisecondsSince(start);
        total += once;
        worst = std::max(worst, once);
    }
    std::printf("add 1 file to %6d%s, identify + save: %6.1f ms mean, %.1f ms worst of %d\n", count,
                fileByFile ? " (file by file)" : "", total / kAdds, worst, kAdds);
}

void buildUp(int count) {
    ToolManagerHarness harness;
    const TempHome& home = harness.home;
    gOKALogStream = nullptr;  // the figures leave out writing the log
    fs::path project = home.path() / "grown.prj";
    mustSucceed(gProjectManager->loadProject(project.c_str(), true), "loading the project");
    TwoTools tools(harness);
    fs::create_directories(home.path() / "src");
    auto start = Clock::now();
    for (int n = 0; n < count; ++n) {
        std::string path =
            (home.path() / "src" / numberedName("f", n, n % 2 ? ".qh" : ".qa")).string();
        writeFile(path, "text\n");
        auto* add = new Message(typeCode("ADDF"), nullptr);
        add->addTextParam(path.c_str());
        harness.deliver(add);
    }
    double total = millisecondsSince(start);
    std::printf("build %d files by ADDF:              %9.1f ms  (%.2f ms per ADDF)\n", count, total,
                total / count);
    std::printf("  project file size %ju bytes (records %d bytes)\n",
                static_cast<uintmax_t>(fs::file_size(project)), count * int(kFileRecordSize));
}

void resolveWithPaths(int pathCount) {
    ToolManagerHarness harness;
    const TempHome& home = harness.home;
    gOKALogStream = nullptr;  // the figures leave out writing the log
    mustSucceed(gProjectManager->loadProject((home.path() / "paths.prj").c_str(), true),
                "loading the project");
    for (int n = 0; n < pathCount; ++n) {
        fs::path directory = home.path() / numberedName("dir", n, "");
        fs::create_directories(directory);
        gGlobalPathManager->addUniquePath(directory.c_str());
    }
    writeFile(home.path() / numberedName("dir", pathCount - 1, "") / "last.qa", "x");
    const int kRounds = benchCount(1000, 10);
    auto start = Clock::now();
    for (int n = 0; n < kRounds; ++n) {
        auto* resolve = new Message(typeCode("RSLV"), nullptr);
        resolve->addTextParam("last.qa");
        harness.deliver(resolve);
    }
    double total = millisecondsSince(start);
    std::printf("RSLV with %d paths, found in the last: %8.3f ms per request\n", pathCount,
                total / kRounds);
}
}  // namespace

// With "file-by-file <count>" it runs only that load, for a profiler.
int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "file-by-file") == 0) {
        loadAndAdd(std::atoi(argv[2]), ScriptedTool::Library::fileByFile);
        return 0;
    }
    loadWithoutTools(benchCount(10000, 20));
    loadAndAdd(benchCount(1000, 20));
    if (!benchIsSmokeRun()) {
        loadAndAdd(10000);
        loadAndAdd(100000);
    }
    loadAndAdd(benchCount(1000, 20), ScriptedTool::Library::fileByFile);
    if (!benchIsSmokeRun()) loadAndAdd(10000, ScriptedTool::Library::fileByFile);
    buildUp(benchCount(1000, 20));
    resolveWithPaths(benchCount(50, 2));
    return 0;
}
