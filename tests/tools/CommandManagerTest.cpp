// Tool commands: publication, menu matching, the default and 'CMDS'.
#include <string>

#include "ToolManagerTest.h"
#include "core/Utilities.h"
#include "tools/CommandManager.h"
#include "tools/ToolCommand.h"
#include "tools/ToolRegistry.h"

namespace {
constexpr TypeCode kText = typeCode("TEXT");
constexpr TypeCode kAgent = typeCode("QAGT");

class CommandTest : public ToolManagerTest {};
}  // namespace

TEST_F(CommandTest, PublishingRefusesRepeatsAndKeepsSharedNames) {
    FakeTool browser("browser", typeCode("BROW"));
    FakeTool compiler("compiler", typeCode("COMP"));
    for (FakeTool* tool : {&browser, &compiler}) ASSERT_EQ(registerFrom(*tool), 0);
    EXPECT_EQ(publish(browser, "Open", 1, kAgent), 0);
    EXPECT_EQ(publish(browser, "Open", 2), kErrorDuplicateCommand);
    EXPECT_EQ(gCommandManager->getNthCommand(0)->requirement, 1);
    EXPECT_EQ(publish(compiler, "Open", 1, kAgent), 0);
    EXPECT_EQ(publish(compiler, "Compile", 1, kAgent), 0);
    EXPECT_EQ(gCommandManager->getCommandCount(), 3);

    EXPECT_TRUE(gCommandManager->isDuplicateCommand("Open"));
    // A shared name sorts by tool name.
    ToolCommand* compilerOpen = gCommandManager->getNthCommand(1);
    EXPECT_LT(gCommandManager->getNthCommand(0)->compare(compilerOpen), 0);

    EXPECT_EQ(gCommandManager->lookupCommand("Open", typeCode("COMP")), compilerOpen);
    EXPECT_EQ(gCommandManager->lookupCommand("Open", typeCode("DBUG")), nullptr);
    EXPECT_EQ(gCommandManager->removeCommand("Open", typeCode("DBUG")).code(),
              kErrorCommandNotFound);
    EXPECT_TRUE(gCommandManager->removeCommand("Open", typeCode("COMP")).ok());
    EXPECT_FALSE(gCommandManager->isDuplicateCommand("Open"));
    EXPECT_EQ(gCommandManager->getNthCommand(2), nullptr);

    // A name without a terminator is read within its parameter.
    auto* unterminated = newRequest("ADDC");
    unterminated->addParam(kParamST31, "Run", 3);
    unterminated->addLongParam(0);
    unterminated->addTypeParam(kWildcardType);
    EXPECT_EQ(deliver(unterminated, browser.info)->getLongParam(0), 0);
    EXPECT_STREQ(gCommandManager->getNthCommand(2)->commandName, "Run");
}

TEST_F(CommandTest, MatchingFollowsTheRequirementTable) {
    ToolInfo tool;
    ToolCommand nothing("n", &tool, 0, kWildcardType);
    ToolCommand file("f", &tool, 1, kText);
    ToolCommand engine("e", &tool, 2, kWildcardType);
    ToolCommand engineOrNothing("o", &tool, 3, kWildcardType);
    const long kFile = kComponentKindFile;
    const long kEngine = kComponentKindEngine;

    EXPECT_TRUE(nothing.commandMatchesRequires(kFile, kAgent, true));
    EXPECT_FALSE(nothing.commandMatchesRequires(kEngine, kWildcardType, false));
    EXPECT_TRUE(engineOrNothing.commandMatchesRequires(kFile, kAgent, true));
    EXPECT_FALSE(engineOrNothing.commandMatchesRequires(kFile, kAgent, false));
    EXPECT_TRUE(engineOrNothing.commandMatchesRequires(kEngine, kWildcardType, false));
    EXPECT_FALSE(engine.commandMatchesRequires(kFile, kAgent, true));
    EXPECT_TRUE(engine.commandMatchesRequires(kEngine, kText, false));
    EXPECT_TRUE(file.commandMatchesRequires(kFile, kText, false));
    EXPECT_FALSE(file.commandMatchesRequires(kFile, kAgent, true));
    EXPECT_FALSE(file.commandMatchesRequires(kEngine, kText, true));
}

TEST_F(CommandTest, DefaultCommandPrefersTheFirstLoadedToolByName) {
    FakeTool zeta("zeta", typeCode("ZETA"));
    FakeTool alpha("alpha", typeCode("ALFA"));
    FakeTool runner("runner", typeCode("RUNR"));
    for (FakeTool* tool : {&zeta, &alpha, &runner}) ASSERT_EQ(registerFrom(*tool), 0);
    publish(zeta, "Edit", 1, kText);
    publish(alpha, "Edit", 1, kText);
    publish(alpha, "Agent", 1, kAgent);
    publish(runner, "Attach", 2);
    publish(zeta, "Run", 3);
    publish(runner, "Anything", 0);

    EXPECT_STREQ(gCommandManager->getDefaultCommand(1, kText)->toolInfo.name, "alpha");
    EXPECT_STREQ(gCommandManager->getDefaultCommand(1, kAgent)->commandName, "Agent");
    EXPECT_STREQ(gCommandManager->getDefaultCommand(2, kWildcardType)->commandName, "Attach");

    ASSERT_TRUE(gToolRegistry->unloadTool(typeCode("ALFA")).ok());
    EXPECT_STREQ(gCommandManager->getDefaultCommand(1, kText)->toolInfo.name, "zeta");
    EXPECT_EQ(gCommandManager->getDefaultCommand(1, kAgent), nullptr);
    ASSERT_TRUE(gToolRegistry->unloadTool(typeCode("RUNR")).ok());
    EXPECT_STREQ(gCommandManager->getDefaultCommand(2, kWildcardType)->commandName, "Run");
    EXPECT_EQ(gCommandManager->getDefaultCommand(1, typeCode("NONE")), nullptr);
}

// Plays the workspace: its selection, and a picker choosing `pickedFile` unless empty.
struct ScriptedContext : CommandContext {
    CommandSelection selection;
    const char* pickedFile = "";
    int engineWindowsOpened = 0;
    int filesAskedFor = 0;
    int enginesLogged = 0;

    CommandSelection selectedComponent() override { return selection; }
    void logSelectedEngine() override { ++enginesLogged; }
    void openNewEngineWindow() override { ++engineWindowsOpened; }
    void chooseFileForCommand() override {
        ++filesAskedFor;
        if (*pickedFile != '\0') selection = {kComponentKindFile, "", 0, pickedFile};
    }
};

TEST_F(CommandTest, ExecutionSendsTheSelectionOrAsksForIt) {
    FakeTool tool("tool", typeCode("TOOL"));
    registerFrom(tool);
    ToolCommand onFile("On File", &tool.info, 1, kText);
    ToolCommand onEngine("On Engine", &tool.info, 2, kWildcardType);
    ScriptedContext context;
    gCommandManager->setCommandContext(&context);

    // A file command without a file asks; cancelled, nothing is sent.
    gCommandManager->executeCommand(&onFile);
    EXPECT_EQ(context.filesAskedFor, 1);
    EXPECT_TRUE(tool.drainTypes().empty());
    context.pickedFile = "/work/picked.txt";
    gCommandManager->executeCommand(&onFile);
    EXPECT_EQ(receivedCommand(tool), "On File||0|/work/picked.txt");

    context.selection = {kComponentKindEngine, "enginehost", 7000, ""};
    gCommandManager->executeCommand(&onEngine);
    EXPECT_EQ(receivedCommand(tool), "On Engine|enginehost|7000|");
    EXPECT_EQ(context.enginesLogged, 1);
    // An engine command never runs on a file, nor asks for an engine then.
    context.selection = {kComponentKindFile, "", 0, "/work/notes.txt"};
    gCommandManager->executeCommand(&onEngine);
    EXPECT_TRUE(tool.drainTypes().empty());
    EXPECT_EQ(context.engineWindowsOpened, 0);
    gCommandManager->setCommandContext(nullptr);
}
