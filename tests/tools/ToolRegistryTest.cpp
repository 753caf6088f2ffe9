// The tool registry: registration, the programs it starts, probes and relays.
#include <chrono>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "ToolManagerTest.h"
#include "core/Utilities.h"
#include "messaging/ToolListing.h"
#include "tools/CommandManager.h"
#include "tools/RegisteredTool.h"
#include "tools/ToolCommand.h"
#include "tools/ToolLauncher.h"
#include "tools/ToolRegistry.h"

namespace {
constexpr TypeCode kBrowser = typeCode("BROW");
constexpr TypeCode kCompiler = typeCode("COMP");
constexpr TypeCode kDebugger = typeCode("DBUG");
constexpr TypeCode kRunner = typeCode("SRUN");
constexpr TypeCode kViewer = typeCode("SVWR");

using RegistryTest = ToolManagerTest;
using Clock = std::chrono::steady_clock;
using Commands = std::vector<std::string>;

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

TEST_F(RegistryTest, RegistersLooksUpRefusesASecondLoadedToolAndUnregisters) {
    FakeTool compiler("compiler", kCompiler);
    FakeTool browser("browser", kBrowser);
    EXPECT_EQ(registerFrom(compiler, "/opt/oka/bin/okacompiler"), 0);
    EXPECT_EQ(registerFrom(browser), 0);
    EXPECT_EQ(gToolRegistry->getToolCount(), 2);
    EXPECT_STREQ(gToolRegistry->getRegisteredTool(0)->executableName, "okacompiler");
    EXPECT_EQ(gToolRegistry->lookupToolByName("browser")->toolType, kBrowser);
    EXPECT_EQ(gToolRegistry->findTool(kCompiler, nullptr), 0);

    // 'LOOK' answers with the registered ToolInfo, byte for byte.
    auto reply = deliver(newRequest("LOOK", kCompiler), browser.info);
    uint8_t registered[kToolInfoSize];
    encodeToolInfo(compiler.info, registered);
    ASSERT_EQ(
        std::make_tuple(int(reply->paramCount), reply->getLongParam(0), reply->getBoolParam(1)),
        std::make_tuple(3, 0, true));
    EXPECT_EQ(
        std::string(reinterpret_cast<const char*>(reply->getParam(2)), reply->getParamLength(2)),
        std::string(reinterpret_cast<const char*>(registered), kToolInfoSize));

    reply = deliver(newRequest("LOOK", kDebugger), browser.info);
    ASSERT_EQ(reply->paramCount, 2);
    EXPECT_FALSE(reply->getBoolParam(1));

    // A second registration of a loaded type changes nothing.
    FakeTool impostor("other compiler", kCompiler);
    EXPECT_EQ(registerFrom(impostor), kErrorToolAlreadyLoaded);
    EXPECT_STREQ(gToolRegistry->lookupToolByType(kCompiler)->name, "compiler");
    EXPECT_EQ(gToolRegistry->getToolCount(), 2);

    EXPECT_EQ(deliver(newRequest("UNRT", kDebugger), browser.info)->getLongParam(0),
              kErrorToolNotFound);
    EXPECT_EQ(deliver(newRequest("UNRT", kBrowser), browser.info)->getLongParam(0), 0);
    EXPECT_EQ(gToolRegistry->getToolCount(), 1);
    EXPECT_EQ(gToolRegistry->lookupToolByType(kBrowser), nullptr);
    EXPECT_EQ(gToolRegistry->lookupToolByNumber(1), nullptr);
    EXPECT_EQ(gToolRegistry->lookupToolByName("browser"), nullptr);
    EXPECT_EQ(gToolRegistry->findTool(kCompiler, nullptr), 0);
    // Failed lookups leave the last 'UNRT' outcome alone.
    EXPECT_EQ(gToolRegistry->getLastError(), 0);
}

TEST_F(RegistryTest, MalformedRegistrationsNeverCorruptTheRegistry) {
    FakeTool tool("tool", kBrowser);
    auto* shortInfo = newRequest("REGT");
    uint8_t bytes[kToolInfoSize];
    encodeToolInfo(tool.info, bytes);
    shortInfo->addParam(kParamData, bytes, 40);
    shortInfo->addTextParam("/bin/tool");
    EXPECT_NE(deliver(shortInfo, tool.info)->getLongParam(0), 0);
    EXPECT_EQ(gToolRegistry->getToolCount(), 0);

    // Names without terminators and a path far beyond 255 characters.
    std::memset(bytes, 'x', 64);
    std::string longPath = "/" + std::string(600, 'p');
    auto* unterminated = newRequest("REGT");
    unterminated->addParam(kParamData, bytes, kToolInfoSize);
    unterminated->addParam(kParamS255, longPath.data(), long(longPath.size()));
    EXPECT_EQ(deliver(unterminated, tool.info)->getLongParam(0), 0);
    const RegisteredTool* entry = gToolRegistry->getRegisteredTool(0);
    EXPECT_EQ(std::strlen(entry->toolInfo.name), size_t(kToolNameSize - 1));
    EXPECT_LT(std::strlen(entry->executableName), kPathSize);
}

TEST_F(RegistryTest, UnloadQuitsTheToolAndReRegistrationRefreshesIt) {
    FakeTool browser("browser", kBrowser, true);
    registerFrom(browser);
    ASSERT_TRUE(gCommandManager->addCommand("Browse", &browser.info, 0, kWildcardType).ok());

    EXPECT_EQ(gToolRegistry->loadTool(kBrowser).code(), kErrorLoadWhileLoaded);
    EXPECT_TRUE(gToolRegistry->unloadTool(kBrowser).ok());
    EXPECT_EQ(browser.drainTypes(), std::vector<TypeCode>{typeCode("QUIT")});
    EXPECT_EQ(gToolRegistry->toolIsLoaded(kBrowser), 0);
    EXPECT_EQ(gToolRegistry->unloadTool(kBrowser).code(), kErrorUnloadWhileUnloaded);
    EXPECT_EQ(gToolRegistry->unloadTool(kDebugger).code(), kErrorToolNotFound);
    EXPECT_EQ(gToolRegistry->loadTool(kDebugger).code(), kErrorToolNotFound);
    // A tool registered without a program name cannot be started again.
    FakeTool anonymous("anonymous", kDebugger);
    registerFrom(anonymous, "");
    EXPECT_TRUE(gToolRegistry->unloadTool(kDebugger).ok());
    EXPECT_EQ(gToolRegistry->loadTool(kDebugger).code(), kErrorNoExecutable);
    // Nothing is sent to an unloaded tool.
    gToolRegistry->broadcastMessageType(typeCode("SHOW"));
    EXPECT_TRUE(browser.drainTypes().empty());

    // The restarted tool comes back on another port, keeping its program
    // name whatever path it gives; its commands follow.
    FakeTool restarted("browser 2", kBrowser, true);
    long defaultBefore = gToolRegistry->getDefaultSourceToolIndex();
    EXPECT_EQ(registerFrom(restarted, "/elsewhere/browser"), 0);
    EXPECT_EQ(gToolRegistry->toolIsLoaded(kBrowser), 1);
    EXPECT_EQ(gToolRegistry->lookupToolByType(kBrowser)->port, restarted.info.port);
    EXPECT_STREQ(gToolRegistry->getRegisteredTool(0)->executableName, "sampletool");
    EXPECT_EQ(gCommandManager->getNthCommand(0)->toolInfo.port, restarted.info.port);
    EXPECT_EQ(gToolRegistry->getDefaultSourceToolIndex(), defaultBefore);
}

TEST_F(RegistryTest, SourceViewerIndexesFollowRemovals) {
    FakeTool first("a viewer", typeCode("VWR1"), true);
    FakeTool plain("plain", typeCode("PLN1"));
    FakeTool second("b viewer", typeCode("VWR2"), true);
    for (FakeTool* tool : {&first, &plain, &second}) ASSERT_EQ(registerFrom(*tool), 0);
    EXPECT_EQ(gToolRegistry->getDefaultSourceToolIndex(), 2);
    EXPECT_EQ(gToolRegistry->getCurrentSourceTool()->toolType, typeCode("VWR2"));

    EXPECT_TRUE(gToolRegistry->unregisterTool(typeCode("PLN1")).ok());
    EXPECT_EQ(gToolRegistry->getDefaultSourceToolIndex(), 1);
    EXPECT_EQ(gToolRegistry->getDefaultSourceTool()->toolType, typeCode("VWR2"));

    EXPECT_TRUE(gToolRegistry->unregisterTool(typeCode("VWR2")).ok());
    EXPECT_EQ(gToolRegistry->getDefaultSourceToolIndex(), 0);

    // Unloading the only viewer leaves none; another loaded viewer takes over.
    registerFrom(second);
    gToolRegistry->setDefaultSourceTool(&first.info);
    ASSERT_TRUE(gToolRegistry->unloadTool(typeCode("VWR1")).ok());
    EXPECT_EQ(gToolRegistry->getDefaultSourceToolIndex(), 1);
    EXPECT_EQ(gToolRegistry->getCurrentSourceToolIndex(), 1);
    ASSERT_TRUE(gToolRegistry->unloadTool(typeCode("VWR2")).ok());
    EXPECT_EQ(gToolRegistry->getDefaultSourceToolIndex(), -1);
    EXPECT_EQ(gToolRegistry->getCurrentSourceTool(), nullptr);

    // Empty indexes take the given one; set ones stay.
    gToolRegistry->setEmptySourceToolIndicies(1);
    EXPECT_EQ(gToolRegistry->getDefaultSourceToolIndex(), 1);
    EXPECT_EQ(gToolRegistry->getCurrentSourceToolIndex(), 1);
    gToolRegistry->setEmptySourceToolIndicies(0);
    EXPECT_EQ(gToolRegistry->getDefaultSourceToolIndex(), 1);
}

TEST_F(RegistryTest, ActivationOfASourceViewerDeactivatesTheOthers) {
    FakeTool active("active", typeCode("VWRA"), true);
    FakeTool other("other", typeCode("VWRB"), true);
    FakeTool gone("gone", typeCode("VWRC"), true);
    for (FakeTool* tool : {&active, &other, &gone}) ASSERT_EQ(registerFrom(*tool), 0);
    ASSERT_TRUE(gToolRegistry->unloadTool(typeCode("VWRC")).ok());
    gone.drainTypes();

    EXPECT_EQ(deliver(newRequest("ASRC"), active.info)->getLongParam(0), 0);
    EXPECT_EQ(gToolRegistry->getCurrentSourceToolIndex(), 0);
    EXPECT_EQ(other.drainTypes(), std::vector<TypeCode>{typeCode("DSRC")});
    EXPECT_TRUE(active.drainTypes().empty());
    EXPECT_TRUE(gone.drainTypes().empty());

    FakeTool stranger("stranger", typeCode("STRG"));
    EXPECT_EQ(deliver(newRequest("ASRC"), stranger.info)->getLongParam(0), -1);
    EXPECT_EQ(gToolRegistry->getCurrentSourceToolIndex(), 0);

    // Any registered tool's 'DSRC' clears the current viewer.
    EXPECT_EQ(deliver(newRequest("DSRC"), other.info)->getLongParam(0), 0);
    EXPECT_EQ(gToolRegistry->getCurrentSourceToolIndex(), -1);
}

TEST_F(RegistryTest, TicklesEveryTenSecondsAndUnloadsDeadTools) {
    FakeTool alive("alive", kBrowser);
    FakeTool dead("dead", kDebugger);
    for (FakeTool* tool : {&alive, &dead}) ASSERT_EQ(registerFrom(*tool), 0);
    dead.die();
    // The first pass is due 30 seconds after the registry was made, the next
    // ten seconds after it; `dies` stops listening before its step.
    const std::tuple<uint32_t, FakeTool*, int, int> steps[] = {
        {29999, nullptr, 1, 1}, {1, nullptr, 0, 1}, {9999, &alive, 0, 1}, {1, nullptr, 0, 0}};
    for (auto [advance, dies, debuggerLoaded, browserLoaded] : steps) {
        if (dies) dies->die();
        clockNow += advance;
        gToolRegistry->tickleAllTools();
        EXPECT_EQ(std::pair(int(gToolRegistry->toolIsLoaded(kDebugger)),
                            int(gToolRegistry->toolIsLoaded(kBrowser))),
                  std::pair(debuggerLoaded, browserLoaded))
            << "at " << clockNow;
    }
}

TEST_F(RegistryTest, ListsSourceViewersAndRelaysToEveryTool) {
    // No tools: an empty list, whatever failed before.
    gToolRegistry->lookupToolByType(kBrowser);
    auto empty = deliver(newRequest("GSAT"), ToolInfo{});
    EXPECT_EQ(std::make_pair(int(empty->paramCount), empty->getLongParam(0)), std::make_pair(1, 0));

    FakeTool viewer("viewer", typeCode("VIEW"), true);
    FakeTool compiler("compiler", kCompiler);
    FakeTool debugger("debugger", kDebugger);
    for (FakeTool* tool : {&viewer, &compiler, &debugger}) ASSERT_EQ(registerFrom(*tool), 0);

    auto reply = deliver(newRequest("GSAT"), compiler.info);
    ASSERT_EQ(std::make_pair(int(reply->paramCount), reply->getLongParam(0)), std::make_pair(2, 0));
    EXPECT_STREQ(decodeToolInfo(reply->getParam(1)).name, "viewer");

    // The sender hears its own 'SCHG' back, like every other tool.
    EXPECT_EQ(deliver(newRequest("SCHG", {"/src/agent.qa"}), compiler.info)->getLongParam(0), 0);
    for (FakeTool* tool : {&viewer, &compiler, &debugger}) {
        auto relayed = tool->receive();
        ASSERT_TRUE(relayed);
        char path[kPathSize];
        relayed->getTextParam(0, path, sizeof path);
        EXPECT_EQ(std::make_tuple(relayed->type, int(relayed->wantsReply), std::string(path)),
                  std::make_tuple(typeCode("SCHG"), 0, std::string("/src/agent.qa")));
    }

    // 'FCMP' goes to unloaded tools too.
    ASSERT_TRUE(gToolRegistry->unloadTool(kDebugger).ok());
    debugger.drainTypes();
    auto* compiled = newRequest("FCMP");
    compiled->addParam(kParamData, "abc", 3);
    deliver(compiled, compiler.info);
    EXPECT_EQ(debugger.drainTypes(), std::vector<TypeCode>{typeCode("FCMP")});
}

TEST_F(RegistryTest, AToolWhosePortRefusesIsUnloadedByTheFirstSendWithoutWaiting) {
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

TEST_F(RegistryTest, AToolThatNeverAnswersCostsOneReplyTimeThenIsNotWaitedFor) {
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

// The bundled list and a user's own: words anywhere on a line, only words
// starting with '#' skipped, names below bin unless they are paths.
TEST(ToolList, LaunchesEveryWordOrOnlyTheFirstEntryOfAName) {
    TempHome home;
    auto list = home.path() / "toollist";
    writeFile(list,
              "browser # debugger\n\t#comment  ../tools/viewer\n./local /opt/b/viewer browser\n");
    auto commands = [&](const char* name) {
        return toolLaunchPrograms(list.c_str(), "/usr/oka/", name);
    };
    EXPECT_EQ(commands(nullptr),
              (Commands{"/usr/oka/bin/browser", "/usr/oka/bin/debugger", "../tools/viewer",
                        "/usr/oka/bin/./local", "/opt/b/viewer", "/usr/oka/bin/browser"}));
    EXPECT_EQ(commands("viewer"), (Commands{"../tools/viewer"}));
    EXPECT_EQ(commands("browser"), (Commands{"/usr/oka/bin/browser"}));
    // A single dot and slash is a plain name, run from below bin.
    EXPECT_EQ(commands("./local"), (Commands{"/usr/oka/bin/./local"}));
    EXPECT_TRUE(commands("missing").empty());
    EXPECT_TRUE(toolLaunchPrograms((home.path() / "none").c_str(), "/usr/oka/", nullptr).empty());
}
