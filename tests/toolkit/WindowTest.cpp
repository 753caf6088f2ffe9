// Windows, menus and the directory listing in the headless backend.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Toolkit.h"
#include "toolkit/automation/Automation.h"

namespace {

std::vector<std::string> gTrace;  // notifications seen by the procedures below

// A window with a label, and a button that ends the modal loop with 7.
WinObj* makeDialog(const char* name) {
    auto* window = new WinObj;
    window->name = name;
    auto label = std::make_unique<TAreaObj>();
    label->name = "label";
    auto button = std::make_unique<TButObj>();
    button->name = "ok";
    window->addChild(std::move(label));
    window->addChild(std::move(button));
    return window;
}

void okNfy(TButObj* button, int code) {
    if (code == kNfyActivated) WIN_ModalReturn(WGT_GetWin(button), 7);
    if (code == kNfyButtonDestroyed) gTrace.push_back("button destroyed");
    TBUT_DefNfy(button, code);
}

void tracingWindowNfy(WinObj* window, int code) {
    if (code == kNfyWindowDestroyed) {
        // The widgets must still be there while the window hears of its end.
        auto* label = static_cast<TAreaObj*>(RES_GetNthChild(window, 0));
        gTrace.push_back(std::string("destroyed, label ") + (label ? "present" : "gone"));
    }
    if (code == kNfyWindowClosed) gTrace.push_back("closed");
    WIN_DefNfy(window, code);
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        AUTO_Reset();
        gTrace.clear();
    }
};

// A script waits for its own window's loop; other loops and user closes cancel.
TEST_F(WindowTest, ModalLoopEndsByItsScriptedButtonOrCancelled) {
    AUTO_ScriptModalButton("other", "1");
    WinObj* window = makeDialog("dialog");
    EXPECT_EQ(WIN_ModalProcess(window), kModalCancelled);
    WIN_TerminateGetStatus(window);
    EXPECT_EQ(AUTO_UnscriptedCount(), 1);

    WinObj* other = makeDialog("other");
    RES_SetNfyProcDS(static_cast<TButObj*>(RES_GetNthChild(other, 1)), okNfy, 0);
    EXPECT_EQ(WIN_ModalProcess(other), 7);
    EXPECT_EQ(WIN_TerminateGetStatus(other), 7);

    WinObj* closed = makeDialog("closed");
    AUTO_ScriptModal("closed", [](WinObj* shown) { AUTO_Close(shown); });
    EXPECT_EQ(WIN_ModalProcess(closed), kModalCancelled);
    WIN_TerminateGetStatus(closed);
    EXPECT_EQ(AUTO_UnscriptedCount(), 1);
}

TEST_F(WindowTest, InitialisationGoesChildrenFirstAndClosingGoesWindowFirstOnce) {
    WinObj* window = makeDialog("dialog");
    std::vector<std::string> initialised;
    auto record = [&initialised](WgtObj* widget, int code) {
        if (code == kNfyInit) initialised.push_back(widget->name);
    };
    for (WgtObj* widget :
         {RES_GetNthChild(window, 0), RES_GetNthChild(window, 1), static_cast<WgtObj*>(window)})
        widget->procedure = record;
    WIN_Init(window);
    EXPECT_EQ(initialised, (std::vector<std::string>{"label", "ok", "dialog"}));

    RES_SetNfyProcDS(window, tracingWindowNfy, 0);
    RES_SetNfyProcDS(static_cast<TButObj*>(RES_GetNthChild(window, 1)), okNfy, 0);
    WIN_TerminateGetStatus(window);
    EXPECT_EQ(gTrace,
              (std::vector<std::string>{"closed", "destroyed, label present", "button destroyed"}));

    // The user's close of a modeless window: the default procedure destroys it once.
    gTrace.clear();
    window = makeDialog("closed");
    RES_SetNfyProcDS(window, tracingWindowNfy, 0);
    AUTO_Close(window);
    EXPECT_EQ(gTrace, (std::vector<std::string>{"closed", "destroyed, label present"}));
}

int gAlarmCount = 0;  // alarms received by alarmNfy

// Restarts its alarm on every alarm, as a modal poll restarts its 100 ms one.
void alarmNfy(TAreaObj* label, int code) {
    if (code == kNfyAlarm && ++gAlarmCount == 1) EVENT_StartWgtAlarm(label, 0, 0);
    TAREA_DefNfy(label, code);
}

TEST_F(WindowTest, AlarmIsServedOncePerRoundAndCancelledWithItsWidget) {
    gAlarmCount = 0;
    WinObj* window = makeDialog("dialog");
    auto* label = static_cast<TAreaObj*>(RES_GetNthChild(window, 0));
    RES_SetNfyProcDS(label, alarmNfy, 0);
    EVENT_StartWgtAlarm(label, 0, 0);
    EVENT_ProcessPending();
    EXPECT_EQ(gAlarmCount, 1);  // the restarted alarm waits for the next round
    EVENT_ProcessPending();
    EVENT_ProcessPending();
    EXPECT_EQ(gAlarmCount, 2);

    EVENT_StartWgtAlarm(label, 0, 60000);
    EVENT_ProcessPending();
    EXPECT_EQ(gAlarmCount, 2);  // not due yet
    WIN_TerminateGetStatus(window);
    EXPECT_EQ(AUTO_FireAlarms(), 0);  // went with the widget
}

TEST(PopupMenu, ScriptedChoicesByLabelAndIdAndDismissals) {
    AUTO_Reset();
    // Like the workspace's tool menu: commands, a separator, built-ins.
    MenuObj* menu = MENU_Create();
    MENU_AddItem(menu, "Compile", 0);
    MENU_AddItem(menu, "Link", 0);
    MENU_CurSetEnabled(menu, false);
    MENU_AddSeparator(menu);
    MENU_AddItem(menu, "Unload Tool", 7);
    AUTO_ScriptPopupLabel("Compile");
    ASSERT_TRUE(MENU_OpenProcess(menu, nullptr));
    EXPECT_STREQ(MENU_ChosenGetLabel(menu), "Compile");

    AUTO_ScriptPopupId(7);
    ASSERT_TRUE(MENU_OpenProcess(menu, nullptr));
    EXPECT_STREQ(MENU_ChosenGetLabel(menu), "Unload Tool");

    AUTO_ScriptPopupLabel("Link");  // disabled: the user cannot choose it
    EXPECT_FALSE(MENU_OpenProcess(menu, nullptr));
    EXPECT_FALSE(MENU_HasChoice(menu));
    EXPECT_FALSE(MENU_OpenProcess(menu, nullptr));  // unscripted: dismissed
    EXPECT_EQ(AUTO_UnscriptedCount(), 1);
    MENU_Terminate(menu);
}

TEST(MenuBar, ChoicesAndAcceleratorsTellTheWindowTitleMenuAndItem) {
    auto* window = new WinObj;
    std::vector<int> windowCodes;
    window->procedure = [&windowCodes](WgtObj* widget, int code) {
        windowCodes.push_back(code);
        WIN_DefNfy(static_cast<WinObj*>(widget), code);
    };
    MBarObj* bar = WIN_GetMenuBar(window);
    MBAR_AddItem(bar, "&File");
    MBAR_CurSetSubMenu(bar, MENU_Create());
    MenuObj* file = MBAR_CurGetSubMenu(bar);
    MENU_AddItem(file, "&Quit", 107);
    MENU_CurSetAccelKey(file, kAccelCharacter, kModControl, 'Q');
    MBAR_AddItem(bar, "&Help");
    MBAR_CurSetSubMenu(bar, MENU_Create());
    MENU_AddItem(MBAR_CurGetSubMenu(bar), "&About the OKA", 700);

    ASSERT_TRUE(AUTO_ChooseMenuId(window, 700));
    EXPECT_EQ(windowCodes, std::vector<int>{kNfyMenuChosen});
    EXPECT_STREQ(MBAR_ChosenGetLabel(bar), "&Help");
    EXPECT_STREQ(MENU_ChosenGetLabel(MBAR_ChosenGetMenu(bar)), "&About the OKA");
    EXPECT_FALSE(AUTO_ChooseMenuItem(window, "Nothing"));

    // A key reaches the window first, then the menu's accelerator.
    windowCodes.clear();
    AUTO_KeyPress(window, 'q', kModControl);
    EXPECT_EQ(windowCodes, (std::vector<int>{kNfyKeyDown, kNfyKeyTyped, kNfyMenuChosen}));
    EXPECT_EQ(MENU_ChosenGetId(MBAR_ChosenGetMenu(bar)), 107);
    WIN_TerminateGetStatus(window);
}

int collectNames(const char* /*directory*/, const char* name, void* data) {
    static_cast<std::vector<std::string>*>(data)->push_back(name);
    return name[0] == 'b' ? 5 : 9;
}

TEST(FileSystem, DirectoryEntriesComeSortedWithoutDotEntries) {
    std::string directory = testing::TempDir() + "fmgr_listing";
    std::filesystem::remove_all(directory);  // what a failed run left
    std::filesystem::create_directory(directory);
    for (const char* name : {"zeta", "Beta", "alpha", "..hidden", ".profile", "b"})
        std::ofstream(directory + "/" + name) << "x";
    std::vector<std::string> names;
    EXPECT_EQ(FMGR_PerfDirFiles(directory.c_str(), 0, collectNames, &names), 9);  // the last result
    EXPECT_EQ(names, (std::vector<std::string>{".profile", "Beta", "alpha", "b", "zeta"}));
    EXPECT_EQ(FMGR_GetNodeType(directory.c_str()), kNodeDirectory);
    EXPECT_EQ(FMGR_GetNodeType((directory + "/zeta").c_str()), kNodeFile);

    std::string empty = directory + "/empty";
    ASSERT_TRUE(createDirectory(empty.c_str(), 0700));
    EXPECT_EQ(FMGR_PerfDirFiles(empty.c_str(), 0, collectNames, &names), 1);
    EXPECT_EQ(FMGR_PerfDirFiles((directory + "/missing").c_str(), 0, collectNames, &names), 0);
    std::filesystem::remove_all(directory);
}

}  // namespace
