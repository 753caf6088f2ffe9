// The preferences file seen from outside: kelvane creates a sound one, and
// neither it nor okadb crashes on a damaged one. Many kelvanes run side by
// side, each in its own home, because every shut-down takes three seconds.
#include <gtest/gtest.h>

#include <csignal>
#include <optional>

#include "KelvaneHarness.h"
#include "RawDatabaseFile.h"
#include "core/ByteOrder.h"
#include "kelvane/ToolManagerApp.h"
#include "storage/PrefMan.h"

namespace {

namespace fs = std::filesystem;

constexpr long kNoReply = -100000;
constexpr int kStartMs = 20000;
constexpr int kExitMs = 20000;

// Sanitizer reports end the child with a signal, so that they are told
// apart from okadb's exit status 1.
std::string withAbortOnError(const char* variable) {
    const char* current = std::getenv(variable);
    std::string options = current != nullptr && *current != '\0' ? current + std::string(":") : "";
    return std::string(variable) + "=" + options + "abort_on_error=1";
}

fs::path preferencesOf(const KelvaneHarness& hub) {
    return hub.home.okaDirectory() / "kelvane.prf";
}

// A damaged copy of a sound preferences file.
struct Damage {
    std::string name;
    std::string bytes;
};

using Hubs = std::vector<std::unique_ptr<KelvaneHarness>>;

class PreferencesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The tool sides bind near the well-known port.
        writeFile(home.okaDirectory() / "okaport", std::to_string(kToolManagerPort));
    }

    // Starts kelvane without waiting, in a fresh home whose preferences file
    // holds `preferences` when given.
    void startHub(Hubs& hubs, const std::string& name,
                  const std::optional<std::string>& preferences = {}) {
        auto hub = std::make_unique<KelvaneHarness>(home.path() / "homes" / name, root);
        if (preferences) writeFile(preferencesOf(*hub), *preferences);
        hub->launch({withAbortOnError("ASAN_OPTIONS"), withAbortOnError("UBSAN_OPTIONS")});
        hubs.push_back(std::move(hub));
    }

    // The error of kelvane's reply to 'SHOW', or kNoReply. Asked again
    // while kelvane may still be starting: many start side by side.
    static long show(KelvaneHarness& hub) {
        if (!hub.waitUntilListening(kStartMs)) return kNoReply;
        long shown = kNoReply;
        hub.waitUntil(
            [&] {
                std::unique_ptr<Message> reply = hub.ask(newRequest("SHOW"), 2000);
                if (reply && reply->paramCount == 1) shown = reply->getLongParam(0);
                return shown != kNoReply;
            },
            kStartMs);
        return shown;
    }

    // Asks every hub for 'SHOW', then ends them all with SIGTERM, so that
    // their shut-downs overlap. Each reply's error and exit status.
    using Outcome = std::pair<long, int>;
    static std::vector<Outcome> showAndStop(const Hubs& hubs) {
        std::vector<Outcome> outcomes;
        for (const auto& hub : hubs) {
            outcomes.emplace_back(show(*hub), 0);
            hub->kelvane->signal(SIGTERM);
        }
        for (size_t k = 0; k < hubs.size(); ++k)
            outcomes[k].second = hubs[k]->kelvane->waitForExit(kExitMs);
        return outcomes;
    }

    // A preferences file that kelvane has used: a help viewer, window
    // positions and a current project, written by the storage library.
    std::string samplePreferences() {
        std::string path = (home.path() / "sample.prf").string();
        {
            PrefMan prefs(kPreferencesFileType, kPreferencesVersion, path.c_str(), "preferences",
                          true);
            EXPECT_TRUE(prefs.addPreference(typeCode("HTPT"), "okahelp", 8).ok());
            for (char window : {'1', '2', '3'}) {
                char position[12] = {'W', 'I', 'N', window, 0, 10, 0, 20, 1, 0, 0, 100};
                EXPECT_TRUE(prefs.addPreference(typeCode("WPOS"), position, sizeof position).ok());
            }
            EXPECT_TRUE(prefs.addPreference(typeCode("CPRJ"), "demo.prj", 9).ok());
        }
        return readFile(path);
    }

    TempHome home;
    fs::path root = makeInstallation(home.path());
};

std::string withWord(std::string bytes, long offset, uint32_t value) {
    putBigEndian32(reinterpret_cast<uint8_t*>(bytes.data() + offset), value);
    return bytes;
}

// One or two of each kind of damage: truncations, header words, the list's
// counts, master pointer entries and the fields of a record block (the
// storage tests go through every kind on the same code).
std::vector<Damage> damagedCopies(const std::string& sample) {
    RawDatabaseFile file = readRawDatabaseFile(sample);
    const long list = file.listOffset;
    auto entry = [&](const std::string& type) {
        for (size_t k = 0; k < file.entries.size(); ++k)
            if (file.entries[k].type == type) return list + 8 + long(k) * 16;
        ADD_FAILURE() << "no entry '" << type << "' in the sample";
        return list + 8;
    };
    auto block = [&](const std::string& type) { return rawWord32(sample, entry(type) + 12); };
    const uint32_t size = uint32_t(sample.size());
    return {
        {"empty", ""},
        {"cut in the header", sample.substr(0, 13)},
        {"cut in an entry", sample.substr(0, size_t(entry("WPOS")) + 9)},
        {"cut before the last byte", sample.substr(0, size - 1)},
        {"list offset beyond the end", withWord(sample, 12, 0xFFFFFFF0u)},
        {"file length too small", withWord(sample, 16, 8)},
        {"more entries than slots", withWord(sample, list, uint32_t(file.slots) + 1)},
        {"block offset beyond the end", withWord(sample, entry("HTPT") + 12, 0xFFFFFFF0u)},
        {"block over the list", withWord(sample, entry("WPOS") + 12, uint32_t(list))},
        {"huge record count", withWord(sample, block("WPOS"), 0x7FFFFFFFu)},
        {"record length overrun", withWord(sample, block("WPOS") + 4, 0xFFFFFFF0u)},
    };
}

TEST_F(PreferencesTest, FirstStartCreatesASoundPreferencesFile) {
    Hubs hubs;
    startHub(hubs, "first");
    KelvaneHarness& hub = *hubs[0];
    ASSERT_EQ(showAndStop(hubs), std::vector{Outcome(0, 0)});
    ASSERT_TRUE(fs::exists(preferencesOf(hub)));

    ChildProcess check(builtProgram("okadb"), {"check", preferencesOf(hub).string()}, {});
    EXPECT_EQ(check.waitForExit(kExitMs), 0);

    RawDatabaseFile file = readRawDatabaseFile(readFile(preferencesOf(hub)));
    EXPECT_EQ(file.problem, "");
    EXPECT_EQ(file.type, "TPRF");
    EXPECT_EQ(file.dataVersion, 2);
    EXPECT_EQ(file.flags & 1, 0) << "the in-use bit is neither honoured nor set";
    EXPECT_EQ(hub.log().find("alert"), std::string::npos) << hub.log();
}

// kelvane still answers and stops cleanly; an invalid file it was not
// allowed to overwrite is left exactly as it was.
TEST_F(PreferencesTest, InvalidAndDamagedFilesNeverCrashKelvane) {
    std::vector<Damage> damages = damagedCopies(samplePreferences());
    Hubs hubs;
    for (size_t k = 0; k < damages.size(); ++k)
        startHub(hubs, "damage" + std::to_string(k), damages[k].bytes);
    std::vector<Outcome> outcomes = showAndStop(hubs);
    for (size_t k = 0; k < damages.size(); ++k) {
        SCOPED_TRACE(damages[k].name);
        const KelvaneHarness& hub = *hubs[k];
        EXPECT_EQ(outcomes[k], Outcome(0, 0)) << hub.log();
        std::string left = readFile(preferencesOf(hub));
        if (hub.log().find("alert \"Invalid file\"") != std::string::npos) {
            EXPECT_TRUE(left == damages[k].bytes) << "an invalid file was changed without consent";
        }
        // What kelvane writes into a file it could open does not spread the damage.
        EXPECT_EQ(readRawDatabaseFile(left).problem, readRawDatabaseFile(damages[k].bytes).problem);
    }
}

// Exit status 0, 1 or 2 whatever the damage; a sanitizer report or a crash
// ends okadb with a signal. Leaks are left to the storage tests, which read
// the same files in process.
TEST_F(PreferencesTest, DamagedFilesNeverCrashOkadb) {
    const std::string okadb = "env '" + withAbortOnError("ASAN_OPTIONS") + ":detect_leaks=0' '" +
                              withAbortOnError("UBSAN_OPTIONS") + "' '" +
                              builtProgram("okadb").string() + "' ";
    for (const Damage& damage : damagedCopies(samplePreferences())) {
        fs::path path = home.path() / "damaged.prf";
        writeFile(path, damage.bytes);
        for (const std::string& command :
             {"check '" + path.string() + "'", "info '" + path.string() + "'",
              "records '" + path.string() + "' WPOS"}) {
            CommandRun run = runCommand(okadb + command + " 2>&1");
            EXPECT_TRUE(run.status >= 0 && run.status <= 2)
                << damage.name << ": okadb " << command << ": status " << run.status << "\n"
                << run.output;
        }
    }
}

// Start-up problems are told on the terminal, one line each. kelvane runs
// through the shell in `place` (its HOME) with `environment`, for at most
// `seconds` (then SIGTERM ends it in order); what it printed, and its status.
CommandRun runKelvane(const fs::path& place, const std::string& environment, int seconds) {
    return runCommand("cd '" + place.string() + "' && HOME='" + place.string() + "' " +
                      environment + " timeout " + std::to_string(seconds) + " '" +
                      builtProgram("kelvane").string() + "' 2>&1");
}

bool printed(const CommandRun& run, const std::string& line) {
    return run.output.find(line + "\n") != std::string::npos;
}

TEST_F(PreferencesTest, StartUpProblemsAreToldOnTheTerminal) {
    // Without OKA: one line, also in the log, status 255, and the port file
    // as it was (here one left by an earlier Tool Manager) or none.
    fs::path fresh = home.path() / "fresh";
    fs::create_directories(fresh);
    std::string earlierPortFile = readFile(home.okaDirectory() / "okaport");
    for (const fs::path& place : {home.path(), fresh}) {
        CommandRun run = runKelvane(place, "OKA=", 10);
        EXPECT_EQ(run.status, 255);
        EXPECT_EQ(run.output,
                  "kelvane: the environment variable OKA is not set: set it to the installation's "
                  "root folder\n");
    }
    EXPECT_NE(
        readFile(home.okaDirectory() / "okalog").find("the OKA environment variable was not set"),
        std::string::npos);
    EXPECT_EQ(readFile(home.okaDirectory() / "okaport"), earlierPortFile);
    EXPECT_FALSE(fs::exists(fresh / ".oka" / "okaport"));

    // OKA naming no installation: said, and kelvane runs on.
    CommandRun run = runKelvane(fresh, "OKA=/nowhere DISPLAY=", 2);
    EXPECT_TRUE(printed(run,
                        "kelvane: OKA=/nowhere/ is not an installation: "
                        "/nowhere/bin/resource/kelvane.dat is missing"))
        << run.output;
    EXPECT_NE(run.output.find("kelvane: ready on"), std::string::npos);

    // A damaged record (not the header) and a display that does not answer:
    // the question is asked, shown with its automatic answer, the file kept.
    fs::path damagedHome = home.path() / "damaged";
    std::string damaged;
    for (const Damage& damage : damagedCopies(samplePreferences()))
        if (damage.name == "record length overrun") damaged = damage.bytes;
    fs::path preferences = damagedHome / ".oka" / "kelvane.prf";
    writeFile(preferences, damaged);
    run = runKelvane(damagedHome, "OKA='" + root.string() + "' DISPLAY=:7391", 2);
    EXPECT_TRUE(printed(run, "kelvane: cannot open display :7391: running headless")) << run.output;
    EXPECT_TRUE(printed(run, "kelvane: Invalid file: The preferences file " + preferences.string() +
                                 " was invalid. Would you like to overwrite the exisiting file? "
                                 "[answered \"Cancel\" without a display]"))
        << run.output;
    EXPECT_NE(run.output.find("'okadb check --repair " + preferences.string() + "'"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(readFile(preferences), damaged);
}
}  // namespace
