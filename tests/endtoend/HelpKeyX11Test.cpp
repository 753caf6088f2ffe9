// F1 in kelvane's workspace on a real X display: the help viewer (a fake
// "netscape" on the PATH that records its arguments) is started on the
// installed user.html at the workspace's anchor. Skipped without Xvfb or xdotool.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ChildProcess.h"
#include "TestSupport.h"
#include "XvfbServer.h"

namespace fs = std::filesystem;

TEST(HelpKeyX11, F1InTheWorkspaceStartsTheViewerAtTheWorkspaceAnchor) {
    if (!isProgramInstalled("Xvfb") || !isProgramInstalled("xdotool")) {
        GTEST_SKIP() << "needs Xvfb and xdotool";
    }
    XvfbServer server;
    ASSERT_TRUE(server.start());
    TempHome home;
    fs::path root = makeInstallation(home.path());
    fs::path userHelp = root / "doc" / "html" / "user.html";
    writeFile(userHelp, "<html></html>\n");
    fs::path bin = home.path() / "bin";
    fs::path out = home.path() / "viewer.out";
    writeFile(bin / "netscape", "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + out.string() + "'\n");
    fs::permissions(bin / "netscape", fs::perms::owner_all);

    ChildProcess kelvane(builtProgram("kelvane"), {},
                         {"HOME=" + home.path().string(), "OKA=" + root.string(),
                          "DISPLAY=" + std::string(std::getenv("DISPLAY")),
                          "PATH=" + bin.string() + ":" + std::getenv("PATH")},
                         home.path());
    ASSERT_EQ(std::system("xdotool search --sync --onlyvisible --name '^OKA ' windowfocus --sync "
                          "key F1 > /dev/null"),
              0);
    EXPECT_TRUE(pollUntil([&] { return fs::exists(out) && fs::file_size(out) > 0; }, 5000));
    EXPECT_EQ(readFile(out), userHelp.string() + "#OKAWin:ToolManager\n");
    kelvane.signal(SIGTERM);
    EXPECT_EQ(kelvane.waitForExit(10000), 0);
}
