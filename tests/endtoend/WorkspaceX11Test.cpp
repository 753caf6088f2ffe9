// The workspace as a person uses it: kelvane with the sample tools on a private
// Xvfb, driven by xdotool (skipped when either is not installed).
#include <gtest/gtest.h>

#include <sstream>

#include "KelvaneHarness.h"
#include "RawDatabaseFile.h"
#include "XvfbServer.h"
#include "core/ByteOrder.h"

namespace {

// Where (x, y) of the X window `id` stands on the screen, as xdotool takes it.
std::string screenPoint(const std::string& id, int x, int y) {
    std::istringstream geometry(runCommand("xdotool getwindowgeometry --shell " + id).output);
    for (std::string line; std::getline(geometry, line);) {
        if (line.rfind("X=", 0) == 0) x += std::stoi(line.substr(2));
        if (line.rfind("Y=", 0) == 0) y += std::stoi(line.substr(2));
    }
    return std::to_string(x) + " " + std::to_string(y);
}

// Clicks `button` at (x, y) of the X window `id`.
bool clickIn(const std::string& id, int x, int y, int button) {
    return xdotool("mousemove " + screenPoint(id, x, y) + " click " + std::to_string(button));
}

class WorkspaceX11Test : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!isProgramInstalled("Xvfb") || !isProgramInstalled("xdotool")) {
            GTEST_SKIP() << "Xvfb or xdotool is not installed";
        }
        if (!server.start()) GTEST_SKIP() << "Xvfb did not start";
        hub.headless = false;
        hub.installSampleTools();
        // The help viewer is a fake "netscape" that records its arguments.
        writeFile(hub.root / "doc" / "html" / "user.html", "<html></html>\n");
        std::filesystem::path bin = hub.home.path() / "bin";
        writeFile(bin / "netscape",
                  "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + viewerOut.string() + "'\n");
        std::filesystem::permissions(bin / "netscape", std::filesystem::perms::owner_all);
        ASSERT_TRUE(hub.start({"PATH=" + bin.string() + ":" + std::getenv("PATH")}));
        ASSERT_TRUE(hub.waitUntil([&] { return hub.sampleToolsReady(); }, 15000));
        window = windowIdOf("^OKA Project: ");
        ASSERT_FALSE(window.empty());
    }

    bool logShows(const std::string& text, int timeoutMs = 10000) {
        return hub.waitUntil([&] { return hub.log().find(text) != std::string::npos; }, timeoutMs);
    }

    XvfbServer server;
    KelvaneHarness hub;  // stops kelvane, if still running, before the server
    std::string window;  // the workspace's X window id
    std::filesystem::path viewerOut = hub.home.path() / "viewer.out";
};

// The icon row starts at (18, 15) of the window, one 70 x 50 icon every 75
// pixels in name order: "Sample Runner", then "Sample Viewer".
constexpr int kRunnerIconX = 18 + 35;
constexpr int kIconY = 15 + 25;

TEST_F(WorkspaceX11Test, ARightClickOnAToolIconRunsTheChosenCommand) {
    // The runner's menu: Run Agent, Attach to Engine, Engine Status, ...
    ASSERT_TRUE(typeIntoNextPopUp("Down Down Down Return"));
    ASSERT_TRUE(clickIn(window, kRunnerIconX, kIconY, 3));
    EXPECT_TRUE(logShows("received CMDS Engine Status machine  port 0 path "));
}

// A digest of the pixels of the runner's icon and the panel around it, as
// the X server shows them (the panel starts at (8, 8) below the menu bar).
std::string runnerIconPixels(const std::string& window) {
    return firstLine("import -window " + window + " -crop 75x66+8+33 +repage rgb:- | md5sum");
}

TEST_F(WorkspaceX11Test, TheUnloadedMarkGoesWithEveryPixelWhenTheToolIsBack) {
    if (!isProgramInstalled("import")) GTEST_SKIP() << "ImageMagick is not installed";
    std::string loaded = runnerIconPixels(window);
    // Loaded, the menu reads: three commands, Unload Tool, Tool Information.
    ASSERT_TRUE(typeIntoNextPopUp("Down Down Down Down Return"));
    ASSERT_TRUE(clickIn(window, kRunnerIconX, kIconY, 3));
    ASSERT_TRUE(hub.waitUntil([&] { return runnerIconPixels(window) != loaded; }, 10000))
        << "no mark";
    // Unloaded, the commands are disabled: the first item to take is Load Tool.
    ASSERT_TRUE(typeIntoNextPopUp("Down Return"));
    ASSERT_TRUE(clickIn(window, kRunnerIconX, kIconY, 3));
    EXPECT_TRUE(hub.waitUntil([&] { return runnerIconPixels(window) == loaded; }, 20000));
}

TEST_F(WorkspaceX11Test, FileAddEngineOpensTheAddEngineWindowWhichAddsTheEngine) {
    ASSERT_TRUE(xdotool("windowfocus --sync " + window + " key alt+f"));
    ASSERT_TRUE(typeIntoNextPopUp("e"));
    std::string engineWindow = windowIdOf("^Add Engine$");
    ASSERT_FALSE(engineWindow.empty());
    // The "Add" button.
    ASSERT_TRUE(clickIn(engineWindow, 284, 109, 1));
    EXPECT_TRUE(logShows("Created: EngineInfo: <localhost 7777"));
}

TEST_F(WorkspaceX11Test, F1StartsTheHelpViewerAtTheWorkspaceAnchorAndCtrlQEndsInOrder) {
    ASSERT_TRUE(xdotool("windowfocus --sync " + window + " key F1"));
    EXPECT_TRUE(pollUntil([&] { return !readFile(viewerOut).empty(); }, 5000));
    EXPECT_EQ(readFile(viewerOut),
              (hub.root / "doc/html/user.html").string() + "#OKAWin:ToolManager\n");
    ASSERT_TRUE(xdotool("windowfocus --sync " + window + " key ctrl+q"));
    EXPECT_EQ(hub.kelvane->waitForExit(10000), 0);
    // The key takes the orderly way out, whose steps KelvaneStop checks.
    EXPECT_NE(hub.log().find("Closing all tool windows"), std::string::npos);
    hub.kelvane.reset();
}

TEST_F(WorkspaceX11Test, CtrlOOpensTheProjectWhoseNameIsTypedAndReturnPressed) {
    // A copy of the project that kelvane made at start is a valid project.
    std::filesystem::path project = hub.home.path() / "work" / "demo.prj";
    std::filesystem::create_directories(project.parent_path());
    std::filesystem::copy_file(hub.home.path() / "untitled.prj", project);
    ASSERT_TRUE(xdotool("windowfocus --sync " + window + " key ctrl+o"));
    std::string picker = windowIdOf("^Select a project to open:$");
    ASSERT_FALSE(picker.empty());
    // The name field, then Return: it presses Open.
    ASSERT_TRUE(clickIn(picker, 250, 322, 1));
    ASSERT_TRUE(xdotool("key ctrl+a"));
    ASSERT_TRUE(xdotool("type --delay 10 '" + project.string() + "'"));
    ASSERT_TRUE(xdotool("key Return"));
    EXPECT_FALSE(windowIdOf("^OKA Project: demo.prj$").empty());
}

// A new list stands 8 pixels right of the project list, in the component
// area at (166, 84) of the window's content, below the 25-pixel menu bar;
// the project list is 150 wide and the new list 130.
constexpr int kMenuBarHeight = 25;
constexpr int kNewListButtonX = 8 + 75, kNewListButtonY = kMenuBarHeight + 260 + 13;
constexpr int kNewListBoundaryX = 166 + 8 + 150 + 8 + 130 + 4;
constexpr int kBoundaryY = kMenuBarHeight + 84 + 60;

TEST_F(WorkspaceX11Test, ANewListsWidthIsDraggedAndSavedInTheProjectFile) {
    std::filesystem::path project = hub.home.path() / "untitled.prj";
    // The list width field of each 'VIEW' record (offset 260).
    auto viewWidths = [&] {
        std::vector<int> widths;
        for (const std::string& record : rawRecordsInFile(project, "VIEW"))
            if (record.size() == 524)
                widths.push_back(
                    int16_t(getBigEndian16(reinterpret_cast<const uint8_t*>(record.data()) + 260)));
        return widths;
    };
    ASSERT_TRUE(clickIn(window, kNewListButtonX, kNewListButtonY, 1));
    ASSERT_TRUE(hub.waitUntil([&] { return viewWidths() == std::vector<int>{130}; }, 10000));

    ASSERT_TRUE(xdotool("mousemove " + screenPoint(window, kNewListBoundaryX, kBoundaryY) +
                        " mousedown 1 sleep 0.3 mousemove " +
                        screenPoint(window, kNewListBoundaryX + 40, kBoundaryY) +
                        " sleep 0.3 mouseup 1"));
    EXPECT_TRUE(hub.waitUntil([&] { return viewWidths() == std::vector<int>{170}; }, 10000));
}
}  // namespace
