// The workspace window: its buttons, menus, tool icons and the windows they open.
#include "WorkspaceFixture.h"
#include "core/Globals.h"
#include "kelvane/ToolIconBar.h"
#include "kelvane/WorkspaceCommands.h"
#include "projects/IdentifyProgress.h"
#include "tools/ToolRegistry.h"
#include "workspace/WindowManager.h"

namespace {
constexpr TypeCode kCompiler = typeCode("COMP");
constexpr TypeCode kViewer = typeCode("BROW");

class WorkspaceWindowTest : public WorkspaceTest {
  protected:
    static TButObj* button(const char* name) {
        return static_cast<TButObj*>(AUTO_FindByName(gWorkspaceWindow, name));
    }
    // Right-clicks the tool's icon, choosing `label` in its pop-up (nothing
    // when empty), and returns the labels the menu offered.
    static std::vector<std::string> popUp(TypeCode tool, const char* label = "") {
        AUTO_ScriptPopupLabel(label);
        AUTO_ButtonDown(gToolIconBar->iconOf(tool), 3, false);
        return lastPopUpLabels();
    }
    static void selectEngine() {
        Item* engine = nullptr;
        ASSERT_TRUE(gProjectManager->getComponentByIdent(&engine, kEngineType, "enginehost", 7000));
        gProjectManager->selectComponent(engine);
    }
};
}  // namespace

TEST_F(WorkspaceWindowTest, ButtonsAndMenusRunTheirCommandsAndExplainThemselves) {
    EXPECT_EQ(std::string(WIN_GetLabel(gWorkspaceWindow)), "OKA Project: demo.prj");
    AUTO_Enter(button("5removeComponent"));
    EXPECT_EQ(statusText(), " Remove the selected component from the current project");
    AUTO_Enter(button("9minimizeWindows"));
    EXPECT_EQ(statusText(), " Minimize all OKA windows except for the Project Manager window");
    AUTO_Enter(gWorkspaceWindow);
    EXPECT_EQ(statusText(), " ");

    // Restore and minimize go to the tools only.
    FakeTool compiler("compiler", kCompiler);
    registerFrom(compiler);
    compiler.drainTypes();
    AUTO_Activate(button("8restoreWindows"));
    ASSERT_TRUE(AUTO_ChooseMenuId(gWorkspaceWindow, 142));
    EXPECT_EQ(compiler.drainTypes(), (std::vector<TypeCode>{typeCode("SHOW"), typeCode("HIDE")}));

    AUTO_Activate(button("6newList"));
    EXPECT_EQ(gProjectManager->getNumberOfComponentViews(), 1);

    // Remove Component takes the selected component out, and does nothing
    // without one.
    EXPECT_TRUE(gProjectManager->addEngineToProject(new EngineInfo("enginehost", 7000)).ok());
    AUTO_Activate(button("5removeComponent"));
    selectEngine();
    ASSERT_TRUE(AUTO_ChooseMenuId(gWorkspaceWindow, 105));
    EXPECT_EQ(engineCount(), 0);

    // About: the picture is shown when the installation has it.
    bool pictureShown = false;
    AUTO_ScriptModal("aboutOKAWindow", [&](WinObj* about) {
        pictureShown = WGT_IsVisible(RES_GetNthChild(about, 6));
        EXPECT_EQ(std::string(TAREA_GetLabel(static_cast<TAreaObj*>(RES_GetNthChild(about, 2)))),
                  std::string("Version ") + OKA_VERSION);
        AUTO_Activate(static_cast<TButObj*>(RES_GetNthChild(about, 0)));
    });
    runWorkspaceCommand(kAboutCommand);
    EXPECT_TRUE(pictureShown);
    EXPECT_EQ(AUTO_UnscriptedCount(), 0);

    // Quit ends the main loop.
    EXPECT_FALSE(gFinished);
    ASSERT_TRUE(AUTO_ChooseMenuId(gWorkspaceWindow, 107));
    EXPECT_TRUE(gFinished);
}

TEST_F(WorkspaceWindowTest, ToolIconsOfferCommandsThatFitTheSelectionAndTheToolsInformation) {
    FakeTool compiler("compiler", kCompiler);
    compiler.info.majorVersion = 2;
    compiler.info.minorVersion = 5;
    FakeTool viewer("viewer", kViewer, true);
    for (FakeTool* tool : {&compiler, &viewer}) registerFrom(*tool);
    publish(compiler, "Build", 0);
    publish(compiler, "Compile", 1, typeCode("QAGT"));
    publish(compiler, "Attach", 2);
    compiler.drainTypes();
    viewer.drainTypes();

    AUTO_Enter(gToolIconBar->iconOf(kCompiler));
    EXPECT_EQ(statusText(),
              " Hold down the right mouse button to display commands this tool implements");
    EXPECT_EQ(popUp(kCompiler, "Build"),
              (std::vector<std::string>{"Build", "Compile", "Attach", "---", "Unload Tool",
                                        "Tool Information..."}));
    EXPECT_EQ(receivedCommand(compiler), "Build||0|");

    // With an engine selected, the file command is offered disabled.
    EXPECT_TRUE(gProjectManager->addEngineToProject(new EngineInfo("enginehost", 7000)).ok());
    selectEngine();
    EXPECT_EQ(popUp(kCompiler, "Attach"),
              (std::vector<std::string>{"Build", "-Compile", "Attach", "---", "Unload Tool",
                                        "Tool Information..."}));
    EXPECT_EQ(receivedCommand(compiler), "Attach|enginehost|7000|");
    gProjectManager->selectComponent(nullptr);

    // An engine command with no engine selected opens the add-engine window
    // and goes out at once.
    popUp(kCompiler, "Attach");
    EXPECT_EQ(receivedCommand(compiler), "Attach||0|");
    EXPECT_TRUE(gWindowManager->windowTypeExists(typeCode("ADDW")));

    // The source viewer that registered last became the default; choosing
    // another sends no message to anyone.
    FakeTool otherViewer("other viewer", typeCode("EDIT"), true);
    registerFrom(otherViewer);
    EXPECT_EQ(popUp(typeCode("EDIT"))[0], "+Default Source Viewer");
    EXPECT_EQ(
        popUp(kViewer, "Default Source Viewer"),
        (std::vector<std::string>{"Default Source Viewer", "Unload Tool", "Tool Information..."}));
    EXPECT_EQ(gToolRegistry->getDefaultSourceTool()->toolType, kViewer);
    EXPECT_TRUE(viewer.drainTypes().empty());
    EXPECT_TRUE(otherViewer.drainTypes().empty());

    // Unloaded: commands disabled, no viewer item, Load offered.
    popUp(kViewer, "Unload Tool");
    EXPECT_FALSE(gToolRegistry->toolIsLoaded(kViewer));
    EXPECT_EQ(viewer.drainTypes(), std::vector<TypeCode>{typeCode("QUIT")});
    EXPECT_EQ(popUp(kViewer), (std::vector<std::string>{"Load Tool", "Tool Information..."}));
    popUp(kCompiler, "Unload Tool");
    EXPECT_EQ(popUp(kCompiler)[0], "-Build");

    std::vector<std::string> fields;
    AUTO_ScriptModal("toolInfoWindow", [&](WinObj* info) {
        for (int child = 1; child <= 3; ++child)
            fields.push_back(TED_GetStr(static_cast<TEdObj*>(RES_GetNthChild(info, child))));
        AUTO_Activate(static_cast<TButObj*>(RES_GetNthChild(info, 4)));
    });
    popUp(kCompiler, "Tool Information...");
    EXPECT_EQ(fields,
              (std::vector<std::string>{"compiler (unloaded)", "Version 2.5", "Test Tools"}));

    // A double click with the left button explains where the commands are;
    // a single click does nothing.
    answerNextAlert(1);
    AUTO_ButtonDown(gToolIconBar->iconOf(kCompiler), 1, false);
    EXPECT_TRUE(alerts.empty());
    AUTO_ButtonDown(gToolIconBar->iconOf(kCompiler), 1, true);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].title, "Accessing Tool Commands");

    // The icon of a tool that has left opens no menu.
    TButObj* icon = gToolIconBar->iconOf(kCompiler);
    deliver(newRequest("UNRT", kCompiler), compiler.info);
    AUTO_Reset();
    AUTO_ButtonDown(icon, 3, false);
    EXPECT_TRUE(AUTO_LastPopupItems().empty());
}

TEST_F(WorkspaceWindowTest, AddEngineWindowAddsConfirmedEnginesOnly) {
    // 'CRRQ' opens the window, whatever its number says.
    auto* request = newRequest("CRRQ");
    request->addLongParam(12);
    EXPECT_EQ(deliver(request)->getLongParam(0), 0);
    ASSERT_TRUE(gWindowManager->windowTypeExists(typeCode("ADDW")));
    WinObj* window = gWindowManager->getWindowRecOfType(typeCode("ADDW"))->window;
    EXPECT_STREQ(TED_GetStr(static_cast<TEdObj*>(RES_GetNthChild(window, 0))), "localhost");
    EXPECT_EQ(TED_GetInt32(static_cast<TEdObj*>(RES_GetNthChild(window, 1))), 7777);

    AUTO_Activate(static_cast<TButObj*>(RES_GetNthChild(window, 2)));
    EXPECT_FALSE(gWindowManager->windowTypeExists(typeCode("ADDW")));
    ASSERT_EQ(engineCount(), 1);
    EXPECT_TRUE(manager.logContains("Created: EngineInfo: <localhost 7777"));

    // A machine name too long for the project is refused aloud.
    AUTO_Activate(button("4addEngine"));
    window = gWindowManager->getWindowRecOfType(typeCode("ADDW"))->window;
    AUTO_EditText(static_cast<TEdObj*>(RES_GetNthChild(window, 0)), std::string(40, 'm').c_str());
    AUTO_ScriptModalButton("alertWindow", "1/0");
    AUTO_Activate(static_cast<TButObj*>(RES_GetNthChild(window, 2)));
    EXPECT_EQ(engineCount(), 1);
    EXPECT_EQ(AUTO_UnscriptedCount(), 0);
    EXPECT_TRUE(manager.logContains("Unable to complete that operation because"));
}

// While identification keeps the Tool Manager waiting, the status line shows
// the progress after 200 ms; without the window it goes to the log again.
TEST_F(WorkspaceWindowTest, StatusLineShowsIdentificationProgress) {
    IdentifyProgress* shown = gProjectManager->getFileIdentifier().getProgress();
    ASSERT_NE(shown, nullptr);
    std::string before = statusText();
    shown->identifyProgress(3400, 10000, 150);
    EXPECT_EQ(statusText(), before);
    shown->identifyProgress(3400, 10000, 250);
    EXPECT_EQ(statusText(), " Identifying files: 3,400 of 10,000");
    shown->identifyEnded();
    EXPECT_EQ(statusText(), " ");
    WIN_TerminateGetStatus(gWorkspaceWindow);
    EXPECT_EQ(gProjectManager->getFileIdentifier().getProgress(), nullptr);
}
