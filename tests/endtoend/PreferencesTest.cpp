// The preferences file seen from outside: kelvane started headless creates a
// sound one, keeps one of another type or version untouched and still comes
// up, and neither kelvane nor okadb crashes on damaged or truncated ones.
// Several kelvanes run side by side, each in its own home directory, because
// every shut-down takes its three-second drain.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <optional>
#include <thread>

#include "ChildProcess.h"
#include "RawDatabaseFile.h"
#include "TestSupport.h"
#include "core/ByteOrder.h"
#include "kelvane/ToolManagerApp.h"
#include "messaging/MessageCenter.h"
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

// `asanExtra` (":name=value...") is added to the AddressSanitizer's options.
std::vector<std::string> childEnvironment(const fs::path& home, const fs::path& root,
                                          const std::string& asanExtra = "") {
    return {"HOME=" + home.string(), "OKA=" + root.string(),
            withAbortOnError("ASAN_OPTIONS") + asanExtra, withAbortOnError("UBSAN_OPTIONS")};
}

// Runs `command` through the shell (for its redirections), which execs the
// program so that its signals and exit status are the child's own.
std::unique_ptr<ChildProcess> startShell(const std::string& command,
                                         const std::vector<std::string>& environment) {
    return std::make_unique<ChildProcess>("/bin/sh", std::vector<std::string>{"-c", command},
                                          environment);
}

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// One kelvane with its own home, also its working directory (where it keeps
// its default project).
struct Hub {
    fs::path home;
    std::unique_ptr<ChildProcess> process;
    int port = 0;

    fs::path preferences() const { return home / ".oka" / "kelvane.prf"; }
    std::string log() const { return readFile(home / ".oka" / "okalog"); }
    bool keptInvalidFile() const {
        return log().find("alert \"Invalid file\"") != std::string::npos;
    }
};

// A damaged copy of a sound preferences file.
struct Damage {
    std::string name;
    std::string bytes;
};

class PreferencesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TCPTransport::forgetToolManagerPort();
        root = makeInstallation(home.path());
        // The test's own message center binds near the well-known port.
        writeFile(home.okaDirectory() / "okaport", std::to_string(kToolManagerPort));
        tool = std::make_unique<MessageCenter>();
    }
    void TearDown() override { TCPTransport::forgetToolManagerPort(); }

    // Starts kelvane in a fresh home, whose preferences file holds
    // `preferences` when given.
    std::unique_ptr<Hub> startHub(const std::string& name,
                                  const std::optional<std::string>& preferences = {}) {
        auto hub = std::make_unique<Hub>();
        hub->home = home.path() / "homes" / name;
        fs::create_directories(hub->home);
        if (preferences) writeFile(hub->preferences(), *preferences);
        hub->process = std::make_unique<ChildProcess>(builtProgram("kelvane"),
                                                      std::vector<std::string>{"--headless"},
                                                      childEnvironment(hub->home, root), hub->home);
        return hub;
    }

    // The error of kelvane's reply to 'SHOW', or kNoReply. Asked again
    // while kelvane may still be starting: many start side by side.
    long show(Hub& hub) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartMs);
        if (!waitForFile(hub.home / ".oka" / "okaport", kStartMs)) return kNoReply;
        hub.port = std::stoi(readFile(hub.home / ".oka" / "okaport"));
        while (std::chrono::steady_clock::now() < deadline) {
            auto* message = new Message(typeCode("SHOW"), nullptr);
            message->destination.port = hub.port;
            message->wantsReply = 1;
            message->replyTimeout = 2000;
            std::unique_ptr<Message> reply(tool->sendMessage(message));
            if (reply && reply->paramCount == 1) return reply->getLongParam(0);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return kNoReply;
    }

    // Asks every hub for 'SHOW', then ends them all with SIGTERM, so that
    // their shut-downs overlap. The replies' errors and the exit statuses.
    struct Outcome {
        long shown;
        int status;
    };
    std::vector<Outcome> showAndStop(const std::vector<std::unique_ptr<Hub>>& hubs) {
        std::vector<Outcome> outcomes;
        for (const auto& hub : hubs) {
            outcomes.push_back({show(*hub), 0});
            hub->process->signal(SIGTERM);
        }
        for (size_t k = 0; k < hubs.size(); ++k)
            outcomes[k].status = hubs[k]->process->waitForExit(kExitMs);
        return outcomes;
    }

    // A preferences file that kelvane has used: a help viewer, window
    // positions and a current project, written by the storage library.
    std::string samplePreferences() {
        std::string path = (home.path() / "sample.prf").string();
        {
            PrefMan prefs(kPreferencesFileType, kPreferencesVersion, path.c_str(), "preferences",
                          true);
            prefs.addPreference(typeCode("HTPT"), "okahelp", 8);
            for (char window : {'1', '2', '3'}) {
                char position[12] = {'W', 'I', 'N', window, 0, 10, 0, 20, 1, 0, 0, 100};
                prefs.addPreference(typeCode("WPOS"), position, sizeof position);
            }
            prefs.addPreference(typeCode("CPRJ"), "demo.prj", 9);
            EXPECT_EQ(prefs.getLastError(), 0);
        }
        return readFile(path);
    }

    TempHome home;
    fs::path root;
    std::unique_ptr<MessageCenter> tool;
};

std::string withWord(std::string bytes, long offset, uint32_t value) {
    putBigEndian32(reinterpret_cast<uint8_t*>(bytes.data() + offset), value);
    return bytes;
}

// Truncations at several depths, garbage in the header words, in the list's
// counts, in master pointer entries and in the fields of a record block.
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
        {"cut in the list header", sample.substr(0, size_t(list) + 6)},
        {"cut in an entry", sample.substr(0, size_t(entry("WPOS")) + 9)},
        {"cut before the last byte", sample.substr(0, size - 1)},
        {"list offset beyond the end", withWord(sample, 12, 0xFFFFFFF0u)},
        {"list offset in the header", withWord(sample, 12, 4)},
        {"file length too large", withWord(sample, 16, 0x7FFFFFFFu)},
        {"file length too small", withWord(sample, 16, 8)},
        {"all flags set", withWord(sample, 8, 0xFFFFFFFFu)},
        {"more entries than slots", withWord(sample, list, uint32_t(file.slots) + 1)},
        {"negative entry count", withWord(sample, list, 0xFFFFFFFFu)},
        {"huge slot count", withWord(sample, list + 4, 0x7FFFFFFFu)},
        {"block offset beyond the end", withWord(sample, entry("HTPT") + 12, 0xFFFFFFF0u)},
        {"block offset in the header", withWord(sample, entry("CPRJ") + 12, 0)},
        {"block over the list", withWord(sample, entry("WPOS") + 12, uint32_t(list))},
        {"block length too large", withWord(sample, entry("WPOS") + 4, 0x7FFFFFFFu)},
        {"negative slop", withWord(sample, entry("HTPT") + 8, 0xFFFFFFFFu)},
        {"records' type made free", withWord(sample, entry("WPOS"), typeCode("FREE"))},
        {"huge record count", withWord(sample, block("WPOS"), 0x7FFFFFFFu)},
        {"record length overrun", withWord(sample, block("WPOS") + 4, 0xFFFFFFF0u)},
    };
}

TEST_F(PreferencesTest, FirstStartCreatesASoundPreferencesFile) {
    std::vector<std::unique_ptr<Hub>> hubs;
    hubs.push_back(startHub("first"));
    Hub& hub = *hubs[0];
    std::vector<Outcome> outcomes = showAndStop(hubs);
    ASSERT_EQ(outcomes[0].shown, 0);
    ASSERT_EQ(outcomes[0].status, 0);
    ASSERT_TRUE(fs::exists(hub.preferences()));

    ChildProcess check(builtProgram("okadb"), {"check", hub.preferences().string()},
                       childEnvironment(hub.home, root));
    EXPECT_EQ(check.waitForExit(kExitMs), 0);

    RawDatabaseFile file = readRawDatabaseFile(readFile(hub.preferences()));
    EXPECT_EQ(file.problem, "");
    EXPECT_EQ(file.type, "TPRF");
    EXPECT_EQ(file.dataVersion, 2);
    EXPECT_EQ(file.flags & 1, 0) << "the in-use bit is neither honoured nor set";
    for (const RawEntry& entry : file.entries) {
        if (entry.type == "FREE") continue;
        std::vector<std::string> records;
        std::string problem;
        EXPECT_TRUE(readRawRecords(file, entry.type, &records, &problem)) << problem;
    }
    EXPECT_EQ(hub.log().find("alert"), std::string::npos) << hub.log();
}

TEST_F(PreferencesTest, FilesOfAnotherTypeOrVersionAreKeptAndTheHubStillAnswers) {
    std::string sample = samplePreferences();
    std::string otherType = withWord(sample, 0, typeCode("PRJ "));
    std::string otherVersion = withWord(sample, 4, 0x00010001u);  // format 1, data version 1
    const std::string placed[] = {otherType, otherVersion};
    std::vector<std::unique_ptr<Hub>> hubs;
    hubs.push_back(startHub("type", otherType));
    hubs.push_back(startHub("version", otherVersion));
    std::vector<Outcome> outcomes = showAndStop(hubs);
    for (size_t k = 0; k < hubs.size(); ++k) {
        SCOPED_TRACE(hubs[k]->home.filename());
        EXPECT_EQ(outcomes[k].shown, 0);
        EXPECT_EQ(outcomes[k].status, 0);
        std::string log = hubs[k]->log();
        std::string expected = "alert \"Invalid file\": The preferences file " +
                               hubs[k]->preferences().string() +
                               " was invalid. Would you like to overwrite the exisiting file? "
                               "[Cancel]";
        EXPECT_NE(log.find(expected), std::string::npos) << log;
        EXPECT_EQ(log.find("File error"), std::string::npos) << log;
        EXPECT_TRUE(readFile(hubs[k]->preferences()) == placed[k]) << "the file was changed";
    }
}

TEST_F(PreferencesTest, DamagedFilesNeverCrashKelvane) {
    std::vector<Damage> damages = damagedCopies(samplePreferences());
    std::vector<std::unique_ptr<Hub>> hubs;
    for (size_t k = 0; k < damages.size(); ++k)
        hubs.push_back(startHub("damage" + std::to_string(k), damages[k].bytes));
    std::vector<Outcome> outcomes = showAndStop(hubs);
    for (size_t k = 0; k < damages.size(); ++k) {
        SCOPED_TRACE(damages[k].name);
        EXPECT_EQ(outcomes[k].shown, 0) << hubs[k]->log();
        EXPECT_EQ(outcomes[k].status, 0) << hubs[k]->log();
        std::string left = readFile(hubs[k]->preferences());
        if (hubs[k]->keptInvalidFile()) {
            EXPECT_TRUE(left == damages[k].bytes) << "an invalid file was changed without consent";
        }
        // What kelvane writes into a file it could open does not spread the damage.
        EXPECT_EQ(readRawDatabaseFile(left).problem, readRawDatabaseFile(damages[k].bytes).problem);
    }
}

// Exit status 0, 1 or 2 whatever the damage; a sanitizer report or a crash
// ends okadb with a signal. All runs go side by side.
TEST_F(PreferencesTest, DamagedFilesNeverCrashOkadb) {
    std::vector<Damage> damages = damagedCopies(samplePreferences());
    const std::string commands[] = {"check", "info", "records"};
    struct Run {
        std::string name;
        fs::path output;
        std::unique_ptr<ChildProcess> process;
    };
    std::vector<Run> runs;
    // Leaks are left to the storage tests, which read the same files in process.
    std::vector<std::string> environment = childEnvironment(home.path(), root, ":detect_leaks=0");
    for (size_t k = 0; k < damages.size(); ++k) {
        fs::path path = home.path() / "damaged" / (std::to_string(k) + ".prf");
        writeFile(path, damages[k].bytes);
        for (const std::string& command : commands) {
            fs::path output = path.string() + "." + command;
            std::string arguments =
                command + " " + quoted(path) + (command == "records" ? " WPOS" : "");
            runs.push_back({damages[k].name + ": okadb " + command, output,
                            startShell("exec " + quoted(builtProgram("okadb")) + " " + arguments +
                                           " > " + quoted(output) + " 2>&1",
                                       environment)});
        }
    }
    for (Run& run : runs) {
        int status = run.process->waitForExit(kExitMs);
        EXPECT_TRUE(status >= 0 && status <= 2) << run.name << ": status " << status << "\n"
                                                << readFile(run.output);
    }
}

}  // namespace
