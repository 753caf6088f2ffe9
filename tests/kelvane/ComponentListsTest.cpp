// The workspace's component lists: rows, status texts, pop-up menu and default command.

#include "ScriptedTool.h"
#include "WorkspaceFixture.h"
#include "kelvane/ComponentLists.h"
#include "tools/CommandManager.h"
#include "tools/ToolRegistry.h"

namespace {
constexpr TypeCode kText = typeCode("TEXT");

class ComponentListsTest : public WorkspaceTest {
  protected:
    // A tool that answers the identification of the project's files
    // (recognising none) and writes down the commands it is sent.
    ScriptedTool& startTool(const char* name) {
        std::filesystem::path journal = manager.home.path() / (std::string(name) + ".journal");
        tools.push_back(std::make_unique<ScriptedTool>(journal, name, typeCodeFromBytes(name),
                                                       std::vector<IdentifyRule>{}));
        registerFrom(*tools.back());
        return *tools.back();
    }
    static std::vector<std::string> commandsIn(const ScriptedTool& tool) {
        std::vector<std::string> commands;
        for (const std::string& line : tool.journal())
            if (line.rfind("CMDS ", 0) == 0) commands.push_back(line);
        return commands;
    }

    std::vector<std::unique_ptr<ScriptedTool>> tools;
};
}  // namespace

TEST_F(ComponentListsTest, RowsAreIndentedUnderBoldHeadersAndDescribedUnderThePointer) {
    std::string path = addFile("notes.txt");
    EXPECT_TRUE(gProjectManager->addEngineToProject(new EngineInfo("enginehost", 7777)).ok());
    LBoxObj* list = projectList();
    LBOX_GoIndex(list, rowShowing(list, "notes.txt"));
    LBOX_CurSelect(list);

    AUTO_RecordDrawing(true);
    AUTO_Draw(list);
    FontObj* labelFont = RES_LoadInit("kelvane", "labelFont");
    FontObj* textFont = RES_LoadInit("kelvane", "textFont");
    ColorObj* highlight = RES_LoadInit("shared", "hiliteColor");
    std::vector<std::string> texts;
    for (const DrawRecord& call : AUTO_DrawCalls()) {
        if (call.operation != "text") continue;
        texts.push_back(call.text);
        bool header = call.text == "engines" || call.text == "text files";
        EXPECT_EQ(call.font, header ? labelFont : textFont) << call.text;
        EXPECT_EQ(call.box.x, header ? 4 : 12) << call.text;
        EXPECT_EQ(call.flags, 64);
        EXPECT_EQ(call.background == highlight, call.text == "notes.txt") << call.text;
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{"text files", "notes.txt", "engines", "enginehost, 7777"}));

    auto moveOnto = [&](const std::string& text) {
        AUTO_Move(list, 5, rowShowing(list, text) * list->rowHeight + 2);
        return statusText();
    };
    EXPECT_EQ(moveOnto("notes.txt"), " " + path);
    EXPECT_EQ(moveOnto("enginehost, 7777"), " Machine: enginehost, port:7777");
    EXPECT_EQ(moveOnto("engines"),
              " Engine descriptors allow you to communicate with a Quenta Engine");
    AUTO_Leave(list);
    EXPECT_EQ(statusText(), " ");
    AUTO_Enter(RES_GetNthChild(area(), 1));
    EXPECT_EQ(statusText(), " This list displays all components in the current project");
}

TEST_F(ComponentListsTest, ThePopUpOffersMatchingCommandsSortedAndRunsTheChoice) {
    std::string path = addFile("notes.txt");
    ScriptedTool& editor = startTool("EDIT");
    ScriptedTool& viewer = startTool("VIEW");
    ASSERT_EQ(publish(editor, "Open", 1, kText), 0);
    ASSERT_EQ(publish(editor, "Check", 1, kText), 0);
    ASSERT_EQ(publish(viewer, "Open", 1, kText), 0);
    ASSERT_EQ(publish(editor, "Compile", 1, typeCode("QAGT")), 0);  // another file type
    ASSERT_EQ(publish(editor, "Connect", 2), 0);                    // engines only
    ASSERT_TRUE(gToolRegistry->unloadTool(viewer.info.toolType).ok());

    // A right click makes the row the only selection and opens the menu:
    // matching commands sorted, those of unloaded tools disabled.
    AUTO_ScriptPopupLabel("Open (EDIT)");
    AUTO_RowButtonDown(projectList(), rowShowing(projectList(), "notes.txt"), 3, false);
    EXPECT_EQ(lastPopUpLabels(), (std::vector<std::string>{"Check", "Open (EDIT)", "-Open (VIEW)",
                                                           "---", "Remove Component"}));
    EXPECT_TRUE(editor.waitForLine("CMDS Open " + path));
    EXPECT_TRUE(LBOX_IsCurSelected(projectList()));

    AUTO_ScriptPopupLabel("Remove Component");
    AUTO_RowButtonDown(projectList(), rowShowing(projectList(), "notes.txt"), 3, false);
    EXPECT_EQ(rowShowing(projectList(), "notes.txt"), -1);
    EXPECT_EQ(gProjectManager->getMasterComponentList().getCount(), 0);
}

TEST_F(ComponentListsTest, ADoubleClickRunsTheDefaultCommandOrExplainsWhyNot) {
    std::string path = addFile("notes.txt");
    LBoxObj* list = projectList();
    int row = rowShowing(list, "notes.txt");

    // No tool can use a text file yet: a critical alert with a beep.
    answerNextAlert(1);
    AUTO_RowButtonDown(list, row, 1, false);
    AUTO_RowButtonDown(list, row, 1, true);
    EXPECT_EQ(alerts.size(), 1u);
    EXPECT_EQ(AUTO_BeepCount(), 1);
    EXPECT_TRUE(manager.logContains("no tool is currently installed that can utilize"));

    ScriptedTool& editor = startTool("EDIT");
    ASSERT_EQ(publish(editor, "Edit", 1, kText), 0);
    AUTO_RowButtonDown(list, row, 1, true);
    EXPECT_TRUE(editor.waitForLine("CMDS Edit " + path));

    // A header row selects no component: nothing runs.
    AUTO_RowButtonDown(list, rowShowing(list, "text files"), 1, false);
    AUTO_RowButtonDown(list, rowShowing(list, "text files"), 1, true);
    AUTO_RowButtonDown(list, row, 1, false);
    AUTO_RowButtonDown(list, row, 1, true);
    ASSERT_TRUE(pollUntil([&] { return commandsIn(editor).size() == 2; }, 2000));
    EXPECT_EQ(commandsIn(editor)[1], "CMDS Edit " + path);
}
