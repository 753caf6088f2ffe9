// Menus, accelerators and directory listing in the headless backend.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "toolkit/Toolkit.h"
#include "toolkit/automation/Automation.h"

namespace {

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
