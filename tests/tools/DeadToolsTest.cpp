// Tools that die or hang.
#include <chrono>
#include <string>
#include <vector>

#include "ToolManagerTest.h"
#include "messaging/ToolListing.h"
#include "tools/ToolRegistry.h"

namespace {
constexpr TypeCode kRunner = typeCode("SRUN");
constexpr TypeCode kViewer = typeCode("SVWR");

using DeadToolsTest = ToolManagerTest;
using Clock = std::chrono::steady_clock;

long millisecondsSince(Clock::time_point start) {
    return long(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// The 'TLST' record of the first registered tool.
ToolListing firstListing(const Message& reply) {
    ToolListing listing;
    EXPECT_TRUE(decodeToolListing(reply.getParam(1), reply.getParamLength(1), listing));
    return listing;
}
}  // namespace

TEST_F(DeadToolsTest, AToolWhosePortRefusesIsUnloadedByTheFirstSendWithoutWaiting) {
    std::string file = (manager.home.path() / "agent.qa").string();
    writeFile(file, "agent\n");
    // The added file stays in the project, which every restart loads again:
    // the case that adds it comes last.
    for (bool adding : {false, true}) {
        SCOPED_TRACE(adding ? "identifying an added file" : "relaying a change");
        manager.restart();
        FakeTool dead("Sample Runner", kRunner);
        ASSERT_EQ(registerFrom(dead), 0);
        int deadPort = dead.info.port;
        dead.die();

        auto start = Clock::now();
        deliver(newRequest(adding ? "ADDF" : "SCHG", {file}));
        EXPECT_LT(millisecondsSince(start), 1000);
        EXPECT_EQ(gToolRegistry->toolIsLoaded(kRunner), 0);
        EXPECT_TRUE(manager.logContains("Sample Runner (SRUN) does not answer on port " +
                                        std::to_string(deadPort) + ": unloaded"));
        // The failed send names the tool; no 'QUIT' goes to a port that refuses.
        EXPECT_TRUE(manager.logContains("Connection refused [Sample Runner (SRUN)]"));
        EXPECT_FALSE(manager.logContains("Sending message QUIT registered tool SRUN"));
    }
}

TEST_F(DeadToolsTest, AToolThatNeverAnswersCostsOneReplyTimeThenIsNotWaitedFor) {
    // Twenty files in the project, one more to add later.
    for (int n = 0; n <= 20; ++n) {
        std::string file = (manager.home.path() / ("f" + std::to_string(n) + ".qa")).string();
        writeFile(file, "agent\n");
        if (n < 20) deliver(newRequest("ADDF", {file}));
    }
    // It listens, so connections succeed, but it never reads one.
    FakeTool hung("Sample Viewer", kViewer, true);
    auto start = Clock::now();
    EXPECT_EQ(registerFrom(hung), 0);
    long registration = millisecondsSince(start);
    EXPECT_GE(registration, long(kDefaultReplyTimeout) - 100);
    EXPECT_LT(registration, long(kDefaultReplyTimeout) + 1000);
    EXPECT_FALSE(gToolRegistry->toolIsResponding(kViewer));
    EXPECT_EQ(gToolRegistry->toolIsLoaded(kViewer), 1);

    // Requests that would wait for it answer at once; one-way messages still go.
    start = Clock::now();
    deliver(newRequest("ADDF", {(manager.home.path() / "f20.qa").string()}));
    deliver(newDisplayRequest("/src/agent.qa"));
    deliver(newRequest("SCHG", {"/src/agent.qa"}));
    EXPECT_LT(millisecondsSince(start), 1000);
    EXPECT_TRUE(firstListing(*deliver(newRequest("TLST"))).notResponding);
    EXPECT_EQ(occurrences(manager.log(), "Sample Viewer (SVWR) is not responding"), 1u);
    EXPECT_EQ(hung.drainTypes(),
              (std::vector<TypeCode>{typeCode("IDFB"), typeCode("FADD"), typeCode("SCHG")}));

    // Anything from it, here a request of its own, and it is waited for again.
    Message look(typeCode("LOOK"), &gMessageCenter->getOwnToolInfo());
    look.addTypeParam(kRunner);
    hung.send(look);
    ASSERT_TRUE(pollUntil(
        [] {
            gMessageCenter->poll();
            return gToolRegistry->toolIsResponding(kViewer);
        },
        2000));
    EXPECT_EQ(occurrences(manager.log(), "Sample Viewer (SVWR) responds again"), 1u);
    EXPECT_FALSE(firstListing(*deliver(newRequest("TLST"))).notResponding);
}
