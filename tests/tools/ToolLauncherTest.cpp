#include <gtest/gtest.h>

#include "TestSupport.h"
#include "tools/ToolLauncher.h"

using Commands = std::vector<std::string>;

TEST(ToolList, WordsAnywhereOnALineAndOnlyHashWordsSkipped) {
    TempHome home;
    auto list = home.path() / "toollist";
    writeFile(list, "browser # debugger\n\t#comment  ../tools/viewer\n/opt/tools/bin/cloud\n");
    EXPECT_EQ(toolLaunchCommands(list.c_str(), "/usr/oka/", nullptr),
              (Commands{"/usr/oka/bin/browser &", "/usr/oka/bin/debugger &", "../tools/viewer &",
                        "/opt/tools/bin/cloud &"}));
}

TEST(ToolList, ANameLaunchesOnlyItsFirstEntry) {
    TempHome home;
    auto list = home.path() / "toollist";
    writeFile(list, "./local browser /opt/a/viewer /opt/b/viewer browser\n");
    EXPECT_EQ(toolLaunchCommands(list.c_str(), "/usr/oka/", "viewer"),
              (Commands{"/opt/a/viewer &"}));
    EXPECT_EQ(toolLaunchCommands(list.c_str(), "/usr/oka/", "browser"),
              (Commands{"/usr/oka/bin/browser &"}));
    // A single dot and slash is a plain name, run from below bin.
    EXPECT_EQ(toolLaunchCommands(list.c_str(), "/usr/oka/", "./local"),
              (Commands{"/usr/oka/bin/./local &"}));
    EXPECT_TRUE(toolLaunchCommands(list.c_str(), "/usr/oka/", "missing").empty());
    EXPECT_TRUE(toolLaunchCommands((home.path() / "none").c_str(), "/usr/oka/", nullptr).empty());
}
