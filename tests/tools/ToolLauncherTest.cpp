#include <gtest/gtest.h>

#include "TestSupport.h"
#include "tools/ToolLauncher.h"

using Commands = std::vector<std::string>;

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
