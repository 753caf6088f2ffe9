// kelvane with the two bundled sample tools, started from the tool list of a
// throw-away installation in a temporary HOME: registration, commands,
// source-viewer listing, relays, and the shut-down seen from a tool.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "KelvaneHarness.h"
#include "TestSupport.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "messaging/ToolListing.h"
#include "toolkit/base/SystemServices.h"

namespace {
// kelvane started on a tool list with the two sample tools, both ready.
class SampleToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        hub.installSampleTools();
        ASSERT_TRUE(hub.start());
        // Both tools are through their start-up: registered, commands
        // published and the help viewer received.
        ASSERT_TRUE(hub.waitUntil([&] { return hub.sampleToolsReady(); }, 15000));
        ASSERT_TRUE(waitForLog("help viewer: ", 2, 10000));
    }
    // Ends kelvane in order, so the sample tools it started get 'QUIT' and do
    // not outlive the test.
    void TearDown() override {
        if (!hub.kelvane) return;
        hub.stop();
        waitForLog("Tool Manager asked to quit", 2, 3000);
    }

    // Whether the log holds `fragment` `count` times within `timeoutMs`.
    bool waitForLog(const std::string& fragment, size_t count, int timeoutMs = 5000) {
        return hub.waitUntil([&] { return occurrences(hub.log(), fragment) == count; }, timeoutMs);
    }

    KelvaneHarness hub;
};
}  // namespace

TEST_F(SampleToolsTest, SampleToolsRegisterPublishAndHearRelays) {
    EXPECT_TRUE(waitForLog("added command to tool manager", 5));
    // The bundled viewer script starts a source viewer.
    auto sources = hub.ask(newRequest("GSAT"));
    ASSERT_TRUE(sources && sources->paramCount == 2);
    EXPECT_STREQ(decodeToolInfo(sources->getParam(1)).name, "Sample Viewer");

    EXPECT_EQ(hub.ask(newRequest("SCHG", {"/projects/agent.qa"}))->getLongParam(0), 0);
    EXPECT_TRUE(waitForLog("received SCHG /projects/agent.qa", 2));

    // A second viewer of the same type is refused while the first runs.
    ChildProcess duplicate(hub.root / "bin" / "okasampleviewer", {}, hub.environment());
    EXPECT_EQ(duplicate.waitForExit(8000), 1);
}

TEST_F(SampleToolsTest, ShutDownClosesWindowsThenQuitsThreeSecondsLater) {
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

TEST_F(SampleToolsTest, ANewToolAnswersQuestionsWhileItRegisters) {
    // A project file that no tool recognises makes the Tool Manager ask
    // every new tool to identify it.
    std::filesystem::path agent = hub.home.path() / "notes.raw";
    writeFile(agent, "unknown kind of file\n");
    auto added = hub.ask(newRequest("ADDF", {agent.string()}));
    ASSERT_TRUE(added);
    EXPECT_EQ(added->getLongParam(0), 0);
    EXPECT_TRUE(waitForLog("received FADD", 2));

    uint32_t start = TIME_GetCurMillisecs();
    ChildProcess extra(builtProgram("okasample"), {"--name", "Extra", "--type", "XTRA"},
                       hub.environment());
    ASSERT_TRUE(hub.waitUntil([&] { return hub.isRegistered(typeCode("XTRA")); }, 8000));
    // Without answering 'IDFL' during its registration the tool would hold
    // the Tool Manager for the whole reply timeout (5 s).
    EXPECT_LT(TIME_GetCurMillisecs() - start, 3000u);
    extra.signal(SIGTERM);
    EXPECT_EQ(extra.waitForExit(3000), 0);
}

TEST_F(SampleToolsTest, AToolKilledComesBackAtOnceAndASignalledOneUnregisters) {
    constexpr TypeCode kExtra = typeCode("XTRA");
    const std::vector<std::string> arguments = {"--name", "Extra", "--type", "XTRA",
                                                "--command", "Count Lines:0"};
    // The port of the loaded Extra tool once it has published its command; 0 before.
    auto loadedPort = [&] {
        for (const ToolListing& tool : hub.listTools()) {
            if (tool.info.toolType == kExtra && tool.loaded && tool.commands.size() == 1) {
                return tool.info.port;
            }
        }
        return 0;
    };
    {
        ChildProcess first(builtProgram("okasample"), arguments, hub.environment());
        ASSERT_TRUE(hub.waitUntil([&] { return loadedPort() != 0; }, 8000));
        first.signal(SIGKILL);
        first.waitForExit(3000);
    }
    // Not refused while the dead copy waits for the next probe.
    uint32_t start = TIME_GetCurMillisecs();
    ChildProcess second(builtProgram("okasample"), arguments, hub.environment());
    ASSERT_TRUE(waitForLog("Tool: XTRAhas re-registered", 1, 8000));
    EXPECT_LT(TIME_GetCurMillisecs() - start, 4000u);
    EXPECT_NE(loadedPort(), 0);
    // The Tool Manager kept its command: publishing it again is no failure.
    EXPECT_TRUE(waitForLog("command 'Count Lines' is published already", 1));

    second.signal(SIGTERM);
    EXPECT_EQ(second.waitForExit(3000), 0);
    EXPECT_TRUE(hub.waitUntil([&] { return !hub.isRegistered(kExtra); }, 3000));
}

TEST_F(SampleToolsTest, TheSampleViewerShowsAResolvedSourceAndTheRequesterGetsTheReply) {
    writeFile(hub.root / "include" / "agent.qh", "agent\n");
    auto* request = new Message(typeCode("DISF"), nullptr);
    request->addTextParam("agent.qh");
    request->addBoolParam(true);  // resolve it
    request->addLongParam(3);
    request->addShortParam(1);
    request->addBoolParam(true);
    request->addLongParam(5);
    request->addBoolParam(false);
    request->addBoolParam(false);  // do not ask the user
    request->addParam(kParamData, "line", 4);
    request->addLongParam(12);
    request->addTypeParam(0);  // any viewer
    request->addLongParam(0);
    // The relay waits for the viewer's own reply before this one comes.
    auto reply = hub.ask(request);
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(reply->getLongParam(0), 0);
    EXPECT_EQ(reply->paramCount, 1);
    EXPECT_TRUE(waitForLog("received DISF " + (hub.root / "include" / "agent.qh").string(), 1));
}
