// kelvane with the two bundled sample tools of a throw-away installation's
// tool list, seen from a tool, from okamsg and across a crash and a restart.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <map>
#include <tuple>

#include "ChildProcess.h"
#include "KelvaneHarness.h"
#include "RawDatabaseFile.h"
#include "RawPeer.h"
#include "TestSupport.h"
#include "core/Utilities.h"
#include "messaging/ToolListing.h"
#include "toolkit/base/SystemServices.h"

namespace {
namespace fs = std::filesystem;

// okamsg's exit status, standard output and standard error.
CommandRun runOkamsg(const fs::path& home, const std::string& arguments) {
    return runCommand("HOME=" + home.string() + " " + builtProgram("okamsg").string() + " " +
                      arguments + " 2>&1");
}

// kelvane started from a tool list with the two sample tools, both through
// their start-up: registered, commands published, the help viewer received.
class SampleHubTest : public ::testing::Test {
  protected:
    void SetUp() override {
        hub.installSampleTools();
        ASSERT_TRUE(hub.start());
        ASSERT_TRUE(hub.waitUntil([&] { return hub.sampleToolsReady(); }, 15000));
        ASSERT_TRUE(waitForLog("help viewer: ", 2, 10000));
    }
    // Ends kelvane in order, so that the sample tools get 'QUIT' and do not
    // outlive the test.
    void TearDown() override {
        if (hub.kelvane) hub.stop();
        hub.waitUntil([&] { return sampleProcesses().empty(); }, 5000);
    }

    // Whether the log holds `fragment` `count` times within `timeoutMs`.
    bool waitForLog(const std::string& fragment, size_t count, int timeoutMs = 5000) {
        return hub.waitUntil([&] { return occurrences(hub.log(), fragment) == count; }, timeoutMs);
    }

    // The okasample processes of this test's installation: pid by tool type.
    std::multimap<std::string, int> sampleProcesses() const {
        std::multimap<std::string, int> processes;
        for (const auto& entry : fs::directory_iterator("/proc")) {
            std::ifstream cmdline(entry.path() / "cmdline");
            std::vector<std::string> arguments;
            for (std::string item; std::getline(cmdline, item, '\0');) arguments.push_back(item);
            if (arguments.empty() ||
                fs::path(arguments[0]).lexically_normal() != hub.root / "bin" / "okasample")
                continue;
            for (size_t i = 0; i + 1 < arguments.size(); ++i)
                if (arguments[i] == "--type")
                    processes.emplace(arguments[i + 1], std::stoi(entry.path().filename()));
        }
        return processes;
    }

    // The component lists as "name TYPE", in kelvane's order.
    std::vector<std::string> componentLists() {
        auto reply = hub.ask(newRequest("GCCP"), 8000);
        std::vector<std::string> lists;
        for (int i = 1; reply && i + 1 < reply->paramCount; i += 2) {
            char name[kPathSize];
            reply->getTextParam(i, name, sizeof name);
            lists.push_back(std::string(name) + " " + TypeIdentToCStr(reply->getTypeParam(i + 1)));
        }
        return lists;
    }

    KelvaneHarness hub;
};
}  // namespace

TEST_F(SampleHubTest, ToolsOutliveACrashedToolManagerAndComeBackOnceEach) {
    std::multimap<std::string, int> before = sampleProcesses();
    ASSERT_EQ(before.size(), 2u);

    hub.kill();
    ASSERT_TRUE(hub.restartAfterCrash());
    EXPECT_TRUE(hub.waitUntil([&] { return hub.sampleToolsReady(); }, 10000));
    // Once the grace period is over the tool list starts only missing tools:
    // none, so the tools that held the user's windows are the ones that run.
    EXPECT_TRUE(hub.waitUntil(
        [&] {
            return hub.log().find("starting the tools that did not come back") != std::string::npos;
        },
        10000));
    EXPECT_EQ(sampleProcesses(), before);
    EXPECT_TRUE(hub.sampleToolsReady());
}

TEST_F(SampleHubTest, OkamsgListsWatchesAndTellsItsFailuresApart) {
    CommandRun tools = runOkamsg(hub.home.path(), "--tools");
    EXPECT_EQ(tools.status, 0) << tools.output;
    EXPECT_NE(tools.output.find("Sample Viewer  type SVWR  OKA Samples  version 1.0  port "),
              std::string::npos);
    EXPECT_NE(tools.output.find(
                  "loaded  source viewer (default)\n    View Source  requires file of type QAGT\n"),
              std::string::npos)
        << tools.output;
    CommandRun json = runOkamsg(hub.home.path(), "--tools --json");
    EXPECT_NE(json.output.find("\"type\": \"SRUN\", \"name\": \"Sample Runner\""),
              std::string::npos)
        << json.output;

    fs::path watched = hub.home.path() / "watch.out";
    ChildProcess watcher("/bin/sh",
                         {"-c", "exec \"$0\" --watch --type SCHG > \"$1\"",
                          builtProgram("okamsg").string(), watched.string()},
                         hub.environment());
    ASSERT_TRUE(hub.waitUntil(
        [&] { return readFile(watched).find("RECV WTCH okamsg") != std::string::npos; }, 5000));
    EXPECT_EQ(runOkamsg(hub.home.path(), "--reply SHOW").status, 0);
    EXPECT_EQ(runOkamsg(hub.home.path(), "SCHG S255:/projects/agent.qa").status, 0);
    EXPECT_TRUE(hub.waitUntil(
        [&] { return readFile(watched).find("RELY SCHG Tool Manager(TOOL)") != std::string::npos; },
        5000));
    watcher.signal(SIGTERM);
    EXPECT_EQ(watcher.waitForExit(3000), 0);
    std::string lines = readFile(watched);
    EXPECT_NE(lines.find("RECV SCHG okamsg"), std::string::npos) << lines;
    EXPECT_EQ(lines.find(" SHOW "), std::string::npos) << lines;

    // Each failure is one line with its own exit status; --run goes through
    // the Tool Manager's command logic to the sample tools.
    fs::path agent = hub.home.path() / "agent.qa";
    writeFile(agent, "agent\n");
    EXPECT_EQ(runOkamsg(hub.home.path(), "ADDF S255:" + agent.string()).status, 0);
    std::string viewAgent = "--run 'Sample Viewer' 'View Source' " + agent.string();
    const std::string unused = std::to_string(findFreePort());
    RawListener silent;  // takes the message and never answers
    const std::string late = "--port " + std::to_string(silent.port()) + " --reply 200 SHOW";
    using Run = std::tuple<std::string, int, std::string>;  // arguments, status, output
    for (const auto& [arguments, status, output] : {
             Run{"--run 'Sample Runner' 'Engine Status'", 0, ""},
             Run{viewAgent, 0, ""},
             Run{"--run 'Sample Runnr' 'Engine Status'", 6, "okamsg: no tool named Sample Runnr\n"},
             Run{"--run 'Sample Runner' Status", 7,
                 "okamsg: Sample Runner has no command Status\n"},
             Run{"--run 'Sample Runner' 'Run Agent'", 8,
                 "okamsg: Run Agent needs a project file of type QAGT\n"},
             Run{"--run 'Sample Runner' 'Attach to Engine' --engine nowhere:1", 8,
                 "okamsg: nowhere:1 is not an engine of the project\n"},
             Run{"--reply addf S255:/x", 2,
                 "okamsg: unknown message type 'addf' (--raw sends it anyway)\n"},
             Run{"--reply LOOK", 2,
                 "okamsg: LOOK takes IDNT; given no parameters (--raw sends it anyway)\n"},
             Run{"--raw --reply LOOK", 4,
                 "error -2 (parameter count differs from the message type's template)\n"},
             Run{"--raw --reply ZZZZ", 4, "error -3 (no handler for this message type)\n"},
             Run{"--port " + unused + " --reply SHOW", 5,
                 "okamsg: no Tool Manager is running on port " + unused + "\n"},
             Run{late, 3, "okamsg: no reply within 200 ms\n"},
         }) {
        CommandRun result = runOkamsg(hub.home.path(), arguments);
        EXPECT_EQ(result.status, status) << arguments;
        EXPECT_EQ(result.output, output) << arguments;
    }
    EXPECT_TRUE(waitForLog("received CMDS Engine Status machine  port 0 path \n", 1));
    EXPECT_TRUE(
        waitForLog("received CMDS View Source machine  port 0 path " + agent.string() + "\n", 1));
    TempHome empty;
    EXPECT_EQ(runOkamsg(empty.path(), "--reply SHOW").status, 5);
}

// Relays reach both tools; a 'DISF' with a partial path goes, resolved, to
// the source viewer that the bundled script started, and its requester gets
// the viewer's own reply.
TEST_F(SampleHubTest, SampleToolsHearRelaysAndTheViewerShowsAResolvedSource) {
    EXPECT_EQ(hub.ask(newRequest("SCHG", {"/projects/agent.qa"}))->getLongParam(0), 0);
    EXPECT_TRUE(waitForLog("received SCHG /projects/agent.qa", 2));

    writeFile(hub.root / "include" / "agent.qh", "agent\n");
    auto reply = hub.ask(newDisplayRequest("agent.qh", 0, true));
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(reply->getLongParam(0), 0);
    EXPECT_TRUE(waitForLog("received DISF " + (hub.root / "include" / "agent.qh").string(), 1));

    // A second viewer of the same type is refused while the first runs.
    ChildProcess duplicate(hub.root / "bin" / "okasampleviewer", {}, hub.environment());
    EXPECT_EQ(duplicate.waitForExit(8000), 1);
}

TEST_F(SampleHubTest, ShutDownClosesWindowsThenQuitsThreeSecondsLater) {
    // This test registers as a tool of its own to watch the shut-down.
    ToolInfo& own = hub.tool->getOwnToolInfo();
    own.toolType = typeCode("WTCH");
    copyText(own.name, sizeof own.name, "watcher");
    ASSERT_EQ(hub.ask(newRegistration(own, ""))->getLongParam(0), 0);

    hub.kelvane->signal(SIGTERM);
    uint32_t closedAt = 0, quitAt = 0;
    uint32_t deadline = TIME_GetCurMillisecs() + 8000;
    while (quitAt == 0 && int32_t(deadline - TIME_GetCurMillisecs()) > 0) {
        std::unique_ptr<Message> message(hub.tool->getTransport().poll().valueOr(nullptr));
        if (!message) continue;
        if (message->type == typeCode("CWIN")) closedAt = TIME_GetCurMillisecs();
        if (message->type == typeCode("QUIT")) quitAt = TIME_GetCurMillisecs();
    }
    ASSERT_NE(closedAt, 0u);
    ASSERT_NE(quitAt, 0u);
    EXPECT_GE(quitAt - closedAt, 2900u);
    EXPECT_LE(quitAt - closedAt, 4500u);
    EXPECT_EQ(hub.kelvane->waitForExit(5000), 0);
    EXPECT_TRUE(waitForLog("Tool Manager asked to quit", 2));
}

// A new tool answers the Tool Manager's questions while it registers;
// killed, it is started again without waiting for the dead copy's probe,
// and publishing its command once more is no failure; ended by a signal, it
// unregisters on its way out.
TEST_F(SampleHubTest, ANewToolRegistersAtOnceComesBackAfterAKillAndLeavesOnASignal) {
    // A project file that no tool recognises makes the Tool Manager ask
    // every new tool to identify it.
    fs::path notes = hub.home.path() / "notes.raw";
    writeFile(notes, "unknown kind of file\n");
    EXPECT_EQ(hub.ask(newRequest("ADDF", {notes.string()}))->getLongParam(0), 0);
    EXPECT_TRUE(waitForLog("received FADD", 2));

    const std::vector<std::string> arguments = {"--name", "Extra",     "--type",
                                                "XTRA",   "--command", "Count Lines:0"};
    auto published = [&] {
        for (const ToolListing& tool : hub.listTools())
            if (tool.info.toolType == typeCode("XTRA") && tool.loaded && tool.commands.size() == 1)
                return true;
        return false;
    };
    uint32_t start = TIME_GetCurMillisecs();
    {
        ChildProcess first(builtProgram("okasample"), arguments, hub.environment());
        ASSERT_TRUE(hub.waitUntil(published, 8000));
        // Without answering 'IDFL' during its registration the tool would hold
        // the Tool Manager for the whole reply timeout (5 s).
        EXPECT_LT(TIME_GetCurMillisecs() - start, 3000u);
        first.signal(SIGKILL);
        first.waitForExit(3000);
    }
    start = TIME_GetCurMillisecs();
    ChildProcess second(builtProgram("okasample"), arguments, hub.environment());
    ASSERT_TRUE(waitForLog("Tool: XTRAhas re-registered", 1, 8000));
    EXPECT_LT(TIME_GetCurMillisecs() - start, 4000u);
    EXPECT_TRUE(waitForLog("command 'Count Lines' is published already", 1));
    EXPECT_TRUE(published());
    second.signal(SIGTERM);
    EXPECT_EQ(second.waitForExit(3000), 0);
    EXPECT_TRUE(hub.waitUntil([&] { return !hub.isRegistered(typeCode("XTRA")); }, 3000));
}

// The project lives on across a restart: what okamsg added comes back and
// the tools that start with kelvane identify the files again.
TEST_F(SampleHubTest, TheProjectSurvivesARestart) {
    fs::path agent = hub.home.path() / "src" / "main.qa";
    fs::path notes = hub.home.path() / "src" / "notes.txt";
    for (const fs::path& file : {agent, notes}) {
        writeFile(file, "text\n");
        EXPECT_EQ(runOkamsg(hub.home.path(), "ADDF S255:" + file.string()).status, 0);
    }
    EXPECT_EQ(runOkamsg(hub.home.path(), "ADDE S255:enginehost LONG:7777").status, 0);
    const std::vector<std::string> lists = {"Quenta agent files QAGT", "text files TEXT",
                                            "engines ENGN"};
    EXPECT_EQ(componentLists(), lists);

    ASSERT_EQ(hub.stop(), 0);
    ASSERT_TRUE(hub.waitUntil([&] { return sampleProcesses().empty(); }, 5000));
    ASSERT_TRUE(hub.start());
    EXPECT_TRUE(
        hub.waitUntil([&] { return std::ranges::is_permutation(componentLists(), lists); }, 15000))
        << ::testing::PrintToString(componentLists());
    EXPECT_EQ(rawRecordsInFile(hub.home.path() / "untitled.prj", "FCMP").size(), 2u);
}
